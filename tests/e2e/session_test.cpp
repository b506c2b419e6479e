// Logoff and shutdown. The system asks every program first
// (WM_QUERYENDSESSION) and waits for the answer while the program may ask
// its user; then it tells each whether the session really ends
// (WM_ENDSESSION). The driver plays the system: it sends both messages and
// answers the program's questions while its sender waits.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "flows.h"
#include "harness.h"
#include "harness_session.h"

namespace e2e {
namespace {

constexpr const char* kPromptText = " You have not saved your file. Click OK to save, Cancel to Discard";

int OpenPrompts(App& app) {
  int n = 0;
  for (const auto& d : OpenDialogs(app.pid())) n += d.title == "Save?";
  return n;
}

// The session ends: the program ends without a word.
void EndTheSession(App& app) {
  EXPECT_TRUE(SendEndSession(app.main(), true)) << "no answer to WM_ENDSESSION";
  EXPECT_TRUE(app.WaitExit(5000)) << "the program outlived the session";
}

TEST(EndSession, NothingUnsavedAnswersAtOnceAndTheEndClosesEveryWindow) {
  App app;
  // A shortcut capture leaves nothing unsaved.
  PatternWindow pattern(0, 0, 120, 80, 81);
  ASSERT_TRUE(CaptureScreenWithPattern(app, pattern));
  {
    EndSessionQuery query(app.main());
    std::optional<bool> answer = query.WaitAnswer(5000);
    ASSERT_TRUE(answer) << "no answer to WM_QUERYENDSESSION";
    EXPECT_TRUE(*answer);
  }
  EXPECT_TRUE(OpenDialogs(app.pid()).empty()) << "asked although nothing was unsaved";

  // Another program kept the session going: nothing changes.
  ASSERT_TRUE(SendEndSession(app.main(), false));
  EXPECT_TRUE(app.running());
  EXPECT_TRUE(::IsWindowVisible(app.main()));
  EXPECT_FALSE(AreaBlank(app));

  // Version Info outlives Exit, but not the end of the session.
  app.Menu(kMenuVersion);
  ASSERT_TRUE(WaitUntil([&] { return FindTopLevel(app.pid(), kAboutClass, nullptr, true) != nullptr; }, 5000));
  EndTheSession(app);
}

TEST(EndSession, AnUnsavedCaptureIsAskedAboutAndCancelDiscardsIt) {
  App app;
  ASSERT_TRUE(ScreenButtonCapture(app));
  EndSessionQuery query(app.main());
  auto prompt = WaitForDialog(app.pid(), 5000, "Save?");
  ASSERT_TRUE(prompt) << "a logoff lost the unsaved capture without asking";
  EXPECT_EQ(prompt->text, kPromptText);
  EXPECT_EQ(prompt->buttons, (std::vector<std::string>{"OK", "Cancel"}));
  EXPECT_FALSE(query.Answered()) << "answered before the user did";
  PressDialogButton(prompt->hwnd, IDCANCEL);
  std::optional<bool> answer = query.WaitAnswer(5000);
  ASSERT_TRUE(answer);
  EXPECT_TRUE(*answer) << "discarding must let the session end";
  EXPECT_TRUE(app.running()) << "ended before the system said so";

  // The session went on after all (another program refused): nothing
  // changes, the capture is still there and still unsaved.
  ASSERT_TRUE(SendEndSession(app.main(), false));
  EXPECT_TRUE(app.running());
  EXPECT_FALSE(AreaBlank(app));
  app.Click("Exit");
  auto again = WaitForDialog(app.pid(), 5000, "Save?");
  ASSERT_TRUE(again) << "Exit no longer asks";
  PressDialogButton(again->hwnd, IDCANCEL);
  EXPECT_TRUE(app.WaitExit(5000));
}

TEST(EndSession, OkAndANameSaveTheCaptureAndTheEndAsksNothingMore) {
  App app;
  ASSERT_TRUE(ScreenButtonCapture(app));
  EndSessionQuery query(app.main());
  auto prompt = WaitForDialog(app.pid(), 5000, "Save?");
  ASSERT_TRUE(prompt);
  PressDialogButton(prompt->hwnd, IDOK);
  HWND dialog = WaitForSaveDialog(app.pid(), 5000);
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(query.Answered());
  std::string path = app.dir() + "\\at logoff.bmp";
  ChooseFileName(dialog, path);
  std::optional<bool> answer = query.WaitAnswer(10000);
  ASSERT_TRUE(answer);
  EXPECT_TRUE(*answer);
  ASSERT_TRUE(FileExists(path)) << "the capture was not saved";
  EXPECT_EQ(LoadBmpFile(path).width, ::GetSystemMetrics(SM_CXSCREEN));
  EndTheSession(app);
}

TEST(EndSession, BackingOutOfTheSaveDialogHoldsTheSessionUpAndBringsAHiddenProgramBack) {
  App app;
  ASSERT_TRUE(ScreenButtonCapture(app));
  app.Click("Tray");
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(app.main()); }, 5000));

  EndSessionQuery query(app.main());
  auto prompt = WaitForDialog(app.pid(), 5000, "Save?");
  ASSERT_TRUE(prompt) << "no question while hidden in the notification area";
  // Windows lets no program without a visible window hold the session up:
  // the window is back before the question.
  EXPECT_TRUE(::IsWindowVisible(app.main())) << "asked while hidden";
  PressDialogButton(prompt->hwnd, IDOK);
  HWND dialog = WaitForSaveDialog(app.pid(), 5000);
  ASSERT_NE(dialog, nullptr);
  PressDialogButton(dialog, IDCANCEL);
  std::optional<bool> answer = query.WaitAnswer(5000);
  ASSERT_TRUE(answer);
  EXPECT_FALSE(*answer) << "the user kept the capture, the session must not end";
  // The picture the user kept is in front of them.
  EXPECT_TRUE(::IsWindowVisible(app.main()));
  EXPECT_FALSE(AreaBlank(app));

  ASSERT_TRUE(SendEndSession(app.main(), false));
  EXPECT_TRUE(app.running());
  EXPECT_TRUE(OpenDialogs(app.pid()).empty());

  // Signing out again asks again. Asked once more before that question is
  // answered, the program holds the session up at once, with one question.
  EndSessionQuery second(app.main());
  auto again = WaitForDialog(app.pid(), 5000, "Save?");
  ASSERT_TRUE(again);
  {
    EndSessionQuery third(app.main());
    std::optional<bool> early = third.WaitAnswer(5000);
    ASSERT_TRUE(early) << "no answer while the first question was open";
    EXPECT_FALSE(*early);
  }
  EXPECT_EQ(OpenPrompts(app), 1);
  PressDialogButton(again->hwnd, IDCANCEL);
  answer = second.WaitAnswer(5000);
  ASSERT_TRUE(answer);
  EXPECT_TRUE(*answer);
  EndTheSession(app);
}

}  // namespace
}  // namespace e2e
