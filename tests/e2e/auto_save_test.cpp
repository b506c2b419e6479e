// Automatic saving after a button capture, and the return of the main
// window, as the Options dialog's controls ask for them.
#include <gtest/gtest.h>

#include "flows.h"
#include "harness.h"
#include "harness_formats.h"
#include "options_access.h"

namespace e2e {
namespace {

constexpr int kW = 240;
constexpr int kH = 160;

// Presses a capture button and answers its notice; true once the main
// window has been minimised for the delay.
bool StartButtonCapture(App& app, const char* button) {
  app.Click(button);
  auto notice = WaitForDialog(app.pid(), 5000);
  if (!notice) return false;
  PressDialogButton(notice->hwnd, IDOK);
  return WaitUntil([&] { return ::IsIconic(app.main()) != FALSE; }, 3000);
}

// The file is a JPEG (the default extension's format) of the screen whose
// top-left is the pattern, within what a JPEG keeps of flat blocks.
void ExpectScreenJpeg(const std::string& path, const PatternWindow& pattern) {
  std::string bytes = ReadFileBytes(path);
  EXPECT_EQ(WholeFileProblem("JPEG", bytes), "") << path;
  Decoded saved = DecodeFile(path);
  EXPECT_EQ(saved.format, "JPEG") << path;
  EXPECT_EQ(saved.image.width, ::GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(saved.image.height, ::GetSystemMetrics(SM_CYSCREEN));
  int worst = LargestDifferenceInsideBlocks(saved.image, pattern.expected());
  EXPECT_GE(worst, 0) << path;
  EXPECT_LE(worst, 8) << path;
}

// The reason a failure message gives, between the file's name and the
// closing words.
std::string ReasonIn(const std::string& text) {
  std::size_t start = text.find("\n\n");
  std::size_t end = text.rfind("\n\n");
  return start == std::string::npos || end <= start ? std::string() : text.substr(start + 2, end - start - 2);
}

std::optional<DialogInfo> WaitForFailure(App& app) {
  return WaitForDialog(app.pid(), 6000, "Framewick");
}

TEST(AutoSave, FirstScreenCaptureIsSavedAsSnap0AndTheWindowComesBack) {
  std::string shots = FreshTestDir("-shots");
  std::string settings = SettingsLine(1, 1, shots);
  App app({.settings = settings});
  PatternWindow pattern(0, 0, kW, kH, 41, PatternStyle::Blocks);
  ASSERT_TRUE(StartButtonCapture(app, "Screen"));
  // The capture's end reads the settings (loading Options unseen), saves
  // and restores the window.
  EXPECT_TRUE(WaitUntil([&] { return !::IsIconic(app.main()); }, kSaveTimeoutMs)) << "the window did not come back";
  std::string snap = shots + "\\snap0.jpg";
  ASSERT_TRUE(WaitUntil([&] { return SavedAs(snap); }, kSaveTimeoutMs));
  app.Sync();
  ExpectScreenJpeg(snap, pattern);
  EXPECT_EQ(ListDir(shots), std::vector<std::string>{"snap0.jpg"});
  EXPECT_EQ(ReadFileBytes(app.dir() + "\\settings.txt"), settings);
  HWND hidden = OptionsWindow(app);
  ASSERT_NE(hidden, nullptr) << "Options was not loaded by the capture";
  EXPECT_FALSE(::IsWindowVisible(hidden));

  // Opening Options shows what the hidden load read.
  OptionsControls c(OpenOptions(app));
  EXPECT_EQ(c.dialog, hidden) << "loaded again instead of shown";
  EXPECT_EQ(c.state1(), BST_CHECKED);
  EXPECT_EQ(c.state2(), BST_CHECKED);
  EXPECT_EQ(c.dir(), shots);

  // Saved automatically is not saved: exit still asks.
  app.Click("Exit");
  auto prompt = WaitForDialog(app.pid(), 5000, "Save?");
  ASSERT_TRUE(prompt) << "no unsaved-image prompt";
  PressDialogButton(prompt->hwnd, IDCANCEL);
  EXPECT_TRUE(app.WaitExit(5000));
}

TEST(AutoSave, CheckedWithoutApplyTheNextCapturesAreSavedUnderFreeNames) {
  std::string shots = FreshTestDir("-shots");
  // A file from an earlier run, and something else of a name to come.
  ASSERT_TRUE(WriteFileBytes(shots + "\\snap0.jpg", "earlier"));
  ASSERT_TRUE(::CreateDirectoryA((shots + "\\snap2.jpg").c_str(), nullptr));
  std::string settings = SettingsLine(0, 0, shots);
  App app({.settings = settings});
  OptionsControls c(OpenOptions(app));
  ASSERT_TRUE(c.complete());
  c.Click(c.check1);
  ASSERT_TRUE(WaitUntil([&] { return c.state1() == BST_CHECKED; }, 3000));

  PatternWindow pattern(0, 0, kW, kH, 42, PatternStyle::Blocks);
  ASSERT_TRUE(StartButtonCapture(app, "Window"));
  ASSERT_TRUE(WaitUntil([&] { return SavedAs(shots + "\\snap1.jpg"); }, kSaveTimeoutMs));
  EXPECT_EQ(ReadFileBytes(shots + "\\snap0.jpg"), "earlier") << "an earlier file was replaced";
  app.Sync();  // the capture handler has returned
  EXPECT_TRUE(::IsIconic(app.main())) << "brought back although not asked to";
  EXPECT_EQ(ReadFileBytes(app.dir() + "\\settings.txt"), settings) << "unapplied settings were written";

  // A hotkey capture goes on from there, past the name that is taken.
  SendCtrlKey(VK_F10);
  ASSERT_TRUE(WaitUntil([&] { return SavedAs(shots + "\\snap3.jpg"); }, kSaveTimeoutMs));
  app.Sync();
  ExpectScreenJpeg(shots + "\\snap3.jpg", pattern);
  EXPECT_EQ(ListDir(shots), (std::vector<std::string>{"snap0.jpg", "snap1.jpg", "snap2.jpg", "snap3.jpg"}));
  EXPECT_TRUE(app.SettledDialogs().empty());
}

TEST(AutoSave, WithoutSettingsTheFirstCaptureLoadsOptionsUnseenAndSavesNothing) {
  App app;
  ASSERT_TRUE(StartButtonCapture(app, "Window"));
  ASSERT_TRUE(WaitUntil([&] { return OptionsWindow(app) != nullptr; }, 5000)) << "Options was not loaded";
  app.Sync();
  EXPECT_FALSE(::IsWindowVisible(OptionsWindow(app)));
  EXPECT_TRUE(::IsIconic(app.main()));
  EXPECT_EQ(ListDir(app.dir()), (std::vector<std::string>{"Framewick.exe", "camera.wav"}));
  EXPECT_TRUE(app.SettledDialogs().empty());
}

TEST(AutoSave, AFailedSaveSaysWhichFileAndWhyKeepsThePictureAndTheCounter) {
  std::string shots = FreshTestDir("-shots");
  App app({.settings = SettingsLine(1, 1, shots)});
  OptionsControls c(OpenOptions(app));
  ASSERT_EQ(c.dir(), shots);
  // The directory goes while the dialog shows it.
  RemoveTree(shots);
  PatternWindow pattern(0, 0, kW, kH, 43);
  ASSERT_TRUE(StartButtonCapture(app, "Screen"));
  auto failure = WaitForFailure(app);
  ASSERT_TRUE(failure) << "no message for the failed save";
  EXPECT_NE(failure->text.find(shots + "\\snap0.jpg"), std::string::npos) << failure->text;
  EXPECT_NE(ReasonIn(failure->text), "") << "no reason given: " << failure->text;
  EXPECT_EQ(failure->icon, IconKind::Warning);
  EXPECT_TRUE(::IsIconic(app.main())) << "the return step ran before the message";
  PressDialogButton(failure->hwnd, IDOK);
  // The capture goes on: the window comes back with its picture.
  EXPECT_TRUE(WaitUntil([&] { return !::IsIconic(app.main()); }, 3000));
  app.Sync();
  EXPECT_EQ(PatternDifferences(app.PictureArea(), pattern), 0);
  EXPECT_TRUE(app.running());

  // An extension no file name can end with: said so, nothing written.
  ASSERT_TRUE(::CreateDirectoryA(shots.c_str(), nullptr));
  ::SendMessageTimeoutA(c.combo1, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(".j?g"), SMTO_ABORTIFHUNG, 3000, nullptr);
  SendCtrlKey(VK_F10);
  failure = WaitForFailure(app);
  ASSERT_TRUE(failure);
  EXPECT_NE(ReasonIn(failure->text).find(".j?g"), std::string::npos) << failure->text;
  PressDialogButton(failure->hwnd, IDOK);
  ASSERT_TRUE(WaitDialogGone(failure->hwnd, 3000));
  EXPECT_TRUE(ListDir(shots).empty());

  // The failures did not use up numbers.
  ::SendMessageTimeoutA(c.combo1, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(".bmp"), SMTO_ABORTIFHUNG, 3000, nullptr);
  SendCtrlKey(VK_F10);
  EXPECT_TRUE(WaitUntil([&] { return SavedBitmap(shots + "\\snap0.bmp"); }, kSaveTimeoutMs));
  app.Sync();
  EXPECT_EQ(ListDir(shots), std::vector<std::string>{"snap0.bmp"});

  // Ctrl+F12 empties the area but leaves the button capture unsaved.
  SendCtrlKey(VK_F12);
  app.Sync();
  app.Click("Exit");
  EXPECT_TRUE(WaitForDialog(app.pid(), 5000, "Save?")) << "exit no longer asks";
}

TEST(AutoSave, AReadOnlyDirectoryGivesTheMessageAndNoCrash) {
  char ro[MAX_PATH] = {};
  DWORD n = ::GetEnvironmentVariableA("FW_READONLY_DIR", ro, sizeof ro);
  if (n == 0 || n >= sizeof ro) GTEST_SKIP() << "no unwritable directory on this machine";
  App app({.settings = SettingsLine(1, 0, ro)});
  PatternWindow pattern(0, 0, kW, kH, 44);
  BringToFront(pattern.hwnd());
  SendCtrlKey(VK_F10);
  auto failure = WaitForFailure(app);
  ASSERT_TRUE(failure);
  EXPECT_NE(failure->text.find(std::string(ro) + "\\snap0.jpg"), std::string::npos) << failure->text;
  EXPECT_NE(ReasonIn(failure->text), "") << failure->text;
  PressDialogButton(failure->hwnd, IDOK);
  ASSERT_TRUE(WaitDialogGone(failure->hwnd, 3000));
  EXPECT_TRUE(app.Sync());
  EXPECT_TRUE(app.running());
  EXPECT_TRUE(ListDir(ro).empty());
  EXPECT_EQ(PatternDifferences(app.PictureArea(), pattern), 0);
}

}  // namespace
}  // namespace e2e
