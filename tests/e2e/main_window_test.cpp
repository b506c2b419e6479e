// The main window: its layout, menus, resize rule and exit.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "harness.h"
#include "probe/menu_probe.h"

namespace e2e {
namespace {

// At 96 dots per inch a pixel is 15 twips.
int Px(long twips) {
  return static_cast<int>((twips + 7) / 15);
}

RECT RectIn(HWND child, HWND parent) {
  RECT r = ScreenRect(child);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

TEST(MainWindow, StartsCentredWithItsStripButtonsAndPictureArea) {
  App app;
  ASSERT_NE(app.main(), nullptr);
  EXPECT_EQ(Text(app.main()), "Framewick");
  EXPECT_TRUE(::IsWindowVisible(app.main()));

  RECT outer = ScreenRect(app.main());
  int sw = ::GetSystemMetrics(SM_CXSCREEN), sh = ::GetSystemMetrics(SM_CYSCREEN);
  EXPECT_NEAR((outer.left + outer.right) / 2, sw / 2, 1);
  EXPECT_NEAR((outer.top + outer.bottom) / 2, sh / 2, 1);

  RECT client{};
  ::GetClientRect(app.main(), &client);
  EXPECT_EQ(client.right, Px(9330));
  EXPECT_EQ(client.bottom, Px(5835));

  struct Expected {
    const char* caption;
    long left;
  } buttons[] = {{"Screen", 120}, {"Window", 840}, {"Clear", 1920}, {"Cut", 2640},  {"Copy", 3360}, {"Paste", 4080},
                 {"Save", 5160},  {"Print", 5880}, {"Mail", 6600},  {"Tray", 7680}, {"Exit", 8400}};
  HWND strip = FindChildById(app.main(), kPicture2);
  ASSERT_NE(strip, nullptr);
  RECT stripRect = RectIn(strip, app.main());
  EXPECT_EQ(stripRect.left, 0);
  EXPECT_EQ(stripRect.top, 0);
  EXPECT_EQ(stripRect.bottom, Px(855));
  for (const auto& b : buttons) {
    HWND h = app.button(b.caption);
    ASSERT_NE(h, nullptr) << b.caption;
    EXPECT_EQ(::GetParent(h), strip) << b.caption;
    RECT r = RectIn(h, strip);
    EXPECT_EQ(r.left, Px(b.left)) << b.caption;
    EXPECT_EQ(r.top, Px(120)) << b.caption;
    EXPECT_EQ(r.right - r.left, Px(735)) << b.caption;
    EXPECT_EQ(r.bottom - r.top, Px(495)) << b.caption;
    EXPECT_TRUE(::IsWindowVisible(h)) << b.caption;
  }

  HWND area = app.picture1();
  ASSERT_NE(area, nullptr);
  RECT areaRect = RectIn(area, app.main());
  EXPECT_EQ(areaRect.left, 0);
  EXPECT_EQ(areaRect.top, Px(840));
  HWND c13 = app.command13();
  ASSERT_NE(c13, nullptr);
  EXPECT_EQ(Text(c13), "Command13");
  EXPECT_EQ(::GetParent(c13), area);
  RECT c13Rect = RectIn(c13, area);
  EXPECT_EQ(c13Rect.left, Px(120));
  EXPECT_EQ(c13Rect.top, Px(120));
  EXPECT_EQ(c13Rect.right - c13Rect.left, Px(975));
  EXPECT_EQ(c13Rect.bottom - c13Rect.top, Px(540));

  // The window's background (below the strip, beside the picture area) and
  // the strip are white.
  Image stripPixels = GrabScreen(ScreenRect(strip));
  ASSERT_FALSE(stripPixels.empty());
  EXPECT_EQ(stripPixels.at(2, 2), 0xFFFFFFu);
  EXPECT_EQ(stripPixels.at(Px(1800), Px(300)), 0xFFFFFFu);
}

TEST(MainWindow, MenusCarryTheirItemsShortcutsAndUnavailableEntries) {
  App app;
  ASSERT_NE(::GetMenu(app.main()), nullptr);
  // Read from inside the program: Wine answers another program's menu
  // questions with nothing.
  MenuListing listing{};
  listing.window = app.main();
  ProgramMemory remote(app.process(), &listing, sizeof listing);
  ASSERT_EQ(RunInProgram(app.process(), "menu_probe.dll", "ListMenus", remote.get()), 1);
  ASSERT_TRUE(remote.Read(&listing, sizeof listing));
  auto item = [](const char* caption, int id, bool grey = false) {
    return std::string(caption) + "|" + std::to_string(id) + "|" + (grey ? "grey" : "") + "\n";
  };
  using namespace fw::ids;
  std::string expected = item("File", 0) +                                                //
                         item("  New", kMenuNew) + "  -\n" + item("  Exit", kMenuExit) +  //
                         item("Shortcuts", 0, true) +                                     //
                         item("  Capture Whole Screen\tCtrl+S", kMenuCaptureScreen) +
                         item("  Capture All Monitors\tCtrl+Shift+S", kMenuCaptureAll) +
                         item("  Caption Whole Form\tCtrl+F", kMenuCaptureForm, true) +
                         item("  Capture Client Area\tCtrl+C", kMenuCaptureClient, true) +
                         item("  Capture Active Window\tCtrl+W", kMenuCaptureWindow) +
                         item("  Clear Picture Area\tCtrl+A", kMenuClearPicture) +  //
                         item("Options", 0) +                                       //
                         item("  Options", kMenuOptions) + item("  Configure Keys", kMenuConfigureKeys, true) +
                         item("Help", 0) +  //
                         item("  Help", kMenuHelp) + "  -\n" + item("  Version Info", kMenuVersion);
  EXPECT_EQ(std::string(listing.text), expected);
}

TEST(MainWindow, PictureAreaFollowsTheResizeRule) {
  App app;
  HWND main = app.main();
  HWND area = app.picture1();
  struct Size {
    int w, h;
  } sizes[] = {{700, 500}, {400, 300}, {900, 650}, {300, 120}};
  int lastHeight = -1;
  for (auto s : sizes) {
    ::SetWindowPos(main, nullptr, 0, 0, s.w, s.h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    app.Sync();
    RECT outer = ScreenRect(main);
    long wTw = (outer.right - outer.left) * 15L;
    long hTw = (outer.bottom - outer.top) * 15L;
    RECT a = ScreenRect(area);
    RECT inMain = a;
    ::MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&inMain), 2);
    EXPECT_EQ(inMain.left, 0);
    EXPECT_EQ(inMain.top, Px(840));
    EXPECT_EQ(a.right - a.left, Px(wTw - 100)) << s.w << "x" << s.h;
    if (hTw - 1540 >= 0) {
      EXPECT_EQ(a.bottom - a.top, Px(hTw - 1540)) << s.w << "x" << s.h;
    } else {
      // Too short: the area keeps its previous height.
      EXPECT_EQ(a.bottom - a.top, lastHeight) << s.w << "x" << s.h;
    }
    lastHeight = a.bottom - a.top;
  }
}

TEST(MainWindow, ExitRightAfterStartAsksNothing) {
  App app;
  app.Click("Exit");
  EXPECT_TRUE(app.WaitExit(5000));
  EXPECT_TRUE(OpenDialogs(app.pid()).empty());
  EXPECT_EQ(app.exitCode(), 0u);
}

TEST(MainWindow, FileExitAndTheCloseBoxEndTheProgram) {
  {
    App app;
    app.Menu(kMenuExit);
    EXPECT_TRUE(app.WaitExit(5000));
    EXPECT_EQ(app.exitCode(), 0u);
  }
  {
    App app({.dirSuffix = "-close"});
    CloseFromFrame(app.main());
    EXPECT_TRUE(app.WaitExit(5000));
    EXPECT_EQ(app.exitCode(), 0u);
  }
}

}  // namespace
}  // namespace e2e

namespace e2e {
namespace {

TEST(Keyboard, TabRunsThroughTheButtonsLeftToRightAndSpacePressesOne) {
  App app;
  ASSERT_TRUE(BringToFront(app.main()));
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(app.main()) != nullptr; }, 3000));
  std::vector<std::string> order{Text(FocusOf(app.main()))};
  for (int i = 0; i < 12; ++i) {
    SendKey(VK_TAB);
    WaitUntil([&] { return Text(FocusOf(app.main())) != order.back(); }, 2000);
    order.push_back(Text(FocusOf(app.main())));
  }
  std::vector<std::string> expected = {"Screen", "Window", "Clear", "Cut",  "Copy",      "Paste", "Save",
                                       "Print",  "Mail",   "Tray",  "Exit", "Command13", "Screen"};
  EXPECT_EQ(order, expected);
  // Shift+Tab goes back; Space on "Exit" presses it.
  SendKey(VK_TAB, false, false, true);
  ASSERT_TRUE(WaitUntil([&] { return Text(FocusOf(app.main())) == "Command13"; }, 2000))
      << "focus on " << Text(FocusOf(app.main()));
  SendKey(VK_TAB, false, false, true);
  ASSERT_TRUE(WaitUntil([&] { return Text(FocusOf(app.main())) == "Exit"; }, 2000));
  SendKey(VK_SPACE);
  EXPECT_TRUE(app.WaitExit(5000));
}

TEST(Keyboard, ButtonsHaveTooltips) {
  App app;
  // The tooltip window belongs to the program and knows a tool per button.
  HWND tips = FindTopLevel(app.pid(), "tooltips_class32", nullptr, false);
  ASSERT_NE(tips, nullptr);
  DWORD_PTR count = 0;
  ::SendMessageTimeoutA(tips, TTM_GETTOOLCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count);
  EXPECT_EQ(count, 12u);
}

}  // namespace
}  // namespace e2e
