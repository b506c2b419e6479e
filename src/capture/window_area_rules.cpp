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

WindowCapturePlan PlanWindowCapture(const WindowOnScreen& w, const ScreenRect& virtualScreen) {
  CaptureArea area = WindowCaptureArea(w.window, w.visibleFrame, w.maximised, w.monitor);
  WindowCapturePlan own{CaptureSource::OwnContext, area.left, area.top, area.width, area.height};
  if (w.showsNothing) return own;
  ScreenRect visible{w.window.left + area.left, w.window.top + area.top, w.window.left + area.left + area.width,
                     w.window.top + area.top + area.height};
  ScreenRect shown = Intersection(visible, virtualScreen);
  if (IsEmpty(visible) || IsEmpty(shown)) return own;
  return WindowCapturePlan{CaptureSource::Screen, shown.left, shown.top, shown.right - shown.left,
                           shown.bottom - shown.top};
}

ScreenRect BoundingRect(const std::vector<ScreenRect>& monitors) {
  ScreenRect box{};
  bool any = false;
  for (const ScreenRect& m : monitors) {
    if (IsEmpty(m)) continue;
    box = any ? ScreenRect{std::min(box.left, m.left), std::min(box.top, m.top), std::max(box.right, m.right),
                           std::max(box.bottom, m.bottom)}
              : m;
    any = true;
  }
  return box;
}

std::vector<ScreenRect> UncoveredParts(const ScreenRect& area, const std::vector<ScreenRect>& monitors) {
  std::vector<ScreenRect> parts;
  if (IsEmpty(area)) return parts;
  // The monitors' edges cut the area into cells, each wholly covered by a
  // monitor or wholly not; the uncovered cells of a row are joined.
  std::vector<long> xs{area.left, area.right}, ys{area.top, area.bottom};
  for (const ScreenRect& m : monitors) {
    for (long x : {m.left, m.right})
      if (x > area.left && x < area.right) xs.push_back(x);
    for (long y : {m.top, m.bottom})
      if (y > area.top && y < area.bottom) ys.push_back(y);
  }
  for (auto* edges : {&xs, &ys}) {
    std::sort(edges->begin(), edges->end());
    edges->erase(std::unique(edges->begin(), edges->end()), edges->end());
  }
  auto covered = [&monitors](const ScreenRect& cell) {
    return std::any_of(monitors.begin(), monitors.end(), [&cell](const ScreenRect& m) { return Inside(cell, m); });
  };
  for (std::size_t j = 0; j + 1 < ys.size(); ++j) {
    std::optional<ScreenRect> run;
    for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
      ScreenRect cell{xs[i], ys[j], xs[i + 1], ys[j + 1]};
      if (covered(cell)) {
        if (run) parts.push_back(*run);
        run.reset();
      } else if (run) {
        run->right = cell.right;
      } else {
        run = cell;
      }
    }
    if (run) parts.push_back(*run);
  }
  // A part that continues the one above it, with the same columns, joins it.
  std::vector<ScreenRect> joined;
  for (const ScreenRect& p : parts) {
    auto above = std::find_if(joined.begin(), joined.end(), [&p](const ScreenRect& q) {
      return q.left == p.left && q.right == p.right && q.bottom == p.top;
    });
    if (above != joined.end()) {
      above->bottom = p.bottom;
    } else {
      joined.push_back(p);
    }
  }
  return joined;
}

}  // namespace fw::capture
