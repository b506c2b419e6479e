// Events that arrive while a handler is still at work: hotkeys that pile up
// during a hotkey capture, failures while a failure message is open, and
// the end of the program while a capture waits out its delay.
#include <gtest/gtest.h>

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
  PostHotkeys(app, 0, kBurst);
  ASSERT_TRUE(CapturesSettled(app, shots, 60000)) << "the program stopped answering or kept capturing";
  EXPECT_TRUE(app.running());
  EXPECT_TRUE(app.SettledDialogs().empty());
  std::vector<std::string> files = SnapFiles(shots);
  ASSERT_FALSE(files.empty());
  // The presses that piled up while a capture ran became one more capture,
  // not one each.
  EXPECT_LE(files.size(), 20u) << files.size() << " captures for " << kBurst << " presses";
  EXPECT_EQ(SnapSequenceProblem(shots, ".jpg"), "");
  EXPECT_TRUE(ProgramTempFiles(shots).empty());
  // Still at work as before: the next press is the next file.
  std::size_t before = files.size();
  PostHotkey(app, 0);
  EXPECT_TRUE(WaitUntil([&] { return SnapFiles(shots).size() == before + 1; }, kSaveTimeoutMs));
}

TEST(HotkeyBurst, IntoADirectoryThatHasGoneOneMessageAtATime) {
  std::string shots = FreshTestDir("-shots");
  App app({.settings = SettingsLine(1, 0, shots)});
  // The first capture loads the options with the directory, then it goes.
  PostHotkey(app, 0);
  ASSERT_TRUE(WaitUntil([&] { return SavedAs(shots + "\\snap0.jpg"); }, kSaveTimeoutMs));
  ASSERT_TRUE(app.Sync());
  RemoveTree(shots);

  PostHotkeys(app, 0, kBurst);
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
  // The capture that ran, then one for each key that waited.
  EXPECT_GE(closed, 2);
  EXPECT_LE(closed, 5);
  EXPECT_TRUE(app.running());
  EXPECT_FALSE(DirExists(shots));

  // A failure while a button capture's failure message is open (a hotkey
  // capture then runs, since no hotkey action is running) opens no second
  // message.
  app.Click("Screen");
  auto notice = WaitForDialog(app.pid(), 5000);
  ASSERT_TRUE(notice);
  PressDialogButton(notice->hwnd, IDOK);
  auto failure = WaitForDialog(app.pid(), 10000, "Framewick");
  ASSERT_TRUE(failure);
  ASSERT_TRUE(IsAutoSaveFailure(*failure)) << failure->text;
  PostHotkey(app, 0);
  std::vector<DialogInfo> open = app.SettledDialogs();
  EXPECT_EQ(open.size(), 1u) << "a second failure message";
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
