// The "Tray" button and the notification icon, driven as a user drives them:
// the icon in the shell's notification area, its tip, clicks on it, its
// menu, and the hotkeys while the program sits there.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "flows.h"
#include "harness.h"
#include "notification_area.h"
#include "options_access.h"
#include "tray/tray_rules.h"

namespace e2e {
namespace {

constexpr UINT kTrayCallback = fw::tray::kTrayCallbackMessage;
constexpr int kW = 240;
constexpr int kH = 160;

POINT CentreOf(HWND hwnd) {
  RECT r = ScreenRect(hwnd);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A real click on a point of the screen.
void ClickAt(POINT at, bool right = false) {
  MoveMouse(at.x, at.y);
  MouseButton(true, right);
  MouseButton(false, right);
}

HWND OpenMenu(App& app) {
  return FindTopLevel(app.pid(), "#32768", nullptr, true);
}

// Renders the program's own icon as the notification area draws it: small,
// on the area's background.
Image ProgramIconAsShown(App& app, HWND icon) {
  Image out;
  HMODULE exe = ::LoadLibraryExA((app.dir() + "\\Framewick.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!exe) return out;
  HICON big = static_cast<HICON>(::LoadImageA(exe, MAKEINTRESOURCEA(1), IMAGE_ICON, 48, 48, 0));
  RECT r{};
  ::GetClientRect(icon, &r);
  Image shown = GrabScreen(ScreenRect(icon));
  if (big && !shown.empty()) {
    HDC screen = ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(screen);
    HBITMAP bmp = ::CreateCompatibleBitmap(screen, r.right, r.bottom);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    std::uint32_t bg = shown.at(0, 0);
    HBRUSH brush = ::CreateSolidBrush(RGB((bg >> 16) & 255, (bg >> 8) & 255, bg & 255));
    ::FillRect(mem, &r, brush);
    int cx = ::GetSystemMetrics(SM_CXSMICON), cy = ::GetSystemMetrics(SM_CYSMICON);
    ::DrawIconEx(mem, (r.right - cx) / 2, (r.bottom - cy) / 2, big, cx, cy, 0, nullptr, DI_NORMAL);
    ::SelectObject(mem, old);
    out = ImageFromBitmap(bmp, mem);
    ::DeleteObject(brush);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
  }
  if (big) ::DestroyIcon(big);
  ::FreeLibrary(exe);
  return out;
}

// Ends the program through its own Exit. A program ended from outside has
// no say in it, and its icon stays until the shell next fails to reach it.
void Quit(App& app) {
  app.Menu(kMenuExit);
  EXPECT_TRUE(app.WaitExit(5000));
}

bool AreaIsEmpty(App& app) {
  Image shown = app.PictureArea();
  if (shown.empty()) return false;
  for (int y = 0; y < shown.height; y += 7)
    for (int x = shown.width / 2; x < shown.width; x += 7)
      if (shown.at(x, y) != 0xFFFFFF) return false;
  return true;
}

TEST(Tray, HidesTheWindowBehindOneIconThatShowsTheProgramsIconAndTheTipFramewick) {
  App app;
  HWND icon = GoToTray(app);
  ASSERT_NE(icon, nullptr);
  EXPECT_TRUE(Hidden(app));
  EXPECT_TRUE(app.SettledDialogs().empty()) << "the button said something";
  EXPECT_EQ(TipOf(icon), "Framewick");

  Image expected = ProgramIconAsShown(app, icon);
  ASSERT_FALSE(expected.empty());
  EXPECT_TRUE(WaitUntil([&] { return CountDifferences(GrabScreen(ScreenRect(icon)), expected) == 0; }, 3000))
      << "the icon does not show the program's icon";
  Quit(app);
}

TEST(Tray, LeftReleaseShowsTheWindowAgainAndTheIconStaysUntilTrayReplacesIt) {
  std::vector<HWND> before = TrayIcons();
  App app;
  HWND icon = GoToTray(app);
  ASSERT_NE(icon, nullptr);

  // Moves, presses and double clicks over the icon change nothing.
  for (LPARAM mouse : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONUP})
    ::PostMessageA(app.main(), kTrayCallback, 0, mouse);
  // The shell has taken a press when it makes the notification area the
  // active window (it then hands the press on to the program); another
  // window is in front before, so that shows.
  PatternWindow elsewhere(600, 500, 200, 150, 60);
  ASSERT_TRUE(BringToFront(elsewhere.hwnd()));
  MoveMouse(CentreOf(icon).x, CentreOf(icon).y);
  MouseButton(true);  // pressed, not yet released
  EXPECT_TRUE(WaitUntil([] { return ::GetForegroundWindow() == TrayWindow(); }, 3000))
      << "the press did not reach the notification area; in front: " << ClassOf(::GetForegroundWindow());
  ASSERT_TRUE(app.Sync());
  EXPECT_TRUE(Hidden(app)) << "shown before the button was released";
  EXPECT_EQ(OpenMenu(app), nullptr);
  MouseButton(false);
  EXPECT_TRUE(WaitUntil([&] { return !Hidden(app); }, 3000)) << "a real click on the icon did not show the window";
  app.Sync();
  EXPECT_TRUE(Shows(icon)) << "the icon went";
  EXPECT_EQ(TipOf(icon), "Framewick");

  // "Tray" again: the old icon goes and exactly one new one comes. Then the
  // same release through the message the shell sends to the program.
  HWND first = icon;
  icon = GoToTray(app);
  ASSERT_NE(icon, nullptr);
  EXPECT_FALSE(Shows(first));
  EXPECT_EQ(NewIcon(before), icon) << "not exactly one icon of the program";
  EXPECT_EQ(TipOf(icon), "Framewick");
  ::PostMessageA(app.main(), kTrayCallback, 0, WM_LBUTTONUP);
  EXPECT_TRUE(WaitUntil([&] { return !Hidden(app); }, 3000));
  EXPECT_FALSE(::IsIconic(app.main()));
  app.Sync();
  EXPECT_TRUE(Shows(icon)) << "the icon went";
  Quit(app);
}

TEST(Tray, RightReleasePopsUpTheFileMenuWhileTheWindowStaysHidden) {
  App app;
  HWND icon = GoToTray(app);
  ASSERT_NE(icon, nullptr);

  // Some other window to click on.
  PatternWindow elsewhere(600, 500, 200, 150, 61);
  ASSERT_TRUE(BringToFront(elsewhere.hwnd()));

  ClickAt(CentreOf(icon), true);
  HWND menu = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (menu = OpenMenu(app)) != nullptr; }, 3000)) << "no popup menu";
  EXPECT_TRUE(Hidden(app)) << "the window showed with its menu";
  RECT popup = ScreenRect(menu);

  // A click elsewhere closes it.
  ClickAt(POINT{700, 575});
  EXPECT_TRUE(WaitUntil([&] { return OpenMenu(app) == nullptr; }, 3000)) << "the menu stayed open";
  EXPECT_TRUE(Hidden(app));

  // So does Escape, and the menu opens again on the next release.
  ClickAt(CentreOf(icon), true);
  ASSERT_TRUE(WaitUntil([&] { return OpenMenu(app) != nullptr; }, 3000)) << "no popup menu the second time";
  SendKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return OpenMenu(app) == nullptr; }, 3000)) << "Escape left the menu open";
  app.Sync();
  EXPECT_TRUE(Hidden(app));
  EXPECT_TRUE(app.running());

  // It is the File menu of the menu bar: the same size.
  ::PostMessageA(app.main(), kTrayCallback, 0, WM_LBUTTONUP);
  ASSERT_TRUE(WaitUntil([&] { return !Hidden(app); }, 3000));
  ASSERT_TRUE(BringToFront(app.main()));
  POINT client{0, 0};
  ::ClientToScreen(app.main(), &client);
  ClickAt(POINT{client.x + 12, client.y - ::GetSystemMetrics(SM_CYMENU) / 2});  // "File" on the menu bar
  HWND file = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (file = OpenMenu(app)) != nullptr; }, 3000)) << "File did not open";
  RECT bar = ScreenRect(file);
  EXPECT_EQ(bar.right - bar.left, popup.right - popup.left);
  EXPECT_EQ(bar.bottom - bar.top, popup.bottom - popup.top);
  SendKey(VK_ESCAPE);
  SendKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return OpenMenu(app) == nullptr; }, 3000));
  Quit(app);
}

TEST(Tray, NewFromTheIconsMenuClearsAHotkeyCaptureWithoutShowingTheWindow) {
  App app;
  ::SetWindowPos(app.main(), nullptr, kW + 40, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  HWND icon = GoToTray(app);
  ASSERT_NE(icon, nullptr);
  {
    PatternWindow pattern(0, 120, kW, kH, 62);
    ASSERT_TRUE(BringToFront(pattern.hwnd()));
    SendCtrlKey(VK_F11);
    ASSERT_TRUE(WaitUntil([&] { return OptionsWindow(app) != nullptr; }, 5000));
    app.Sync();
    EXPECT_TRUE(Hidden(app));
    ::PostMessageA(app.main(), kTrayCallback, 0, WM_LBUTTONUP);
    ASSERT_TRUE(WaitUntil([&] { return !Hidden(app); }, 3000));
    EXPECT_TRUE(WaitUntil([&] { return PatternDifferences(app.PictureArea(), pattern) == 0; }, 4000, 50))
        << "Ctrl+F11 in the notification area did not capture";
  }

  icon = GoToTray(app);
  ASSERT_NE(icon, nullptr);
  ClickAt(CentreOf(icon), true);
  ASSERT_TRUE(WaitUntil([&] { return OpenMenu(app) != nullptr; }, 3000));
  SendKey(VK_DOWN);  // "New"
  SendKey(VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return OpenMenu(app) == nullptr; }, 3000));
  EXPECT_TRUE(app.SettledDialogs().empty()) << "New asked after a hotkey capture";
  EXPECT_TRUE(Hidden(app));
  ::PostMessageA(app.main(), kTrayCallback, 0, WM_LBUTTONUP);
  ASSERT_TRUE(WaitUntil([&] { return !Hidden(app); }, 3000));
  EXPECT_TRUE(WaitUntil([&] { return AreaIsEmpty(app); }, 3000)) << "New did not clear the picture";
  Quit(app);
}

TEST(Tray, ExitFromTheIconsMenuAsksAboutAnUnsavedCaptureAndTheIconGoesWithTheProgram) {
  App app;
  ASSERT_TRUE(ScreenButtonCapture(app));
  HWND icon = GoToTray(app);
  ASSERT_NE(icon, nullptr);
  ClickAt(CentreOf(icon), true);
  ASSERT_TRUE(WaitUntil([&] { return OpenMenu(app) != nullptr; }, 3000));
  SendKey(VK_DOWN);  // "New"
  SendKey(VK_DOWN);  // past the separator: "Exit"
  SendKey(VK_RETURN);
  auto prompt = WaitForDialog(app.pid(), 5000, "Save?");
  ASSERT_TRUE(prompt) << "Exit did not ask about the unsaved capture";
  EXPECT_TRUE(Hidden(app));
  PressDialogButton(prompt->hwnd, IDCANCEL);  // do not save
  ASSERT_TRUE(app.WaitExit(5000)) << "the program did not end";
  // The shell drops the icon of a window that is gone; nothing else
  // removed it.
  EXPECT_TRUE(WaitUntil([&] { return !Shows(icon); }, 3000)) << "the icon outlived the program";
}

TEST(Tray, HotkeysWorkInTheTrayAfterComingBackAndAfterTrayTwice) {
  App app;
  ::SetWindowPos(app.main(), nullptr, kW + 40, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  app.Sync();
  auto captureShows = [&](int seed, bool hidden) {
    PatternWindow pattern(0, 120, kW, kH, seed);
    EXPECT_TRUE(BringToFront(pattern.hwnd()));
    SendCtrlKey(VK_F11);
    EXPECT_TRUE(app.Sync());  // the hotkey has been handled
    if (hidden) {
      EXPECT_TRUE(Hidden(app)) << "a hotkey showed the window";
      ::PostMessageA(app.main(), kTrayCallback, 0, WM_LBUTTONUP);
      EXPECT_TRUE(WaitUntil([&] { return !Hidden(app); }, 3000));
    }
    return WaitUntil([&] { return PatternDifferences(app.PictureArea(), pattern) == 0; }, 4000, 50);
  };
  auto clearWorks = [&](bool hidden) {
    SendCtrlKey(VK_F12);
    EXPECT_TRUE(app.Sync());  // the hotkey has been handled
    if (hidden) {
      EXPECT_TRUE(Hidden(app));
      ::PostMessageA(app.main(), kTrayCallback, 0, WM_LBUTTONUP);
      EXPECT_TRUE(WaitUntil([&] { return !Hidden(app); }, 3000));
    }
    return WaitUntil([&] { return AreaIsEmpty(app); }, 3000);
  };

  ASSERT_NE(GoToTray(app), nullptr);
  EXPECT_TRUE(captureShows(63, true)) << "Ctrl+F11 in the tray";
  EXPECT_TRUE(captureShows(64, false)) << "Ctrl+F11 after coming back";
  ASSERT_NE(GoToTray(app), nullptr);
  EXPECT_TRUE(clearWorks(true)) << "Ctrl+F12 in the tray";
  ASSERT_NE(GoToTray(app), nullptr);  // "Tray" pressed twice
  EXPECT_TRUE(captureShows(65, true)) << "Ctrl+F11 after Tray twice";
  EXPECT_TRUE(clearWorks(false)) << "Ctrl+F12 after Tray twice";

  // Ctrl+F10 takes the whole screen while the program sits in the tray.
  ASSERT_NE(GoToTray(app), nullptr);
  SendCtrlKey(VK_F10);
  ASSERT_TRUE(app.Sync());  // the hotkey has been handled
  EXPECT_TRUE(Hidden(app));
  ::PostMessageA(app.main(), kTrayCallback, 0, WM_LBUTTONUP);
  ASSERT_TRUE(WaitUntil([&] { return !Hidden(app); }, 3000));
  EXPECT_TRUE(WaitUntil([&] { return !AreaIsEmpty(app); }, 3000)) << "Ctrl+F10 in the tray captured nothing";
  Quit(app);
}

// The icon branch and the procedure chain, checked inside a process that
// runs the program's own code (tests/e2e/inprocess/tray_icon.cpp): no user
// path puts an icon picture into the picture area.
TEST(Tray, AnIconPictureBecomesTheIconAndTheChainKeepsOneTrayProcedure) {
  std::string out;
  int rc = RunAndCollect(BinDir() + "\\tray_icon.exe", "", 60000, out);
  std::printf("%s", out.c_str());
  EXPECT_EQ(rc, 0) << "checks failed (or the run did not finish)";
  EXPECT_NE(out.find("result 0 failed"), std::string::npos);
}

}  // namespace
}  // namespace e2e
