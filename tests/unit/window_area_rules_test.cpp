// What a capture of a whole window copies: the visible frame the desktop
// compositor reports, cut to the monitor for a maximised window, or the
// window rectangle where there is no sensible answer.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>

#include "capture/window_area_rules.h"

namespace fw::capture {

void PrintTo(const CaptureArea& a, std::ostream* os) {
  *os << "{" << a.left << ", " << a.top << ", " << a.width << " x " << a.height << "}";
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

}  // namespace
}  // namespace fw::capture
