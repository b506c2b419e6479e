// The system-wide hotkeys: what they do in every state of the main window,
// and what start-up says when another program holds them.
#include <gtest/gtest.h>

#include "flows.h"
#include "harness.h"
#include "harness_formats.h"
#include "options_access.h"

namespace e2e {
namespace {

constexpr int kW = 240;
constexpr int kH = 160;

bool AreaIsEmpty(App& app) {
  Image shown = app.PictureArea();
  if (shown.empty()) return false;
  // Image1 sits at the top-left; look beside it.
  for (int y = 0; y < shown.height; y += 7)
    for (int x = shown.width / 2; x < shown.width; x += 7)
      if (shown.at(x, y) != 0xFFFFFF) return false;
  return true;
}

bool AreaShows(App& app, const PatternWindow& pattern) {
  return WaitUntil([&] { return PatternDifferences(app.PictureArea(), pattern) == 0; }, 4000, 50);
}

// Moves the program clear of a pattern at the screen's top-left.
void MoveAside(App& app) {
  ::SetWindowPos(app.main(), nullptr, kW + 20, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  app.Sync();
}

// A process of the driver's that holds Ctrl+F<n> for the given keys; its
// window, whose title counts the presses of those keys it has received.
HWND HoldHotkeys(const std::string& keys) {
  DWORD pid = 0;
  std::string dir = FreshTestDir("-holder");
  EXPECT_NE(StartProcess(BinDir() + "\\hotkey_holder.exe", keys, dir, &pid), nullptr);
  std::string expected = "hotkey holder: " + keys;
  HWND holder = nullptr;
  EXPECT_TRUE(WaitUntil(
      [&] {
        holder = FindTopLevel(pid, "FwHotkeyHolder", nullptr, false);
        return holder && Text(holder) == expected;
      },
      10000))
      << "the holder could not take " << keys;
  return holder;
}

TEST(Hotkeys, CtrlF10CapturesTheScreenAndCtrlF12EmptiesTheAreaWithoutMakingExitAsk) {
  App app;
  PatternWindow pattern(0, 0, kW, kH, 51);
  MoveAside(app);
  ASSERT_TRUE(BringToFront(pattern.hwnd()));  // the program in the background
  SendCtrlKey(VK_F10);
  EXPECT_TRUE(AreaShows(app, pattern));
  EXPECT_TRUE(app.SettledDialogs().empty()) << "a hotkey capture shows no notice";
  EXPECT_FALSE(::IsIconic(app.main()));
  EXPECT_NE(OptionsWindow(app), nullptr) << "the capture did not read the options";

  SendCtrlKey(VK_F12);
  EXPECT_TRUE(WaitUntil([&] { return AreaIsEmpty(app); }, 3000));
  app.Click("Exit");
  EXPECT_TRUE(app.WaitExit(5000)) << "exit asked after hotkey captures only";
}

TEST(Hotkeys, WorkWhileTheProgramIsMinimisedOrHidden) {
  App app;
  PatternWindow first(0, 0, kW, kH, 52);
  ::ShowWindow(app.main(), SW_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return ::IsIconic(app.main()) != FALSE; }, 3000));
  ASSERT_TRUE(BringToFront(first.hwnd()));
  SendCtrlKey(VK_F11);  // the driver's foreground window: the pattern
  // The capture reads the options (loading them) before its return step.
  ASSERT_TRUE(WaitUntil([&] { return OptionsWindow(app) != nullptr; }, 5000));
  app.Sync();
  EXPECT_TRUE(::IsIconic(app.main())) << "brought back although not asked to";
  Restore(app);
  EXPECT_TRUE(AreaShows(app, first));

  PatternWindow second(0, 0, kW, kH, 53);
  MoveAside(app);
  ::ShowWindow(app.main(), SW_HIDE);
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(app.main()); }, 3000));
  SendCtrlKey(VK_F10);
  ASSERT_TRUE(app.Sync());  // the hotkey has been handled
  EXPECT_FALSE(::IsWindowVisible(app.main())) << "brought back although not asked to";
  ::ShowWindow(app.main(), SW_SHOW);
  app.Sync();
  EXPECT_TRUE(AreaShows(app, second));
}

TEST(Hotkeys, ShowProgramAfterEachSnapBringsAHiddenOrMinimisedWindowBack) {
  // A drive's root as the directory: the name gets a doubled separator,
  // which still names a file in the root.
  auto clean = [] {
    ::DeleteFileA("C:\\snap0.jpg");
    ::DeleteFileA("C:\\snap1.jpg");
  };
  clean();
  App app({.settings = "1,1,\"C:\\\"\r\n"});
  ::ShowWindow(app.main(), SW_HIDE);
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(app.main()); }, 3000));
  SendCtrlKey(VK_F10);
  EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(app.main()) && !::IsIconic(app.main()); }, 3000));
  EXPECT_TRUE(WaitUntil([&] { return SavedAs("C:\\snap0.jpg"); }, kSaveTimeoutMs));
  ::ShowWindow(app.main(), SW_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return ::IsIconic(app.main()) != FALSE; }, 3000));
  // The program has handled the minimising (and the activation it moves
  // elsewhere) before the keys come.
  ASSERT_TRUE(app.Sync());
  SendCtrlKey(VK_F11);
  EXPECT_TRUE(WaitUntil([&] { return !::IsIconic(app.main()); }, 3000));
  EXPECT_TRUE(WaitUntil([&] { return SavedAs("C:\\snap1.jpg"); }, kSaveTimeoutMs));
  app.Sync();
  EXPECT_TRUE(app.SettledDialogs().empty());
  clean();
}

TEST(Hotkeys, TwoQuickCtrlF10WithAutoSaveGiveFilesWithConsecutiveNumbers) {
  std::string shots = FreshTestDir("-shots");
  App app({.settings = "1,0,\"" + shots + "\"\r\n"});
  SendCtrlKey(VK_F10);
  SendCtrlKey(VK_F10);
  EXPECT_TRUE(
      WaitUntil([&] { return SavedAs(shots + "\\snap0.jpg") && SavedAs(shots + "\\snap1.jpg"); }, kSaveTimeoutMs));
  app.Sync();
  EXPECT_EQ(ListDir(shots), (std::vector<std::string>{"snap0.jpg", "snap1.jpg"}));
  for (const auto& name : ListDir(shots)) EXPECT_EQ(WholeFileProblem("JPEG", ReadFileBytes(shots + "\\" + name)), "");
}

TEST(Hotkeys, MessagesWhoseIdDoesNotFitIn8BitsAreTakenInAndDropped) {
  App app;
  PatternWindow pattern(0, 0, kW, kH, 54);
  MoveAside(app);
  ::PostMessageA(app.main(), WM_HOTKEY, 0, 0);  // a posted id 0 captures, as Ctrl+F10 does
  ASSERT_TRUE(AreaShows(app, pattern));
  // The pattern goes, so a wrong capture would show.
  ::ShowWindow(pattern.hwnd(), SW_HIDE);
  // The system's own (negative) ids, and ids that cut down to 8 bits would
  // mean "capture" (256) or "empty the area" (0x10002).
  for (WPARAM id : {static_cast<WPARAM>(-1), static_cast<WPARAM>(-2), static_cast<WPARAM>(256),
                    static_cast<WPARAM>(0x10002), static_cast<WPARAM>(3)}) {
    DWORD_PTR result = 0;
    ASSERT_TRUE(::SendMessageTimeoutA(app.main(), WM_HOTKEY, id, 0, SMTO_ABORTIFHUNG, 5000, &result));
    EXPECT_EQ(result, 1u) << "not taken in: " << id;
  }
  EXPECT_TRUE(app.running());
  ::ShowWindow(pattern.hwnd(), SW_SHOWNA);
  EXPECT_TRUE(AreaShows(app, pattern)) << "a dropped message changed the picture";
}

TEST(Hotkeys, CtrlF10HeldElsewhereGivesHotkeyFaultThenANormalStart) {
  HWND holder = HoldHotkeys("10");
  App app({.waitForMain = false});
  auto fault = WaitForDialog(app.pid(), 10000, "Framewick");
  ASSERT_TRUE(fault);
  EXPECT_EQ(fault->text, "Hotkey Fault");
  EXPECT_EQ(fault->icon, IconKind::Error);
  EXPECT_EQ(fault->buttons, std::vector<std::string>{"OK"});
  EXPECT_FALSE(app.main() && ::IsWindowVisible(app.main())) << "the window showed before the message";
  PressDialogButton(fault->hwnd, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return app.main() && ::IsWindowVisible(app.main()); }, 5000));
  app.Sync();
  EXPECT_TRUE(app.SettledDialogs().empty()) << "more than one message";

  // Ctrl+F11 and Ctrl+F12 are the program's; Ctrl+F10 stays the holder's.
  PatternWindow pattern(0, 0, kW, kH, 55);
  MoveAside(app);
  ASSERT_TRUE(BringToFront(pattern.hwnd()));
  SendCtrlKey(VK_F11);
  EXPECT_TRUE(AreaShows(app, pattern));
  SendCtrlKey(VK_F12);
  EXPECT_TRUE(WaitUntil([&] { return AreaIsEmpty(app); }, 3000));
  // Ctrl+F10 goes to the program that holds it, and the program does
  // nothing.
  SendCtrlKey(VK_F10);
  EXPECT_TRUE(WaitUntil([&] { return Text(holder) == "hotkey holder: 10 (pressed 1)"; }, 3000))
      << "the holder did not get Ctrl+F10: " << Text(holder);
  ASSERT_TRUE(app.Sync());
  EXPECT_TRUE(AreaIsEmpty(app));
}

TEST(Hotkeys, AllThreeHeldElsewhereEndTheProgramBeforeItsWindowShows) {
  HoldHotkeys("10 11 12");
  App app({.waitForMain = false});
  auto first = WaitForDialog(app.pid(), 10000, "Framewick");
  ASSERT_TRUE(first);
  EXPECT_EQ(first->text, "Hotkey Fault");
  EXPECT_FALSE(app.main() && ::IsWindowVisible(app.main()));
  PressDialogButton(first->hwnd, IDOK);
  ASSERT_TRUE(WaitDialogGone(first->hwnd, 3000));
  auto second = WaitForDialog(app.pid(), 5000, "Framewick");
  ASSERT_TRUE(second);
  EXPECT_EQ(second->text, "HK Fault");
  EXPECT_EQ(second->icon, IconKind::Error);
  EXPECT_EQ(second->buttons, std::vector<std::string>{"OK"});
  EXPECT_FALSE(app.main() && ::IsWindowVisible(app.main()));
  PressDialogButton(second->hwnd, IDOK);
  bool shown = false;
  EXPECT_TRUE(WaitUntil(
      [&] {
        shown = shown || (app.main() && ::IsWindowVisible(app.main()));
        return !app.running();
      },
      5000))
      << "the program did not end";
  EXPECT_FALSE(shown) << "the main window showed";
  EXPECT_EQ(app.exitCode(), 0u);
}

TEST(Hotkeys, CtrlF11AndCtrlF12HeldElsewhereAreNotReported) {
  HoldHotkeys("11 12");
  App app;
  ASSERT_TRUE(app.main() && ::IsWindowVisible(app.main()));
  EXPECT_TRUE(app.SettledDialogs().empty());
  PatternWindow pattern(0, 0, kW, kH, 56);
  MoveAside(app);
  SendCtrlKey(VK_F10);
  EXPECT_TRUE(AreaShows(app, pattern));
}

// Ctrl+Shift+F10 (every monitor) is no part of what start-up reports: held
// by another program, nothing is said and the three hotkeys work.
TEST(Hotkeys, CtrlShiftF10HeldElsewhereIsNotReportedAndTheOtherHotkeysWork) {
  HWND holder = HoldHotkeys("s10");
  App app;
  ASSERT_TRUE(app.main() && ::IsWindowVisible(app.main()));
  EXPECT_TRUE(app.SettledDialogs().empty());
  PatternWindow pattern(0, 0, kW, kH, 57);
  MoveAside(app);
  ASSERT_TRUE(BringToFront(pattern.hwnd()));
  SendCtrlKey(VK_F11);
  EXPECT_TRUE(AreaShows(app, pattern));
  SendCtrlKey(VK_F12);
  EXPECT_TRUE(WaitUntil([&] { return AreaIsEmpty(app); }, 3000));
  SendCtrlKey(VK_F10);
  EXPECT_TRUE(AreaShows(app, pattern));
  // Ctrl+Shift+F10 goes to the holder, and the program does nothing.
  SendCtrlKey(VK_F12);
  EXPECT_TRUE(WaitUntil([&] { return AreaIsEmpty(app); }, 3000));
  SendKey(VK_F10, true, false, true);
  EXPECT_TRUE(WaitUntil([&] { return Text(holder) == "hotkey holder: s10 (pressed 1)"; }, 3000))
      << "the holder did not get Ctrl+Shift+F10: " << Text(holder);
  ASSERT_TRUE(app.Sync());
  EXPECT_TRUE(AreaIsEmpty(app));
}

}  // namespace
}  // namespace e2e
