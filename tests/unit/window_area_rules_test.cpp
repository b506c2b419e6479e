// What a capture of a whole window copies: the visible frame the desktop
// compositor reports, cut to the monitor for a maximised window, or the
// window rectangle where there is no sensible answer.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <vector>

#include "capture/window_area_rules.h"

namespace fw::capture {

void PrintTo(const CaptureArea& a, std::ostream* os) {
  *os << "{" << a.left << ", " << a.top << ", " << a.width << " x " << a.height << "}";
}
void PrintTo(const ScreenRect& r, std::ostream* os) {
  *os << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}
void PrintTo(const WindowCapturePlan& p, std::ostream* os) {
  *os << (p.source == CaptureSource::Screen ? "screen " : "own context ") << "{" << p.left << ", " << p.top << ", "
      << p.width << " x " << p.height << "}";
}

namespace {

constexpr ScreenRect kNoMonitor{};
constexpr ScreenRect kMonitor{0, 0, 1920, 1080};

// A window as Windows 11 places it at (100, 100), 816 x 639 visible: its
// rectangle has 7 invisible pixels of resize border left, right and
// bottom, none at the top.
constexpr ScreenRect kWindow{93, 100, 923, 746};
constexpr ScreenRect kVisible{100, 100, 916, 739};

TEST(WindowCaptureArea, TheVisibleFrameLeavesOutTheInvisibleBorders) {
  CaptureArea area = WindowCaptureArea(kWindow, kVisible, false, kNoMonitor);
  EXPECT_EQ(area, (CaptureArea{7, 0, 816, 639}));
  // A frame with borders all round sits at its offset inside the window.
  area = WindowCaptureArea(ScreenRect{10, 20, 110, 220}, ScreenRect{12, 23, 105, 211}, false, kMonitor);
  EXPECT_EQ(area, (CaptureArea{2, 3, 93, 188}));
  // A window without invisible borders: the frame is the whole window.
  area = WindowCaptureArea(kVisible, kVisible, false, kMonitor);
  EXPECT_EQ(area, (CaptureArea{0, 0, 816, 639}));
  // Off the left of the primary monitor (negative coordinates).
  area = WindowCaptureArea(ScreenRect{-1207, 50, -393, 700}, ScreenRect{-1200, 50, -400, 693}, false, kMonitor);
  EXPECT_EQ(area, (CaptureArea{7, 0, 800, 643}));
}

TEST(WindowCaptureArea, AMaximisedWindowsFrameIsCutToItsMonitor) {
  // Maximised on a 1920 x 1080 monitor with the taskbar below: the window
  // rectangle overhangs the work area by 8 pixels all round, the frame
  // still by one pixel left, right and at the top.
  ScreenRect window{-8, -8, 1928, 1048};
  ScreenRect frame{-1, -1, 1921, 1041};
  EXPECT_EQ(WindowCaptureArea(window, frame, true, kMonitor), (CaptureArea{8, 8, 1920, 1041}));
  // The same rectangles, not maximised: nothing is cut.
  EXPECT_EQ(WindowCaptureArea(window, frame, false, kMonitor), (CaptureArea{7, 7, 1922, 1042}));
  // A monitor that could not be read cuts nothing.
  EXPECT_EQ(WindowCaptureArea(window, frame, true, kNoMonitor), (CaptureArea{7, 7, 1922, 1042}));
  // A frame wholly off its monitor has nothing left: the whole window.
  EXPECT_EQ(WindowCaptureArea(window, frame, true, ScreenRect{3000, 0, 4000, 1000}), (CaptureArea{0, 0, 1936, 1056}));
}

TEST(WindowCaptureArea, WithoutACompositorTheWholeWindowRectangleAsBefore) {
  EXPECT_EQ(WindowCaptureArea(kWindow, std::nullopt, false, kNoMonitor), (CaptureArea{0, 0, 830, 646}));
  // Maximised: the rectangle as it is, overhang and all.
  EXPECT_EQ(WindowCaptureArea(ScreenRect{-4, -4, 1028, 772}, std::nullopt, true, ScreenRect{0, 0, 1024, 768}),
            (CaptureArea{0, 0, 1032, 776}));
  // No foreground window, or its rectangle could not be read: nothing.
  EXPECT_EQ(WindowCaptureArea(ScreenRect{}, std::nullopt, false, kNoMonitor), (CaptureArea{0, 0, 0, 0}));
  EXPECT_EQ(WindowCaptureArea(ScreenRect{}, kVisible, false, kMonitor), (CaptureArea{0, 0, 0, 0}));
}

TEST(WindowCaptureArea, AnOddAnswerCountsAsNone) {
  CaptureArea whole{0, 0, 830, 646};
  // Empty and inverted frames.
  EXPECT_EQ(WindowCaptureArea(kWindow, ScreenRect{}, false, kMonitor), whole);
  EXPECT_EQ(WindowCaptureArea(kWindow, ScreenRect{500, 300, 500, 400}, false, kMonitor), whole);
  EXPECT_EQ(WindowCaptureArea(kWindow, ScreenRect{500, 300, 400, 200}, false, kMonitor), whole);
  // Frames reaching out of the window rectangle on any side.
  EXPECT_EQ(WindowCaptureArea(kWindow, ScreenRect{92, 100, 916, 739}, false, kMonitor), whole);
  EXPECT_EQ(WindowCaptureArea(kWindow, ScreenRect{100, 99, 916, 739}, false, kMonitor), whole);
  EXPECT_EQ(WindowCaptureArea(kWindow, ScreenRect{100, 100, 924, 739}, false, kMonitor), whole);
  EXPECT_EQ(WindowCaptureArea(kWindow, ScreenRect{100, 100, 916, 747}, false, kMonitor), whole);
  // Another window's frame somewhere else.
  EXPECT_EQ(WindowCaptureArea(kWindow, ScreenRect{1000, 100, 1300, 400}, false, kMonitor), whole);
  // A frame in physical pixels against a window rectangle scaled down for
  // a program unaware of a 150 % monitor: larger than the window, refused.
  ScreenRect scaled{62, 66, 615, 497};
  EXPECT_EQ(WindowCaptureArea(scaled, ScreenRect{100, 100, 916, 739}, false, kMonitor), (CaptureArea{0, 0, 553, 431}));
  // The same for a maximised window: the cut to the monitor does not
  // rescue a frame that was refused.
  EXPECT_EQ(WindowCaptureArea(ScreenRect{-8, -8, 1928, 1048}, ScreenRect{-9, -1, 1921, 1041}, true, kMonitor),
            (CaptureArea{0, 0, 1936, 1056}));
}

// Two monitors as the two-monitor test run lays them out: a 1024 x 768
// primary, an 800 x 600 monitor left of it, 84 pixels lower.
constexpr ScreenRect kPrimary{0, 0, 1024, 768};
constexpr ScreenRect kLeftMonitor{-800, 84, 0, 684};
constexpr ScreenRect kVirtual{-800, 0, 1024, 768};

// A window at `window` that shows, with no other answer from the system.
WindowOnScreen At(const ScreenRect& window, std::optional<ScreenRect> frame = std::nullopt) {
  WindowOnScreen w;
  w.window = window;
  w.visibleFrame = frame;
  return w;
}

WindowCapturePlan FromScreen(long left, long top, long width, long height) {
  return WindowCapturePlan{CaptureSource::Screen, left, top, width, height};
}
WindowCapturePlan FromOwnContext(long left, long top, long width, long height) {
  return WindowCapturePlan{CaptureSource::OwnContext, left, top, width, height};
}

TEST(PlanWindowCapture, TheScreenAtTheVisibleFrameOnAnyMonitor) {
  // Windows 11: the frame leaves out the invisible borders; the screen is
  // read at the frame's own screen coordinates.
  WindowOnScreen w = At(kWindow, kVisible);
  EXPECT_EQ(PlanWindowCapture(w, ScreenRect{0, 0, 1920, 1080}), FromScreen(100, 100, 816, 639));
  // No compositor: the window rectangle.
  w.visibleFrame.reset();
  EXPECT_EQ(PlanWindowCapture(w, ScreenRect{0, 0, 1920, 1080}), FromScreen(93, 100, 830, 646));
  // On the monitor left of the primary one: negative coordinates as they are.
  WindowOnScreen left = At(ScreenRect{-700, 200, -400, 400});
  EXPECT_EQ(PlanWindowCapture(left, kVirtual), FromScreen(-700, 200, 300, 200));
  // Astride the two monitors.
  WindowOnScreen astride = At(ScreenRect{-100, 100, 200, 300});
  EXPECT_EQ(PlanWindowCapture(astride, kVirtual), FromScreen(-100, 100, 300, 200));
  // A monitor above the primary one.
  WindowOnScreen above = At(ScreenRect{10, -900, 410, -600});
  EXPECT_EQ(PlanWindowCapture(above, ScreenRect{0, -1080, 1920, 1080}), FromScreen(10, -900, 400, 300));
}

TEST(PlanWindowCapture, APartlyOffScreenWindowGivesThePartThatShows) {
  // 120 pixels off the left edge of a single monitor.
  WindowOnScreen w = At(ScreenRect{-120, 50, 180, 250});
  EXPECT_EQ(PlanWindowCapture(w, kPrimary), FromScreen(0, 50, 180, 200));
  // Off the right and the bottom.
  w.window = ScreenRect{900, 700, 1200, 900};
  EXPECT_EQ(PlanWindowCapture(w, kPrimary), FromScreen(900, 700, 124, 68));
  // Off the left of the left monitor: cut at the virtual screen's edge.
  w.window = ScreenRect{-900, 100, -600, 300};
  EXPECT_EQ(PlanWindowCapture(w, kVirtual), FromScreen(-800, 100, 200, 200));
  // A maximised window's frame is cut to its monitor first.
  WindowOnScreen maximised = At(ScreenRect{-8, -8, 1032, 776}, ScreenRect{-1, -1, 1025, 769});
  maximised.maximised = true;
  maximised.monitor = kPrimary;
  EXPECT_EQ(PlanWindowCapture(maximised, kVirtual), FromScreen(0, 0, 1024, 768));
}

TEST(PlanWindowCapture, AWindowThatShowsNothingIsCopiedFromItsOwnContext) {
  // Minimised or cloaked: its own context at the area the rule gives.
  WindowOnScreen w = At(kWindow, kVisible);
  w.showsNothing = true;
  EXPECT_EQ(PlanWindowCapture(w, ScreenRect{0, 0, 1920, 1080}), FromOwnContext(7, 0, 816, 639));
  // Where Windows parks a minimised window.
  WindowOnScreen parked = At(ScreenRect{-32000, -32000, -31840, -31969});
  EXPECT_EQ(PlanWindowCapture(parked, kVirtual), FromOwnContext(0, 0, 160, 31));
  // Wholly off every monitor, on any side.
  for (ScreenRect off : {ScreenRect{-1100, 100, -800, 300}, ScreenRect{1024, 100, 1300, 300},
                         ScreenRect{100, -300, 400, 0}, ScreenRect{100, 768, 400, 900}}) {
    WindowOnScreen gone = At(off);
    EXPECT_EQ(PlanWindowCapture(gone, kVirtual), FromOwnContext(0, 0, off.right - off.left, off.bottom - off.top));
  }
  // No foreground window, or no rectangle: nothing, from its own context
  // as before.
  EXPECT_EQ(PlanWindowCapture(WindowOnScreen{}, kVirtual), FromOwnContext(0, 0, 0, 0));
  // A virtual screen that could not be read.
  WindowOnScreen shown = At(ScreenRect{10, 10, 110, 60});
  EXPECT_EQ(PlanWindowCapture(shown, ScreenRect{}), FromOwnContext(0, 0, 100, 50));
}

TEST(VirtualScreen, TheSmallestRectangleThatHoldsEveryMonitor) {
  EXPECT_EQ(BoundingRect({kPrimary, kLeftMonitor}), kVirtual);
  EXPECT_EQ(BoundingRect({kPrimary}), kPrimary);
  // Above and to the right: the box reaches up and across.
  EXPECT_EQ(BoundingRect({kPrimary, ScreenRect{1024, -1080, 2944, 0}}), (ScreenRect{0, -1080, 2944, 768}));
  // Three 4K monitors in a row.
  EXPECT_EQ(
      BoundingRect({ScreenRect{-3840, 0, 0, 2160}, ScreenRect{0, 0, 3840, 2160}, ScreenRect{3840, 0, 7680, 2160}}),
      (ScreenRect{-3840, 0, 7680, 2160}));
  // None, or only empty ones: empty.
  EXPECT_EQ(BoundingRect({}), ScreenRect{});
  EXPECT_EQ(BoundingRect({ScreenRect{}, ScreenRect{5, 5, 5, 9}}), ScreenRect{});
}

TEST(VirtualScreen, ThePartsNoMonitorCoversAreFoundWhole) {
  // The smaller monitor left of the primary, lower down: a strip above it
  // and one below.
  EXPECT_EQ(UncoveredParts(kVirtual, {kPrimary, kLeftMonitor}),
            (std::vector<ScreenRect>{{-800, 0, 0, 84}, {-800, 684, 0, 768}}));
  // Top-aligned, the smaller on the right: the corner under it.
  EXPECT_EQ(UncoveredParts(ScreenRect{0, 0, 1824, 768}, {kPrimary, ScreenRect{1024, 0, 1824, 600}}),
            (std::vector<ScreenRect>{{1024, 600, 1824, 768}}));
  // Two monitors touching at a corner: the other two quarters.
  EXPECT_EQ(UncoveredParts(ScreenRect{0, 0, 200, 200}, {ScreenRect{0, 0, 100, 100}, ScreenRect{100, 100, 200, 200}}),
            (std::vector<ScreenRect>{{100, 0, 200, 100}, {0, 100, 100, 200}}));
  // A hole in the middle of three monitors around it.
  EXPECT_EQ(UncoveredParts(ScreenRect{0, 0, 300, 200},
                           {ScreenRect{0, 0, 100, 200}, ScreenRect{100, 0, 300, 100}, ScreenRect{200, 100, 300, 200}}),
            (std::vector<ScreenRect>{{100, 100, 200, 200}}));
  // Covered in full: one monitor, side by side, mirrored (the same
  // rectangle twice), overlapping.
  EXPECT_TRUE(UncoveredParts(kPrimary, {kPrimary}).empty());
  EXPECT_TRUE(UncoveredParts(ScreenRect{0, 0, 2048, 768}, {kPrimary, ScreenRect{1024, 0, 2048, 768}}).empty());
  EXPECT_TRUE(UncoveredParts(kPrimary, {kPrimary, kPrimary}).empty());
  EXPECT_TRUE(UncoveredParts(ScreenRect{0, 0, 1500, 768}, {kPrimary, ScreenRect{500, 0, 1500, 768}}).empty());
  // No monitor: all of it; an empty area: nothing.
  EXPECT_EQ(UncoveredParts(kPrimary, {}), (std::vector<ScreenRect>{kPrimary}));
  EXPECT_TRUE(UncoveredParts(ScreenRect{}, {kPrimary}).empty());
}

}  // namespace
}  // namespace fw::capture
