// The Options dialog: its window and controls, the settings file it reads
// when it loads and writes on "Apply", its directory list and its keys.
#include <gtest/gtest.h>

#include "flows.h"
#include "harness.h"
#include "options_access.h"

namespace e2e {
namespace {

std::string SettingsOf(App& app) {
  return ReadFileBytes(app.dir() + "\\settings.txt");
}

TEST(OptionsDialog, OpensModelessAndCentredWithItsControlsAndApplyWritesTheFile) {
  // The process starts elsewhere: the dialog still shows the program's
  // directory when nothing has been chosen.
  std::string elsewhere = FreshTestDir("-cwd");
  App app({.cwd = elsewhere});
  EXPECT_EQ(OptionsWindow(app), nullptr) << "loaded before first use";
  HWND dlg = OpenOptions(app);
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(Text(dlg), "Options");

  // Fixed frame, no minimise or maximise box, no taskbar entry (owned by a
  // hidden window, not by the main window, so it stays up while the main
  // window is minimised).
  LONG_PTR style = ::GetWindowLongPtrA(dlg, GWL_STYLE);
  LONG_PTR ex = ::GetWindowLongPtrA(dlg, GWL_EXSTYLE);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  EXPECT_FALSE(ex & WS_EX_APPWINDOW);
  HWND owner = ::GetWindow(dlg, GW_OWNER);
  ASSERT_NE(owner, nullptr);
  EXPECT_NE(owner, app.main());
  EXPECT_FALSE(::IsWindowVisible(owner));

  RECT client{};
  ::GetClientRect(dlg, &client);
  EXPECT_EQ(client.right, 4560 / 15);
  EXPECT_EQ(client.bottom, 5400 / 15);
  RECT outer = ScreenRect(dlg);
  EXPECT_NEAR((outer.left + outer.right) / 2, ::GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((outer.top + outer.bottom) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2, 1);

  EXPECT_NE(FindChildByText(dlg, "Autosave Options", "Button"), nullptr);
  EXPECT_NE(FindChildByText(dlg, "Other Options", "Button"), nullptr);
  EXPECT_NE(FindChildByText(dlg, "Choose a file extension", "Static"), nullptr);
  OptionsControls c(dlg);
  ASSERT_TRUE(c.complete());
  EXPECT_EQ(c.state1(), BST_UNCHECKED);
  EXPECT_EQ(c.state2(), BST_UNCHECKED);
  EXPECT_EQ(c.dir(), app.dir());
  EXPECT_EQ(c.extension(), ".jpg");
  EXPECT_EQ(c.extensionItems(), (std::vector<std::string>{".jpg", ".bmp"}));
  // The list shows the current directory's name among its lines.
  std::vector<std::string> lines = c.listLines();
  std::string last = app.dir().substr(app.dir().rfind('\\') + 1);
  EXPECT_NE(std::find(lines.begin(), lines.end(), last), lines.end());

  // Modeless: the main window keeps working, and opening again shows the
  // same dialog.
  EXPECT_TRUE(::IsWindowEnabled(app.main()));
  EXPECT_TRUE(app.Sync());
  app.Menu(kMenuOptions);
  app.Sync();
  int count = 0;
  for (HWND h : TopLevelWindows(app.pid())) count += ClassOf(h) == kOptionsClass;
  EXPECT_EQ(count, 1);

  // "Apply" with auto-saving off and the main window brought back.
  c.Click(c.check2);
  ASSERT_TRUE(WaitUntil([&] { return c.state2() == BST_CHECKED; }, 3000));
  c.Click(c.apply);
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(dlg); }, 3000)) << "Apply does not close the dialog";
  EXPECT_EQ(SettingsOf(app), SettingsLine(0, 1, app.dir()));
  EXPECT_EQ(OptionsWindow(app), nullptr) << "unloaded, not hidden";
  EXPECT_EQ(ListDir(app.dir()), (std::vector<std::string>{"Framewick.exe", "camera.wav", "settings.txt"}));
}

TEST(OptionsDialog, SettingsFileFillsTheControlsEachTimeItLoads) {
  std::string shots = FreshTestDir("-shots");
  App app({.settings = SettingsLine(1, 1, shots)});
  OptionsControls c(OpenOptions(app));
  ASSERT_TRUE(c.complete());
  EXPECT_EQ(c.state1(), BST_CHECKED);
  EXPECT_EQ(c.state2(), BST_CHECKED);
  EXPECT_EQ(c.dir(), shots);

  // Turned off and applied: the file says so, and the next load reads it.
  c.Click(c.check1);
  ASSERT_TRUE(WaitUntil([&] { return c.state1() == BST_UNCHECKED; }, 3000));
  c.Click(c.apply);
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(c.dialog); }, 3000));
  EXPECT_EQ(SettingsOf(app), SettingsLine(0, 1, shots));
  OptionsControls again(OpenOptions(app));
  EXPECT_EQ(again.state1(), BST_UNCHECKED);
  EXPECT_EQ(again.state2(), BST_CHECKED);

  // Turned off without applying and closed from the frame: the file has it
  // on, so it comes back on. A box turned on without applying stays on.
  again.Click(again.check2);
  ASSERT_TRUE(WaitUntil([&] { return again.state2() == BST_UNCHECKED; }, 3000));
  again.Click(again.check1);
  ASSERT_TRUE(WaitUntil([&] { return again.state1() == BST_CHECKED; }, 3000));
  CloseFromFrame(again.dialog);
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(again.dialog); }, 3000));
  EXPECT_EQ(SettingsOf(app), SettingsLine(0, 1, shots)) << "closing from the frame writes nothing";
  OptionsControls third(OpenOptions(app));
  EXPECT_EQ(third.state1(), BST_CHECKED);
  EXPECT_EQ(third.state2(), BST_CHECKED);
}

TEST(OptionsDialog, AFailingFileAppliesWhatCameBeforeTheFailure) {
  std::string shots = FreshTestDir("-shots");
  struct Case {
    std::string file;
    int c1, c2;
    bool dirFromFile;
    bool hidden;
  } cases[] = {
      {"1,0\r\n", 0, 0, false, false},                                                   // too few fields: nothing
      {std::string("1,5,\"").append(shots).append("\"\r\n"), 1, 0, false, false},        // field 2 out of range
      {SettingsLine(1, 1, shots + "\\gone"), 1, 1, false, false},                        // directory gone
      {SettingsLine(1, 1, shots), 0, 0, false, true},                                    // hidden file: absent
      {std::string("  0 , 1 , \"").append(shots).append("\" \r\n"), 0, 1, true, false},  // spaces before fields
  };
  int n = 0;
  for (const auto& c : cases) {
    App app({.settings = c.file, .dirSuffix = std::string("-").append(std::to_string(n++))});
    if (c.hidden) ::SetFileAttributesA((app.dir() + "\\settings.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    OptionsControls o(OpenOptions(app));
    ASSERT_TRUE(o.complete()) << c.file;
    EXPECT_EQ(o.state1(), c.c1) << c.file;
    EXPECT_EQ(o.state2(), c.c2) << c.file;
    EXPECT_EQ(o.dir(), c.dirFromFile ? shots : app.dir()) << c.file;
    EXPECT_TRUE(app.running());
  }
}

TEST(OptionsDialog, TheDirectoryChangesOnlyWhenOneIsOpened) {
  std::string shots = FreshTestDir("-shots");
  ::CreateDirectoryA((shots + "\\alpha").c_str(), nullptr);
  ::CreateDirectoryA((shots + "\\beta").c_str(), nullptr);
  App app({.settings = SettingsLine(0, 0, shots)});
  OptionsControls c(OpenOptions(app));
  ASSERT_TRUE(c.complete());
  std::vector<std::string> lines = c.listLines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[lines.size() - 2], "alpha");
  EXPECT_EQ(lines.back(), "beta");

  // A click selects "beta" without opening it; Enter opens it.
  ASSERT_TRUE(BringToFront(c.dialog));
  RECT item{};
  ::SendMessageTimeoutA(c.dir1, LB_GETITEMRECT, lines.size() - 1, reinterpret_cast<LPARAM>(&item), SMTO_ABORTIFHUNG,
                        3000, nullptr);
  POINT p{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
  ::ClientToScreen(c.dir1, &p);
  MoveMouse(p.x, p.y);
  MouseButton(true);
  MouseButton(false);
  app.Sync();
  ASSERT_TRUE(WaitUntil([&] { return Ask(c.dir1, LB_GETCURSEL) == static_cast<LRESULT>(lines.size() - 1); }, 3000));
  EXPECT_EQ(c.dir(), shots) << "a single click opened the directory";
  SendKey(VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return c.dir() == shots + "\\beta"; }, 3000)) << c.dir();

  // Up to the parent with the keyboard, then a double-click on "alpha".
  lines = c.listLines();
  ASSERT_FALSE(lines.empty());
  ASSERT_EQ(lines.back(), "beta");
  SendKey(VK_UP);
  app.Sync();
  SendKey(VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return c.dir() == shots; }, 3000)) << c.dir();
  lines = c.listLines();
  ASSERT_GE(lines.size(), 3u);
  ::SendMessageTimeoutA(c.dir1, LB_GETITEMRECT, lines.size() - 2, reinterpret_cast<LPARAM>(&item), SMTO_ABORTIFHUNG,
                        3000, nullptr);
  p = POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
  ::ClientToScreen(c.dir1, &p);
  MoveMouse(p.x, p.y);
  for (int i = 0; i < 2; ++i) {
    MouseButton(true);
    MouseButton(false);
  }
  EXPECT_TRUE(WaitUntil([&] { return c.dir() == shots + "\\alpha"; }, 3000)) << c.dir();

  c.Click(c.apply);
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(c.dialog); }, 3000));
  EXPECT_EQ(SettingsOf(app), SettingsLine(0, 0, shots + "\\alpha"));
}

TEST(OptionsDialog, TabEnterAndEscapeWorkInTheDialog) {
  App app;
  OptionsControls c(OpenOptions(app));
  ASSERT_TRUE(c.complete());
  ASSERT_TRUE(BringToFront(c.dialog));
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(c.dialog) == c.check1; }, 3000)) << "the first box has the focus";
  // Tab goes through the controls in order; Space checks a box.
  SendKey(VK_TAB);
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(c.dialog) == c.dir1; }, 3000));
  SendKey(VK_TAB);
  EXPECT_TRUE(WaitUntil([&] { return ::GetParent(FocusOf(c.dialog)) == c.combo1; }, 3000)) << "the box's edit";
  SendKey(VK_TAB);
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(c.dialog) == c.check2; }, 3000));
  SendKey(VK_SPACE);
  EXPECT_TRUE(WaitUntil([&] { return c.state2() == BST_CHECKED; }, 3000));
  SendKey(VK_TAB, false, false, true);  // Shift+Tab back to the box
  EXPECT_TRUE(WaitUntil([&] { return ::GetParent(FocusOf(c.dialog)) == c.combo1; }, 3000));

  // Escape closes the dialog as its frame does: nothing written.
  SendKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(c.dialog); }, 3000));
  EXPECT_FALSE(FileExists(app.dir() + "\\settings.txt"));

  // Enter presses "Apply".
  OptionsControls again(OpenOptions(app));
  ASSERT_TRUE(BringToFront(again.dialog));
  EXPECT_EQ(again.state2(), BST_CHECKED) << "remembered from before";
  SendKey(VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(again.dialog); }, 3000));
  EXPECT_EQ(SettingsOf(app), SettingsLine(0, 1, app.dir()));
}

TEST(OptionsDialog, ChosenExtensionLastsThroughTheRunButIsNotStored) {
  std::string written;
  {
    App app({.dirSuffix = "-first"});
    OptionsControls c(OpenOptions(app));
    ASSERT_TRUE(c.complete());
    ASSERT_TRUE(BringToFront(c.dialog));
    // Choose ".bmp" from the list with the keyboard.
    for (int i = 0; i < 2; ++i) SendKey(VK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return ::GetParent(FocusOf(c.dialog)) == c.combo1; }, 3000));
    SendKey(VK_DOWN);
    ASSERT_TRUE(WaitUntil([&] { return c.extension() == ".bmp"; }, 3000)) << c.extension();
    c.Click(c.apply);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(c.dialog); }, 3000));
    written = SettingsOf(app);
    EXPECT_EQ(written, SettingsLine(0, 0, app.dir())) << "the extension is not stored";

    // Loaded again in this run: ".bmp". Text typed into the box is kept
    // while the dialog stays loaded, not across its loads.
    OptionsControls again(OpenOptions(app));
    EXPECT_EQ(again.extension(), ".bmp");
    ASSERT_TRUE(BringToFront(again.dialog));
    for (int i = 0; i < 2; ++i) SendKey(VK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return ::GetParent(FocusOf(again.dialog)) == again.combo1; }, 3000));
    SendText(".png");
    ASSERT_TRUE(WaitUntil([&] { return again.extension() == ".png"; }, 3000)) << again.extension();
    CloseFromFrame(again.dialog);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(again.dialog); }, 3000));
    EXPECT_EQ(OptionsControls(OpenOptions(app)).extension(), ".bmp");
  }
  // A new run (the first has ended, so the hotkeys are free again) starts
  // with ".jpg", whatever the file says.
  App next({.settings = written, .dirSuffix = "-next"});
  EXPECT_TRUE(next.SettledDialogs().empty());
  EXPECT_EQ(OptionsControls(OpenOptions(next)).extension(), ".jpg");
}

TEST(OptionsDialog, ApplyThatCannotWriteSaysWhyAndKeepsTheDialogOpen) {
  App app;
  OptionsControls c(OpenOptions(app));
  ASSERT_TRUE(c.complete());
  // Something that is not a file stands where the settings file goes.
  std::string path = app.dir() + "\\settings.txt";
  ASSERT_TRUE(::CreateDirectoryA(path.c_str(), nullptr));
  c.Click(c.check1);
  ASSERT_TRUE(WaitUntil([&] { return c.state1() == BST_CHECKED; }, 3000));
  c.Click(c.apply);
  auto box = WaitForDialog(app.pid(), 5000, "Framewick");
  ASSERT_TRUE(box);
  EXPECT_NE(box->text.find(path), std::string::npos) << box->text;
  EXPECT_EQ(box->icon, IconKind::Warning);
  EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
  PressDialogButton(box->hwnd, IDOK);
  ASSERT_TRUE(WaitDialogGone(box->hwnd, 3000));
  app.Sync();
  EXPECT_TRUE(::IsWindowVisible(c.dialog)) << "the dialog closed although nothing was written";
  EXPECT_EQ(c.state1(), BST_CHECKED);
  EXPECT_EQ(ListDir(app.dir()), (std::vector<std::string>{"Framewick.exe", "camera.wav", "settings.txt"}))
      << "a temporary file was left behind";

  // Once the way is clear, "Apply" works.
  ::RemoveDirectoryA(path.c_str());
  c.Click(c.apply);
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(c.dialog); }, 3000));
  EXPECT_EQ(SettingsOf(app), SettingsLine(1, 0, app.dir()));
}

TEST(OptionsDialog, ARemovedDirectoryFallsBackToTheProgramDirectory) {
  std::string shots = FreshTestDir("-shots");
  App app({.settings = SettingsLine(0, 0, shots)});
  OptionsControls c(OpenOptions(app));
  ASSERT_EQ(c.dir(), shots);
  CloseFromFrame(c.dialog);
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(c.dialog); }, 3000));
  // The directory goes, and so does the file that named it: only the
  // dialog's memory still has it.
  ::DeleteFileA((app.dir() + "\\settings.txt").c_str());
  RemoveTree(shots);
  OptionsControls again(OpenOptions(app));
  ASSERT_TRUE(again.complete());
  EXPECT_EQ(again.dir(), app.dir());
  EXPECT_TRUE(app.running());
}

TEST(OptionsDialog, ExitClosesTheDialogAndEndsTheProgram) {
  App app;
  ASSERT_NE(OpenOptions(app), nullptr);
  app.Click("Exit");
  EXPECT_TRUE(app.WaitExit(5000));
  EXPECT_EQ(app.exitCode(), 0u);
}

}  // namespace
}  // namespace e2e
