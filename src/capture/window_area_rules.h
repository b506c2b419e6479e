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
#include <vector>

namespace fw::capture {

struct ScreenRect {
  long left = 0;
  long top = 0;
  long right = 0;  // exclusive
  long bottom = 0;
  bool operator==(const ScreenRect&) const = default;
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

// A window capture copies what the screen shows at the window's visible
// rectangle, not the window's own device context: on Windows 10 and 11 a
// window drawn through the compositor (DirectX, DirectComposition, most
// browsers and store programs) leaves its own context black, and a window
// that Windows scales for a program unaware of the monitor's scaling has a
// context in its own smaller pixels. Whatever lies over the window (a
// topmost window, a tooltip) is then in the picture, as the user saw it.
// A window that shows nothing on the screen (minimised, cloaked by the
// compositor, wholly off every monitor) is still copied from its own
// context, so there is a picture.
enum class CaptureSource { Screen, OwnContext };

struct WindowCapturePlan {
  CaptureSource source = CaptureSource::OwnContext;
  // Screen: in screen coordinates (negative left of or above the primary
  // monitor). OwnContext: in the window's device context (CaptureArea).
  long left = 0;
  long top = 0;
  long width = 0;
  long height = 0;
  bool operator==(const WindowCapturePlan&) const = default;
};

// What the system says of the window to capture.
struct WindowOnScreen {
  ScreenRect window;                       // GetWindowRect; all zeros when it could not be read
  std::optional<ScreenRect> visibleFrame;  // the compositor's frame, none without an answer
  bool maximised = false;
  ScreenRect monitor;         // the window's monitor, read for a maximised window; empty when unknown
  bool showsNothing = false;  // minimised or cloaked
};

// The visible rectangle (WindowCaptureArea) cut to the virtual screen, from
// the screen; the same rectangle from the window's own context when nothing
// of it is on the screen. An empty virtual screen (it could not be read)
// leaves only the window's own context.
WindowCapturePlan PlanWindowCapture(const WindowOnScreen& window, const ScreenRect& virtualScreen);

// The virtual screen: the smallest rectangle that holds every monitor;
// empty without one. Monitors left of or above the primary one have
// negative coordinates.
ScreenRect BoundingRect(const std::vector<ScreenRect>& monitors);

// The parts of `area` that no monitor covers (beside a smaller monitor,
// between monitors that do not line up), as rectangles that do not
// overlap. A copy of the whole virtual screen blackens them: nothing shows
// there.
std::vector<ScreenRect> UncoveredParts(const ScreenRect& area, const std::vector<ScreenRect>& monitors);

}  // namespace fw::capture
