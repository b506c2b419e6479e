// The unsaved-image prompt when its save fails, and when the end of the
// session asks while Exit is asking: the picture the user chose to keep is
// never lost without a word, and one question is on the screen at a time.
#include <gtest/gtest.h>

#include "flows.h"
#include "harness.h"
#include "harness_reentry.h"
#include "harness_session.h"

namespace e2e {
namespace {

constexpr const char* kSaveFailedStart = "The picture could not be saved as ";

std::optional<DialogInfo> WaitForPrompt(App& app) {
  return WaitForDialog(app.pid(), 5000, "Save?");
}

// Answers the prompt with OK and the Save dialog with `path`.
void SaveFromPromptAs(App& app, const std::string& path) {
  auto prompt = WaitForPrompt(app);
  ASSERT_TRUE(prompt) << "no prompt";
  PressDialogButton(prompt->hwnd, IDOK);
  HWND dialog = WaitForSaveDialog(app.pid(), 5000);
  ASSERT_NE(dialog, nullptr);
  ChooseFileName(dialog, path);
}

// The message that the save failed: which file, why, and that the picture
// is still there. Closed with OK.
void ExpectSaveFailedMessage(App& app, const std::string& path) {
  auto failure = WaitForDialog(app.pid(), 5000, "Framewick");
  ASSERT_TRUE(failure) << "a failed save said nothing";
  const std::string& text = failure->text;
  const std::string head = kSaveFailedStart + path + ".\n\n";
  const std::string closing = "\n\nIt is still in the picture area, not saved.";
  ASSERT_GT(text.size(), head.size() + closing.size()) << "no reason: " << text;
  EXPECT_EQ(text.rfind(head, 0), 0u) << text;
  EXPECT_EQ(text.compare(text.size() - closing.size(), closing.size(), closing), 0) << text;
  EXPECT_EQ(failure->icon, IconKind::Warning);
  PressDialogButton(failure->hwnd, IDOK);
  ASSERT_TRUE(WaitDialogGone(failure->hwnd, 5000));
}

TEST(PromptSaveFailure, NewAndExitSayWhyAndKeepThePictureAndTheProgram) {
  App app;
  ASSERT_TRUE(ScreenButtonCapture(app));
  // A file of that name that may not be replaced.
  std::string path = app.dir() + "\\kept.bmp";
  ASSERT_TRUE(WriteFileBytes(path, "the user's own bytes"));
  ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));

  app.Menu(kMenuNew);
  SaveFromPromptAs(app, path);
  ExpectSaveFailedMessage(app, path);
  EXPECT_FALSE(AreaBlank(app)) << "New cleared a picture it could not save";

  app.Click("Exit");
  SaveFromPromptAs(app, path);
  ExpectSaveFailedMessage(app, path);
  ASSERT_TRUE(app.Sync());
  EXPECT_TRUE(app.running()) << "Exit went on as if the picture had been saved";
  EXPECT_TRUE(::IsWindowVisible(app.main()));
  EXPECT_FALSE(AreaBlank(app));
  EXPECT_EQ(ReadFileBytes(path), "the user's own bytes");
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);

  // Still unsaved: Exit asks again, and discarding ends the program.
  app.Click("Exit");
  auto again = WaitForPrompt(app);
  ASSERT_TRUE(again);
  PressDialogButton(again->hwnd, IDCANCEL);
  EXPECT_TRUE(app.WaitExit(5000));
}

TEST(PromptSaveFailure, AtLogoffItHoldsTheSessionUpAndSaysWhy) {
  std::string ro = ReadOnlyDir();
  if (ro.empty()) GTEST_SKIP() << "no unwritable directory on this machine";
  App app;
  ASSERT_TRUE(ScreenButtonCapture(app));
  app.Click("Tray");
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(app.main()); }, 5000));
  EndSessionQuery query(app.main());
  std::string path = ro + "\\at logoff.bmp";
  SaveFromPromptAs(app, path);
  ExpectSaveFailedMessage(app, path);
  std::optional<bool> answer = query.WaitAnswer(5000);
  ASSERT_TRUE(answer);
  EXPECT_FALSE(*answer) << "the session may not end with the kept picture unsaved";
  EXPECT_TRUE(::IsWindowVisible(app.main())) << "the kept picture is not in front of the user";
  EXPECT_FALSE(AreaBlank(app));
  EXPECT_TRUE(ListDir(ro).empty());
  ASSERT_TRUE(SendEndSession(app.main(), false));
  EXPECT_TRUE(app.running());
}

TEST(PromptOnce, TheEndOfTheSessionAskedWhileExitAsksGetsNotYetAndNoSecondQuestion) {
  App app;
  ASSERT_TRUE(ScreenButtonCapture(app));
  app.Click("Exit");
  auto prompt = WaitForPrompt(app);
  ASSERT_TRUE(prompt);
  {
    EndSessionQuery query(app.main());
    std::optional<bool> answer = query.WaitAnswer(5000);
    ASSERT_TRUE(answer) << "no answer while Exit's question was open";
    EXPECT_FALSE(*answer);
  }
  std::vector<DialogInfo> open = app.SettledDialogs();
  ASSERT_EQ(open.size(), 1u) << "a second question";
  EXPECT_EQ(open[0].hwnd, prompt->hwnd);
  // Exit asked again meanwhile (from the notification icon's menu, say):
  // still one question.
  app.Menu(kMenuExit);
  app.Menu(kMenuNew);
  EXPECT_EQ(app.SettledDialogs().size(), 1u);
  PressDialogButton(prompt->hwnd, IDCANCEL);
  EXPECT_TRUE(app.WaitExit(5000));
}

}  // namespace
}  // namespace e2e
