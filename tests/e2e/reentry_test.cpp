// Events that arrive while a handler is still at work: hotkeys that pile up
// during a hotkey capture, failures while a failure message is open, and
// the end of the program while a capture waits out its delay.
#include <gtest/gtest.h>

#include "capture_watch.h"
#include "flows.h"
#include "harness.h"
#include "harness_files.h"
#include "harness_formats.h"
#include "harness_reentry.h"
#include "harness_session.h"
#include "options_access.h"

namespace e2e {
namespace {

constexpr int kBurst = 1000;

bool IsAutoSaveFailure(const DialogInfo& d) {
  return d.text.rfind("The capture could not be saved automatically as ", 0) == 0;
}

TEST(HotkeyBurst, AThousandCtrlF10WithAutoSaveRunOneAtATime) {
  std::string shots = FreshTestDir("-shots");
  App app({.settings = SettingsLine(1, 0, shots)});
  CaptureWatch watch(app);
  ASSERT_TRUE(watch.watching());
  // Every press waits in the queue before the first is handled: the first
  // capture runs, the other 999 arrive while it lets pending events
  // through and wait as one, which gives one capture more.
  ASSERT_TRUE(watch.PostHotkeysAtOnce(0, kBurst));
  ASSERT_TRUE(CapturesSettled(app, shots, 60000)) << "the program stopped answering or kept capturing";
  EXPECT_TRUE(app.running());
  EXPECT_TRUE(app.SettledDialogs().empty());
  EXPECT_EQ(SnapFiles(shots), (std::vector<std::string>{"snap0.jpg", "snap1.jpg"}));
  EXPECT_EQ(watch.Captures(), 2);
  EXPECT_EQ(watch.DeepestCapture(), 1) << "a capture ran inside another's hotkey message";
  EXPECT_EQ(SnapSequenceProblem(shots, ".jpg"), "");
  EXPECT_TRUE(ProgramTempFiles(shots).empty());
  // Still at work as before: the next press is the next file.
  PostHotkey(app, 0);
  EXPECT_TRUE(WaitUntil([&] { return SnapFiles(shots).size() == 3; }, kSaveTimeoutMs));
  EXPECT_EQ(watch.Captures(), 3);
  EXPECT_EQ(watch.DeepestCapture(), 1);
}

TEST(HotkeyBurst, IntoADirectoryThatHasGoneOneMessageAtATime) {
  std::string shots = FreshTestDir("-shots");
  App app({.settings = SettingsLine(1, 0, shots)});
  CaptureWatch watch(app);
  ASSERT_TRUE(watch.watching());
  // The first capture loads the options with the directory, then it goes.
  PostHotkey(app, 0);
  ASSERT_TRUE(WaitUntil([&] { return SavedAs(shots + "\\snap0.jpg"); }, kSaveTimeoutMs));
  ASSERT_TRUE(app.Sync());
  RemoveTree(shots);

  ASSERT_TRUE(watch.PostHotkeysAtOnce(0, kBurst));
  auto first = WaitForDialog(app.pid(), 10000, "Framewick");
  ASSERT_TRUE(first) << "no message for the failed saves";
  EXPECT_TRUE(IsAutoSaveFailure(*first)) << first->text;
  // More presses while the message is open: none runs inside it.
  PostHotkeys(app, 0, kBurst);
  PostHotkeys(app, 1, 10);
  int closed = 0;
  for (; closed < 10; ++closed) {
    std::vector<DialogInfo> open = app.SettledDialogs();
    ASSERT_LE(open.size(), 1u) << "a message over another";
    if (open.empty()) break;
    EXPECT_TRUE(IsAutoSaveFailure(open[0])) << open[0].text;
    PressDialogButton(open[0].hwnd, IDOK);
    ASSERT_TRUE(WaitDialogGone(open[0].hwnd, 5000));
  }
  // The capture that ran, then one for each key that waited (Ctrl+F10,
  // Ctrl+F11), each after the one before.
  EXPECT_EQ(closed, 3);
  EXPECT_EQ(watch.Captures(), 1 + 3);
  EXPECT_EQ(watch.DeepestCapture(), 1);
  EXPECT_TRUE(app.running());
  EXPECT_FALSE(DirExists(shots));

  // A failure while a button capture's failure message is open opens no
  // second message: a hotkey capture runs inside that message (no hotkey
  // action is running) and its save fails too.
  app.Click("Screen");
  auto notice = WaitForDialog(app.pid(), 5000);
  ASSERT_TRUE(notice);
  PressDialogButton(notice->hwnd, IDOK);
  auto failure = WaitForDialog(app.pid(), 10000, "Framewick");
  ASSERT_TRUE(failure);
  ASSERT_TRUE(IsAutoSaveFailure(*failure)) << failure->text;
  long captures = watch.Captures();
  PostHotkey(app, 0);
  EXPECT_TRUE(WaitUntil([&] { return watch.Captures() == captures + 1; }, kSaveTimeoutMs))
      << "the hotkey was not handled while the message was open";
  std::vector<DialogInfo> open = app.SettledDialogs();
  ASSERT_EQ(open.size(), 1u) << "a second failure message";
  EXPECT_EQ(open[0].hwnd, failure->hwnd);
  EXPECT_EQ(watch.Captures(), captures + 1);
  PressDialogButton(failure->hwnd, IDOK);
  ASSERT_TRUE(WaitDialogGone(failure->hwnd, 5000));
  EXPECT_TRUE(app.SettledDialogs().empty());
  EXPECT_TRUE(app.running());
}

// A "Screen" capture with automatic saving on, stopped in its wait.
void StartScreenCaptureWait(App& app) {
  app.Click("Screen");
  auto notice = WaitForDialog(app.pid(), 5000);
  ASSERT_TRUE(notice);
  PressDialogButton(notice->hwnd, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return ::IsIconic(app.main()) != FALSE; }, 3000));
  // The wait's own loop answers: the capture waits.
  ASSERT_TRUE(app.Barrier());
}

// The program ended without another word, and nothing was captured or
// saved after its window had gone.
void ExpectEndedQuietly(App& app, const std::string& shots) {
  EXPECT_TRUE(app.WaitExit(5000)) << "the program outlived its window";
  EXPECT_EQ(app.exitCode(), 0u);
  EXPECT_TRUE(ListDir(shots).empty()) << "a capture was saved after the window had gone";
}

TEST(ClosingDuringAWait, ExitEndsTheProgramAndNothingIsSaved) {
  std::string shots = FreshTestDir("-shots");
  App app({.settings = SettingsLine(1, 1, shots)});
  StartScreenCaptureWait(app);
  // Nothing has been captured yet, so there is nothing to ask about.
  app.Click("Exit");
  ExpectEndedQuietly(app, shots);
}

TEST(ClosingDuringAWait, TheCloseBoxEndsTheProgramAndNothingIsSaved) {
  std::string shots = FreshTestDir("-shots");
  App app({.settings = SettingsLine(1, 1, shots)});
  StartScreenCaptureWait(app);
  CloseFromFrame(app.main());
  ExpectEndedQuietly(app, shots);
}

TEST(ClosingDuringAWait, TheEndOfTheSessionEndsTheProgramAndNothingIsSaved) {
  std::string shots = FreshTestDir("-shots");
  App app({.settings = SettingsLine(1, 1, shots)});
  StartScreenCaptureWait(app);
  EXPECT_TRUE(SendEndSession(app.main(), true));
  ExpectEndedQuietly(app, shots);
}

}  // namespace
}  // namespace e2e
