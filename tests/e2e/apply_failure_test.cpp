// "Apply" that cannot write the settings file: the message says what will
// become of the settings, and that is what happens.
#include <gtest/gtest.h>

#include <algorithm>

#include "flows.h"
#include "harness.h"
#include "harness_files.h"
#include "options_access.h"

namespace e2e {
namespace {

// Presses "Apply", answers the message and returns its text.
std::string ApplyAndAnswer(App& app, const OptionsControls& c) {
  c.Click(c.apply);
  auto box = WaitForDialog(app.pid(), 6000, "Framewick");
  if (!box) return "";
  PressDialogButton(box->hwnd, IDOK);
  WaitDialogGone(box->hwnd, 3000);
  return box->text;
}

void CloseOptions(App& app, const OptionsControls& c) {
  CloseFromFrame(c.dialog);
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(c.dialog); }, 3000));
  ASSERT_TRUE(app.Barrier());
}

TEST(ApplyFailure, TheMessageSaysWhichOlderSettingsComeBackAndTheyDo) {
  std::string shots = FreshTestDir("-shots");
  ASSERT_TRUE(::CreateDirectoryA((shots + "\\beta").c_str(), nullptr));
  App app({.settings = SettingsLine(1, 1, shots)});
  // The file can be read but not replaced.
  std::string path = app.dir() + "\\settings.txt";
  ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));

  OptionsControls c(OpenOptions(app));
  ASSERT_TRUE(c.complete());
  ASSERT_EQ(c.state1(), BST_CHECKED);
  // The user clears "Auto save to file" and opens another directory.
  c.Click(c.check1);
  ASSERT_TRUE(WaitUntil([&] { return c.state1() == BST_UNCHECKED; }, 3000));
  ASSERT_TRUE(OpenListEntry(app, c, "beta"));
  ASSERT_TRUE(WaitUntil([&] { return c.dir() == shots + "\\beta"; }, 3000)) << c.dir();

  std::string text = ApplyAndAnswer(app, c);
  ASSERT_NE(text, "") << "no message";
  EXPECT_NE(text.find(path), std::string::npos) << text;
  EXPECT_EQ(text.find("They stay in effect until Framewick ends"), std::string::npos)
      << "the file's settings will come back: " << text;
  EXPECT_NE(text.find("\"Auto save to file\" checked and the folder " + shots + "."), std::string::npos) << text;
  EXPECT_EQ(text.find("Show program after each snap"), std::string::npos) << "it was not changed: " << text;
  ASSERT_TRUE(app.Barrier());
  EXPECT_TRUE(::IsWindowVisible(c.dialog)) << "the dialog closed although nothing was written";
  EXPECT_EQ(ReadFileBytes(path), SettingsLine(1, 1, shots)) << "the file was changed";

  // What the message said: once closed, opening Options again brings them back.
  CloseOptions(app, c);
  OptionsControls again(OpenOptions(app));
  ASSERT_TRUE(again.complete());
  EXPECT_EQ(again.state1(), BST_CHECKED);
  EXPECT_EQ(again.state2(), BST_CHECKED);
  EXPECT_EQ(again.dir(), shots);
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(ApplyFailure, WithNoOlderFileToReadTheSettingsStayUntilTheProgramEnds) {
  App app;
  // Something that is not a file stands where the settings file goes.
  std::string path = app.dir() + "\\settings.txt";
  ASSERT_TRUE(::CreateDirectoryA(path.c_str(), nullptr));
  OptionsControls c(OpenOptions(app));
  ASSERT_TRUE(c.complete());
  c.Click(c.check1);
  c.Click(c.check2);
  ASSERT_TRUE(WaitUntil([&] { return c.state1() == BST_CHECKED && c.state2() == BST_CHECKED; }, 3000));

  std::string text = ApplyAndAnswer(app, c);
  ASSERT_NE(text, "") << "no message";
  EXPECT_NE(text.find("They stay in effect until Framewick ends, but will not be remembered."), std::string::npos)
      << text;
  EXPECT_EQ(text.find("come back"), std::string::npos) << text;

  // And they do: closed and opened again, Options still shows them.
  CloseOptions(app, c);
  OptionsControls again(OpenOptions(app));
  ASSERT_TRUE(again.complete());
  EXPECT_EQ(again.state1(), BST_CHECKED);
  EXPECT_EQ(again.state2(), BST_CHECKED);
  EXPECT_TRUE(DirExists(path));
}

}  // namespace
}  // namespace e2e
