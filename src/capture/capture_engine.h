// The capture engine: copies a rectangle of a window's device context into
// a new bitmap (with a palette on 256-colour palette displays) and wraps it
// in a picture object that owns both.
#pragma once

#include <windows.h>

#include "capture/capture_rules.h"
#include "capture/window_area_rules.h"
#include "platform/handles.h"
#include "platform/picture.h"

namespace fw {

// What a capture gave: the new picture, or (no picture object) why there
// is none.
struct Snapshot {
  Picture picture;
  capture::SnapFailure failure = capture::SnapFailure::None;
  DWORD error = 0;  // the system's error code at the failing step, when it gave one
  long width = 0;   // the size the capture was for
  long height = 0;

  bool ok() const { return failure == capture::SnapFailure::None; }
};

// Wraps a bitmap and its palette (may be null) in a picture object that
// deletes them when it is released.
Picture PictureFromBitmap(UniqueBitmap bitmap, UniquePalette palette);

// Copies width × height pixels from (left, top) of the window's client area
// (clientOnly) or whole window into a new picture. Without a device
// context, a bitmap of that size (a very large screen in a 32-bit process,
// low memory) or a picture object, the snapshot says which failed.
Snapshot SnapWindowRegion(HWND hwnd, bool clientOnly, long left, long top, long width, long height);

// The part of a top-level window's device context that a capture of the
// whole window copies: its visible frame where the desktop compositor
// reports one (dwmapi, loaded on first use), its window rectangle
// otherwise.
capture::CaptureArea VisibleWindowArea(HWND window);

// The whole primary screen.
Snapshot SnapDesktop();
// The current foreground window, its visible frame included.
Snapshot SnapForegroundWindow();
// A window of the program, frame included.
Snapshot SnapOwnForm(HWND form);
// The client area of a window of the program.
Snapshot SnapOwnClient(HWND form);

}  // namespace fw
