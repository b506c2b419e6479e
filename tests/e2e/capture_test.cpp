// Captures by the "Screen" and "Window" buttons and by the shortcut keys.
#include <gtest/gtest.h>

#include <algorithm>

#include "flows.h"
#include "harness.h"

namespace e2e {
namespace {

constexpr int kPatternW = 300;
constexpr int kPatternH = 200;
constexpr int kBand = 6;  // the pattern's clock rows

TEST(ButtonCapture, WindowNoticeMinimiseDelayAndExactPicture) {
  App app;
  PatternWindow pattern(40, 40, kPatternW, kPatternH, 3);
  app.Click("Window");
  auto notice = WaitForDialog(app.pid(), 5000);
  ASSERT_TRUE(notice);
  EXPECT_EQ(notice->title, "Capture Active Window");
  EXPECT_EQ(notice->text, "2 seconds after you close this dialog the active window will be captured.");
  EXPECT_EQ(notice->icon, IconKind::Information);
  EXPECT_EQ(notice->buttons, std::vector<std::string>{"OK"});
  EXPECT_FALSE(::IsIconic(app.main()));

  pattern.StartClock(kBand);
  PressDialogButton(notice->hwnd, IDOK);
  ASSERT_TRUE(WaitDialogGone(notice->hwnd, 3000));
  EXPECT_TRUE(WaitUntil([&] { return ::IsIconic(app.main()) != FALSE; }, 2000)) << "not minimised";
  // The user works in the pattern window while the program waits.
  ASSERT_TRUE(BringToFront(pattern.hwnd()));

  // The capture happens 2 to 3 seconds after the notice closed (the clock
  // in the picture tells when); the program stays minimised (nothing asks
  // for it back).
  ASSERT_TRUE(WaitFirstCaptureTaken(app)) << "no capture";
  ASSERT_TRUE(app.Sync());  // the capture handler has returned
  EXPECT_TRUE(::IsIconic(app.main())) << "brought back although not asked to";
  Restore(app);
  Image shown = app.PictureArea();
  EXPECT_EQ(PatternDifferences(shown, pattern), 0);
  if (PatternDifferences(shown, pattern) != 0) {
    SaveBmp(shown, app.dir() + "\\shown.bmp");
    SaveBmp(pattern.expected(), app.dir() + "\\expected.bmp");
  }
  long at = pattern.ClockIn(shown);  // ms after StartClock
  ASSERT_GE(at, 0) << "no clock in the capture";
  // StartClock ran just before OK was pressed.
  EXPECT_GE(at, 2000 - 50);
  EXPECT_LE(at, 3000 + 250);
}

TEST(ButtonCapture, ScreenNoticeClosedFromItsFrameCapturesTheScreen) {
  App app;
  // A known picture at the screen's top-left, the program clear of it.
  PatternWindow pattern(0, 0, kPatternW, kPatternH / 2, 5);
  ::SetWindowPos(app.main(), nullptr, kPatternW + 10, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  app.Click("Screen");
  auto notice = WaitForDialog(app.pid(), 5000);
  ASSERT_TRUE(notice);
  EXPECT_EQ(notice->title, "Capture Whole Screen");
  EXPECT_EQ(notice->text, "2 seconds after you close this dialog the entire screen will be captured.");
  EXPECT_EQ(notice->icon, IconKind::Information);
  EXPECT_EQ(notice->buttons, std::vector<std::string>{"OK"});
  CloseFromFrame(notice->hwnd);
  ASSERT_TRUE(WaitDialogGone(notice->hwnd, 3000));
  EXPECT_TRUE(WaitUntil([&] { return ::IsIconic(app.main()) != FALSE; }, 2000)) << "not minimised";
  ASSERT_TRUE(WaitFirstCaptureTaken(app)) << "no capture";
  ASSERT_TRUE(app.Sync());
  EXPECT_TRUE(::IsIconic(app.main())) << "brought back although not asked to";
  // The screen as the capture saw it: nothing has changed on it since.
  Image screen = GrabScreen(RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)});
  Restore(app);
  Image shown = app.PictureArea();
  ASSERT_FALSE(shown.empty());
  // The picture area shows the screen from its top-left, pixel for pixel:
  // the pattern, and the desktop where the minimised program was not.
  EXPECT_EQ(PatternDifferences(shown, pattern), 0);
  ASSERT_GT(shown.width, kPatternW);
  EXPECT_EQ(TopLeftDifferences(screen, shown), 0);
  if (TopLeftDifferences(screen, shown) != 0) {
    SaveBmp(shown, app.dir() + "\\shown.bmp");
    SaveBmp(screen, app.dir() + "\\screen.bmp");
  }
}

TEST(ShortcutCapture, CtrlSPutsTheWholeScreenThereAtOnce) {
  App app;
  PatternWindow pattern(0, 0, kPatternW, kPatternH, 7);
  // The main window is in front; the pattern lies under its top-left, so
  // move the program out of the way of the pattern first.
  ::SetWindowPos(app.main(), nullptr, 320, 220, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  app.Shortcut('S');
  // No notice, no minimising.
  Image shown;
  bool matched = WaitUntil(
      [&] {
        shown = app.PictureArea();
        return PatternDifferences(shown, pattern) == 0;
      },
      3000, 50);
  EXPECT_TRUE(matched) << "the screen's top-left (the pattern) is not in the picture area";
  if (!matched) SaveBmp(shown, app.dir() + "\\shown.bmp");
  EXPECT_FALSE(::IsIconic(app.main()));
  EXPECT_TRUE(app.SettledDialogs().empty());
}

TEST(ShortcutCapture, CtrlWCapturesTheActiveWindowWhichIsTheProgram) {
  App app;
  app.Shortcut('W');
  // Within about a second (the next whole second) the program's own window
  // (frame and all) shows in its picture area: its strip's first button.
  RECT outer = ScreenRect(app.main());
  RECT strip = ScreenRect(FindChildById(app.main(), kPicture2));
  int dx = strip.left - outer.left, dy = strip.top - outer.top;
  bool seen = WaitUntil(
      [&] {
        Image shown = app.PictureArea();
        Image live = GrabScreen(strip);
        int width = std::min(live.width, shown.width - dx - 8);  // less the right frame
        if (width < 400 || shown.height < dy + 20) return false;
        // The first rows of the strip as they were at the capture.
        for (int y = 0; y < 20; ++y)
          for (int x = 0; x < width; ++x)
            if (shown.at(dx + x, dy + y) != live.at(x, y)) return false;
        return true;
      },
      4000, 100);
  EXPECT_TRUE(seen);
  if (!seen) {
    SaveBmp(app.PictureArea(), app.dir() + "\\shown.bmp");
    SaveBmp(GrabScreen(strip), app.dir() + "\\strip.bmp");
  }
  EXPECT_FALSE(::IsIconic(app.main()));
}

TEST(ShortcutCapture, UnavailableShortcutsDoNotAct) {
  App app;
  Image before = app.PictureArea();
  app.Shortcut('F');
  app.Shortcut('C');
  ASSERT_TRUE(app.InputHandled()) << "the keys were not handled";
  Image after = app.PictureArea();
  EXPECT_EQ(CountDifferences(before, after), 0);
}

TEST(ButtonCapture, MissingCameraSoundDoesNotStopTheCapture) {
  App app({.withSound = false});
  PatternWindow pattern(0, 0, kPatternW, kPatternH, 9);
  ::SetWindowPos(app.main(), nullptr, 320, 220, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  app.Shortcut('S');
  EXPECT_TRUE(WaitUntil([&] { return PatternDifferences(app.PictureArea(), pattern) == 0; }, 3000, 50));
  EXPECT_TRUE(app.running());
}

}  // namespace
}  // namespace e2e
