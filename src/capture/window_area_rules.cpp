#include "capture/window_area_rules.h"

#include <algorithm>

namespace fw::capture {
namespace {

bool IsEmpty(const ScreenRect& r) {
  return r.right <= r.left || r.bottom <= r.top;
}

bool Inside(const ScreenRect& inner, const ScreenRect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

ScreenRect Intersection(const ScreenRect& a, const ScreenRect& b) {
  return ScreenRect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                    std::min(a.bottom, b.bottom)};
}

// The whole window rectangle, as a capture took it before the compositor
// was asked (a rectangle that could not be read is all zeros: nothing).
CaptureArea WholeWindow(const ScreenRect& window) {
  return CaptureArea{0, 0, std::max(0L, window.right - window.left), std::max(0L, window.bottom - window.top)};
}

}  // namespace

CaptureArea WindowCaptureArea(const ScreenRect& window, const std::optional<ScreenRect>& visibleFrame, bool maximised,
                              const ScreenRect& monitor) {
  if (!visibleFrame || IsEmpty(*visibleFrame) || !Inside(*visibleFrame, window)) return WholeWindow(window);
  ScreenRect frame = *visibleFrame;
  if (maximised && !IsEmpty(monitor)) {
    frame = Intersection(frame, monitor);
    if (IsEmpty(frame)) return WholeWindow(window);
  }
  return CaptureArea{frame.left - window.left, frame.top - window.top, frame.right - frame.left,
                     frame.bottom - frame.top};
}

}  // namespace fw::capture
