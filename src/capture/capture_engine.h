// The capture engine: copies a rectangle of a window's device context into
// a new bitmap (with a palette on 256-colour palette displays) and wraps it
// in a picture object that owns both.
#pragma once

#include <windows.h>

#include <vector>

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
// (clientOnly) or whole window into a new picture, with the raster
// operation given. Without a device context, a bitmap of that size (a very
// large screen in a 32-bit process, low memory) or a picture object, the
// snapshot says which failed.
Snapshot SnapWindowRegion(HWND hwnd, bool clientOnly, long left, long top, long width, long height,
                          DWORD rasterOp = SRCCOPY);

// Copies what the screen shows at width × height pixels from (left, top),
// in screen coordinates (negative left of or above the primary monitor),
// layered windows included (CAPTUREBLT). The parts given (in screen
// coordinates) are made black.
Snapshot SnapScreenRegion(long left, long top, long width, long height,
                          const std::vector<capture::ScreenRect>& blackParts = {});

// The part of a top-level window's device context that a capture of the
// whole window copies: its visible frame where the desktop compositor
// reports one (dwmapi, loaded on first use), its window rectangle
// otherwise.
capture::CaptureArea VisibleWindowArea(HWND window);

// The monitors' rectangles, in screen pixels.
std::vector<capture::ScreenRect> Monitors();

// The whole primary screen, layered windows included.
Snapshot SnapDesktop();
// The current foreground window, its visible frame included, as the screen
// shows it (capture::PlanWindowCapture).
Snapshot SnapForegroundWindow();
// Every monitor: the virtual screen's bounding rectangle at full
// resolution, black where no monitor is.
Snapshot SnapAllMonitors();
// A window of the program, frame included.
Snapshot SnapOwnForm(HWND form);
// The client area of a window of the program.
Snapshot SnapOwnClient(HWND form);

}  // namespace fw
