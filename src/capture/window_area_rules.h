// Which part of a window a capture of the whole window copies: the visible
// frame where the desktop compositor reports one that makes sense, the
// window rectangle otherwise. Plain C++.
//
// On Windows 10 and 11 a window's rectangle includes invisible resize
// borders (about 7 pixels left, right and bottom), so copying the whole
// rectangle takes a strip of whatever lies behind the window. The
// compositor knows the visible frame (its "extended frame bounds"). Both
// rectangles are in screen pixels; the frame is not scaled for a program
// that is unaware of the monitor's scaling, the window rectangle is, so
// the two agree only in a program aware of each monitor's scaling. A frame
// that does not lie inside the window rectangle is therefore refused.
#pragma once

#include <optional>

namespace fw::capture {

struct ScreenRect {
  long left = 0;
  long top = 0;
  long right = 0;  // exclusive
  long bottom = 0;
};

// A rectangle of the window's device context, whose origin is the window
// rectangle's top-left corner.
struct CaptureArea {
  long left = 0;
  long top = 0;
  long width = 0;
  long height = 0;
  bool operator==(const CaptureArea&) const = default;
};

// What to copy from a window whose rectangle is `window`:
// - `visibleFrame` is the compositor's answer, none where there is no
//   compositor or it gave none;
// - a maximised window's frame overhangs its monitor, so its frame is also
//   cut to `monitor` (an empty monitor rectangle means it is not known).
// An empty, inverted or misplaced frame counts as no answer: the whole
// window rectangle is copied then.
CaptureArea WindowCaptureArea(const ScreenRect& window, const std::optional<ScreenRect>& visibleFrame, bool maximised,
                              const ScreenRect& monitor);

}  // namespace fw::capture
