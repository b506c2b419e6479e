// The notification icon after the shell restarts. On Windows a shell that
// dies takes every notification icon with it; the new one broadcasts
// "TaskbarCreated" to every top-level window, and programs add their icons
// again. Here the icon is removed as the dying shell loses it (a delete of
// the program's own icon, by its window and id, from another process) and
// the message is broadcast as the new shell broadcasts it.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "harness.h"
#include "harness_session.h"
#include "notification_area.h"
#include "tray/tray_rules.h"

namespace e2e {
namespace {

constexpr UINT kTrayCallback = fw::tray::kTrayCallbackMessage;

// The shell loses the program's icon: the icon of that window and id goes.
void LoseIcon(App& app, HWND icon) {
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = app.main();
  data.uID = 0;
  EXPECT_TRUE(::Shell_NotifyIconA(NIM_DELETE, &data));
  EXPECT_TRUE(WaitUntil([&] { return !Shows(icon); }, 3000)) << "the icon did not go";
}

// The shell's broadcast, and the program's barrier behind it: once it is
// through, the program has handled the broadcast (adding an icon returns
// only when the shell has it).
void RestartShell(App& app) {
  BroadcastTaskbarCreated();
  EXPECT_TRUE(app.Barrier());
}

// The one new icon after a restart of the shell; null if none came.
HWND IconAfterRestart(App& app, const std::vector<HWND>& before) {
  RestartShell(app);
  HWND icon = nullptr;
  WaitUntil([&] { return (icon = NewIcon(before)) != nullptr; }, 3000);
  return icon;
}

// No icon beyond `before` after a restart of the shell.
bool NoNewIconAfterRestart(App& app, const std::vector<HWND>& before) {
  RestartShell(app);
  return TrayIcons().size() == before.size() && NewIcon(before) == nullptr;
}

void Quit(App& app) {
  app.Menu(kMenuExit);
  EXPECT_TRUE(app.WaitExit(5000));
}

TEST(ShellRestart, TheIconComesBackWithItsTipAndItsLeftReleaseShowsTheWindow) {
  App app;
  HWND icon = GoToTray(app);
  ASSERT_NE(icon, nullptr);
  LoseIcon(app, icon);
  std::vector<HWND> lost = TrayIcons();

  HWND back = IconAfterRestart(app, lost);
  ASSERT_NE(back, nullptr) << "the icon did not come back: the hidden program is out of reach";
  EXPECT_EQ(TipOf(back), "Framewick");
  EXPECT_TRUE(Hidden(app)) << "the window showed with its icon";
  EXPECT_TRUE(OpenDialogs(app.pid()).empty());

  // A real click on the icon that came back.
  RECT r = ScreenRect(back);
  MoveMouse((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  MouseButton(true);
  MouseButton(false);
  EXPECT_TRUE(WaitUntil([&] { return !Hidden(app); }, 3000)) << "releasing the button on it did not show the window";
  EXPECT_TRUE(Shows(back));
  Quit(app);
}

TEST(ShellRestart, OneIconAfterTheWindowCameBackAndNoneWithoutTray) {
  App app;
  // Never in the notification area: the new shell gets no icon.
  std::vector<HWND> before = TrayIcons();
  EXPECT_TRUE(NoNewIconAfterRestart(app, before)) << "an icon although Tray was never pressed";
  EXPECT_FALSE(Hidden(app));

  HWND icon = GoToTray(app);
  ASSERT_NE(icon, nullptr);
  ::PostMessageA(app.main(), kTrayCallback, 0, WM_LBUTTONUP);
  ASSERT_TRUE(WaitUntil([&] { return !Hidden(app); }, 3000));

  // The message without a lost icon (Windows also sends it when the
  // display's scaling changes): still the one icon, not a second.
  std::vector<HWND> withIcon = TrayIcons();
  EXPECT_TRUE(NoNewIconAfterRestart(app, withIcon)) << "a second icon";
  EXPECT_TRUE(Shows(icon));
  EXPECT_EQ(TipOf(icon), "Framewick");

  // The window is back but the icon stays after the window came back; a
  // restarted shell gets it again, and the window stays as it is.
  LoseIcon(app, icon);
  HWND back = IconAfterRestart(app, TrayIcons());
  ASSERT_NE(back, nullptr) << "the icon did not come back while the window was shown";
  EXPECT_EQ(TipOf(back), "Framewick");
  EXPECT_FALSE(Hidden(app));
  // It still answers as before: "Tray" leaves exactly one icon.
  std::vector<HWND> others = TrayIcons();
  others.erase(std::remove(others.begin(), others.end(), back), others.end());
  HWND again = GoToTray(app);
  ASSERT_NE(again, nullptr);
  EXPECT_FALSE(Shows(back));
  EXPECT_EQ(NewIcon(others), again) << "not exactly one icon of the program";
  Quit(app);
}

}  // namespace
}  // namespace e2e
