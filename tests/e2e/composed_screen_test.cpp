// A window capture copies what the screen shows at the window's rectangle:
// what lies over the window is in the picture where it overlaps, a window
// partly off the screen gives the part that shows, and a window whose own
// device context holds nothing (as one drawn through the compositor on
// Windows 10 and 11) still gives its pixels. The last runs the test build
// blank_window_dcs.exe, in which every window's context but the screen's is
// blank (black).
#include <gtest/gtest.h>

#include "flows.h"
#include "harness.h"

namespace e2e {
namespace {

constexpr int kW = 300;
constexpr int kH = 200;

// Moves the program to the right, clear of what the test shows at the left.
void MoveRight(App& app) {
  ::SetWindowPos(app.main(), nullptr, 360, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  app.Sync();
}

bool AllOf(const Image& img, int x0, int y0, int x1, int y1, std::uint32_t colour) {
  if (img.width < x1 || img.height < y1) return false;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (img.at(x, y) != colour) return false;
  return true;
}

// Waits until the picture area shows `expected` at its top-left, and
// nothing more (white) right of it and below it.
bool AreaShowsExactly(App& app, const Image& expected) {
  Image shown;
  bool same = WaitUntil(
      [&] {
        shown = app.PictureArea();
        return TopLeftDifferences(shown, expected) == 0;
      },
      5000, 50);
  if (!same) {
    SaveBmp(shown, app.dir() + "\\shown.bmp");
    SaveBmp(expected, app.dir() + "\\expected.bmp");
    return false;
  }
  return AllOf(shown, expected.width, 0, expected.width + 4, expected.height + 4, 0xFFFFFF) &&
         AllOf(shown, 0, expected.height, expected.width + 4, expected.height + 4, 0xFFFFFF);
}

TEST(WindowCapture, ATopmostWindowOverTheTargetIsInThePictureWhereItOverlaps) {
  App app;
  MoveRight(app);
  PatternWindow target(10, 120, kW, kH, 61);
  // Another program's topmost window over the target's lower right
  // (another program to Framewick: the driver's).
  const RECT over{210, 220, 360, 370};
  PatternWindow topmost(over.left, over.top, over.right - over.left, over.bottom - over.top, 62);
  ASSERT_TRUE(BringToFront(target.hwnd()));
  ::SetWindowPos(topmost.hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  // What the user sees at the target's rectangle, from the two patterns.
  Image expected;
  expected.width = kW;
  expected.height = kH;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      int sx = 10 + x, sy = 120 + y;
      bool covered = sx >= over.left && sx < over.right && sy >= over.top && sy < over.bottom;
      expected.px.push_back(covered ? PatternWindow::Colour(sx - over.left, sy - over.top, 62)
                                    : PatternWindow::Colour(x, y, 61));
    }
  ASSERT_TRUE(WaitUntil(
      [&] {
        return CountDifferences(GrabScreen(RECT{10, 120, 10 + kW, 120 + kH}), expected) == 0;
      },
      3000))
      << "not shown as meant";
  ASSERT_EQ(::GetForegroundWindow(), target.hwnd());

  SendCtrlKey(VK_F11);
  EXPECT_TRUE(AreaShowsExactly(app, expected)) << "the capture is not what the screen showed";
}

TEST(WindowCapture, AWindowPartlyOffTheLeftEdgeGivesItsVisiblePart) {
  App app;
  MoveRight(app);
  PatternWindow pattern(0, 60, kW, kH, 63);
  // 100 pixels of it left of the screen.
  ::SetWindowPos(pattern.hwnd(), nullptr, -100, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  Image visible;
  visible.width = kW - 100;
  visible.height = kH;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < visible.width; ++x) visible.px.push_back(PatternWindow::Colour(x + 100, y, 63));
  ASSERT_TRUE(WaitUntil(
      [&] {
        return CountDifferences(GrabScreen(RECT{0, 60, kW - 100, 60 + kH}), visible) == 0;
      },
      3000))
      << "the pattern did not show where it was moved";
  ASSERT_TRUE(BringToFront(pattern.hwnd()));

  SendCtrlKey(VK_F11);
  EXPECT_TRUE(AreaShowsExactly(app, visible)) << "not the part that shows";
}

AppOptions BlankContexts() {
  return AppOptions{.program = "blank_window_dcs.exe"};
}

TEST(BlankWindowContexts, WindowAndCtrlF11StillGiveThePatternPixelForPixel) {
  App app(BlankContexts());
  ASSERT_TRUE(app.main()) << "the test build did not start";
  MoveRight(app);
  PatternWindow first(0, 0, kW, kH, 64);

  // "Window": the notice, the delay with the program minimised, the window
  // in front.
  app.Click("Window");
  auto notice = WaitForDialog(app.pid(), 5000);
  ASSERT_TRUE(notice);
  PressDialogButton(notice->hwnd, IDOK);
  ASSERT_TRUE(WaitDialogGone(notice->hwnd, 3000));
  ASSERT_TRUE(WaitUntil([&] { return ::IsIconic(app.main()) != FALSE; }, 2000));
  ASSERT_TRUE(BringToFront(first.hwnd()));
  ASSERT_TRUE(WaitFirstCaptureTaken(app)) << "no capture";
  ASSERT_TRUE(app.Sync());
  Restore(app);
  EXPECT_TRUE(AreaShowsExactly(app, first.expected())) << "\"Window\" did not give the pattern";

  // Ctrl+F11, another pattern.
  PatternWindow second(0, 0, kW, kH, 65);
  ASSERT_TRUE(BringToFront(second.hwnd()));
  SendCtrlKey(VK_F11);
  EXPECT_TRUE(AreaShowsExactly(app, second.expected())) << "Ctrl+F11 did not give the pattern";
}

// Nothing of a window wholly off the screen shows, so it is copied from its
// own context, which in this build is blank: a picture of the window's size,
// all black. (Today's copy of every window from its own context gives the
// same black for a window on the screen.)
TEST(BlankWindowContexts, AWindowWhollyOffTheScreenIsCopiedFromItsOwnBlankContext) {
  App app(BlankContexts());
  ASSERT_TRUE(app.main()) << "the test build did not start";
  MoveRight(app);
  PatternWindow pattern(0, 0, kW, kH, 66);
  ::SetWindowPos(pattern.hwnd(), nullptr, -kW - 700, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ASSERT_TRUE(BringToFront(pattern.hwnd()));

  SendCtrlKey(VK_F11);
  Image black;
  black.width = kW;
  black.height = kH;
  black.px.assign(static_cast<std::size_t>(kW) * kH, 0);
  EXPECT_TRUE(AreaShowsExactly(app, black)) << "not the window's own (blank) context";
}

}  // namespace
}  // namespace e2e
