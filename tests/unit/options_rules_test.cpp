// The Options dialog's load steps, change handlers and directory list.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string_view>

#include "output/options_rules.h"

namespace fw::options {
namespace {

constexpr const char* kProgramDir = "C:\\Apps\\Framewick";
constexpr const char* kCwd = "C:\\Users\\me";

// Controls that behave as the dialog's: a changed state runs its handler,
// the list shows only directories that exist.
class FakeForm : public Controls {
 public:
  explicit FakeForm(OptionsMemory& m) : memory(&m) {}
  OptionsMemory* memory;  // the dialog's memory, which the handlers change
  std::set<std::string> existing{kProgramDir, kCwd, "C:\\Shots", "D:\\Other"};
  int check1 = kUnchecked, check2 = kUnchecked;
  std::string dir = kCwd;  // the process's current directory at first
  std::string extension = ".jpg";
  int check1Handlers = 0, check2Handlers = 0, dirHandlers = 0;
  bool skinned = false;
  std::vector<std::string> calls;

  int Check1() const override { return check1; }
  void SetCheck1(int s) override {
    calls.push_back("check1=" + std::to_string(s));
    if (s == check1) return;
    check1 = s;
    ++check1Handlers;
    Check1Changed(*memory, s);
  }
  int Check2() const override { return check2; }
  void SetCheck2(int s) override {
    calls.push_back("check2=" + std::to_string(s));
    if (s == check2) return;
    check2 = s;
    ++check2Handlers;
    Check2Changed(*memory, s);
  }
  std::string Dir() const override { return dir; }
  bool SetDir(const std::string& path) override {
    calls.push_back("dir=" + path);
    std::string p = NormaliseDir(path);
    if (!existing.count(p)) return false;
    if (SamePath(p, dir)) return true;
    dir = p;
    ++dirHandlers;
    DirChanged(*memory, dir);
    return true;
  }
  void SetExtensionText(const std::string& text) override { extension = text; }
  void AttachSkin() override {
    calls.push_back("skin");
    skinned = true;
  }
};

// Windows-1252 as far as these tests need it: ASCII, and "é" (E9).
class Latin final : public settings::CodePage {
 public:
  std::optional<std::string> FromUtf8(std::string_view utf8) const override {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
      if (utf8.substr(i, 2) == "\xC3\xA9") {
        out += '\xE9';
        ++i;
      } else if (static_cast<unsigned char>(utf8[i]) < 0x80) {
        out += utf8[i];
      } else {
        return std::nullopt;
      }
    }
    return out;
  }
  std::string ToUtf8(std::string_view text) const override {
    std::string out;
    for (char c : text) out += c == '\xE9' ? std::string("\xC3\xA9") : std::string(1, c);
    return out;
  }
};
const Latin kAnsi;

class OptionsLoad : public ::testing::Test {
 protected:
  void SetUp() override {
    memory = OptionsMemory{};
    memory.AutoSaveExtension = ".jpg";  // as start-up sets it
  }
  // A fresh dialog, loaded with these file contents.
  FakeForm Load(const std::optional<std::string>& file) {
    FakeForm form(memory);
    RunLoadSteps(form, memory, file, kAnsi, kProgramDir);
    return form;
  }
  OptionsMemory memory;
};

TEST_F(OptionsLoad, WithoutAFileTheBoxesFollowMemoryAndTheProgramDirectoryIsShown) {
  FakeForm form = Load(std::nullopt);
  EXPECT_EQ(form.check1, kUnchecked);
  EXPECT_EQ(form.check2, kUnchecked);
  EXPECT_EQ(form.dir, kProgramDir);
  EXPECT_EQ(memory.AutoSaveDir, kProgramDir);
  EXPECT_EQ(form.extension, ".jpg");
  EXPECT_TRUE(form.skinned);
  EXPECT_EQ(form.check1Handlers + form.check2Handlers, 0) << "unchanged assignments run no handler";

  memory.AutoSaveEnabled = true;
  memory.ShowAfterSnap = true;
  memory.AutoSaveExtension = ".bmp";
  form = Load(std::nullopt);
  EXPECT_EQ(form.check1, kChecked);
  EXPECT_EQ(form.check2, kChecked);
  EXPECT_EQ(form.extension, ".bmp");
}

TEST_F(OptionsLoad, FirstLoadTakesTheFileAndRunsHandlersInOrder) {
  FakeForm form = Load("1,1,\"C:\\Shots\"\r\n");
  EXPECT_EQ(form.check1, kChecked);
  EXPECT_EQ(form.check2, kChecked);
  EXPECT_TRUE(memory.AutoSaveEnabled);
  EXPECT_TRUE(memory.ShowAfterSnap);
  EXPECT_EQ(form.dir, "C:\\Shots");
  EXPECT_EQ(memory.AutoSaveDir, "C:\\Shots");
  EXPECT_EQ(form.check1Handlers, 1);
  EXPECT_EQ(form.check2Handlers, 1);
  EXPECT_EQ(form.dirHandlers, 1);
  std::vector<std::string> expected{"check1=1",      "check2=1", "dir=C:\\Shots", "skin",
                                    "dir=C:\\Shots", "check2=1", "check1=1"};
  EXPECT_EQ(form.calls, expected);
}

TEST_F(OptionsLoad, AFileOfAnEarlierVersionAndOneInUtf8ShowTheSameDirectory) {
  // "C:\Café": as an earlier version wrote it (é as E9 in the ANSI code
  // page), and with a byte-order mark in UTF-8.
  for (const char* file : {"1,0,\"C:\\Caf\xE9\"\r\n",
                           "\xEF\xBB\xBF"
                           "1,0,\"C:\\Caf\xC3\xA9\"\r\n"}) {
    SetUp();
    FakeForm form(memory);
    form.existing.insert("C:\\Caf\xC3\xA9");
    RunLoadSteps(form, memory, std::string(file), kAnsi, kProgramDir);
    EXPECT_EQ(form.dir, "C:\\Caf\xC3\xA9") << file;
    EXPECT_EQ(memory.AutoSaveDir, "C:\\Caf\xC3\xA9") << file;
    EXPECT_EQ(form.check1, kChecked);
  }
}

TEST_F(OptionsLoad, LaterLoadsKeepBoxesTheUserTurnedOnAndRestoreOnesTurnedOff) {
  // Turned on without applying (memory true), file says 0: stays on.
  memory.AutoSaveEnabled = true;
  memory.AutoSaveDir = "D:\\Other";
  FakeForm form = Load("0,0,\"C:\\Shots\"\r\n");
  EXPECT_EQ(form.check1, kChecked);
  EXPECT_TRUE(memory.AutoSaveEnabled);
  // The file's directory wins over the remembered one.
  EXPECT_EQ(form.dir, "C:\\Shots");
  EXPECT_EQ(memory.AutoSaveDir, "C:\\Shots");

  // Turned off without applying, file says 1: back on.
  memory.AutoSaveEnabled = false;
  memory.ShowAfterSnap = false;
  form = Load("1,1,\"C:\\Shots\"\r\n");
  EXPECT_EQ(form.check1, kChecked);
  EXPECT_EQ(form.check2, kChecked);
}

TEST_F(OptionsLoad, TheFilesDirectoryIsRememberedEvenWhenTheListAlreadyShowedIt) {
  memory.AutoSaveDir = "D:\\Other";
  FakeForm form(memory);
  form.dir = "C:\\Shots";
  RunLoadSteps(form, memory, std::string("0,0,\"C:\\Shots\"\r\n"), kAnsi, kProgramDir);
  EXPECT_EQ(form.dirHandlers, 0);
  EXPECT_EQ(memory.AutoSaveDir, "C:\\Shots");
}

TEST_F(OptionsLoad, DimmedStateFromTheFileDoesNotSurvive) {
  FakeForm form = Load("2,2,\"C:\\Shots\"\r\n");
  EXPECT_EQ(form.check1, kUnchecked);
  EXPECT_EQ(form.check2, kUnchecked);
  EXPECT_FALSE(memory.AutoSaveEnabled);
  EXPECT_EQ(form.check1Handlers, 2);  // to 2 (no change of memory), then to 0
  EXPECT_EQ(form.dir, "C:\\Shots");
}

TEST_F(OptionsLoad, FailuresStopAtTheFailingStep) {
  struct Case {
    const char* file;
    int check1, check2;
    const char* dir;
  } cases[] = {
      {"1,0", kUnchecked, kUnchecked, kProgramDir},                 // third field missing: nothing
      {"1,x,\"C:\\Shots\"", kUnchecked, kUnchecked, kProgramDir},   // not a whole number: nothing
      {"3,1,\"C:\\Shots\"", kUnchecked, kUnchecked, kProgramDir},   // field 1 out of range: nothing
      {"-1,1,\"C:\\Shots\"", kUnchecked, kUnchecked, kProgramDir},  //
      {"1,7,\"C:\\Shots\"", kChecked, kUnchecked, kProgramDir},     // field 2 out of range: Check1 only
      {"1,1,\"C:\\Gone\"", kChecked, kChecked, kProgramDir},        // missing directory: boxes only
      {"1,1,\"Shots\"", kChecked, kChecked, kProgramDir},           // not a full path
      {"1,1,\"\"", kChecked, kChecked, kProgramDir},                //
      {"0,1,\"C:\\Shots\\\"", kUnchecked, kChecked, "C:\\Shots"},   // a trailing separator is fine
  };
  for (const auto& c : cases) {
    SetUp();
    FakeForm form = Load(std::string(c.file));
    EXPECT_EQ(form.check1, c.check1) << c.file;
    EXPECT_EQ(form.check2, c.check2) << c.file;
    EXPECT_EQ(form.dir, c.dir) << c.file;
    EXPECT_EQ(memory.AutoSaveDir, c.dir) << c.file;
    EXPECT_EQ(memory.AutoSaveEnabled, c.check1 == kChecked) << c.file;
  }
}

TEST_F(OptionsLoad, AFailedDirectoryKeepsTheRememberedOne) {
  memory.AutoSaveDir = "D:\\Other";
  FakeForm form = Load("1,1,\"C:\\Gone\"\r\n");
  EXPECT_EQ(form.dir, "D:\\Other");
  EXPECT_EQ(memory.AutoSaveDir, "D:\\Other");
}

TEST_F(OptionsLoad, ARemovedRememberedDirectoryFallsBackToTheProgramDirectory) {
  memory.AutoSaveDir = "C:\\Removed";
  FakeForm form = Load(std::nullopt);
  EXPECT_EQ(form.dir, kProgramDir);
  EXPECT_EQ(memory.AutoSaveDir, kProgramDir);
  // Also when the list already shows the program's directory.
  memory.AutoSaveDir = "C:\\Removed";
  FakeForm shown(memory);
  shown.dir = kProgramDir;
  RunLoadSteps(shown, memory, std::nullopt, kAnsi, kProgramDir);
  EXPECT_EQ(memory.AutoSaveDir, kProgramDir);
}

TEST(OptionsHandlers, DimmedChangesNothingAndExtensionFollowsTheChosenItem) {
  OptionsMemory memory;
  memory.AutoSaveEnabled = true;
  Check1Changed(memory, kDimmed);
  EXPECT_TRUE(memory.AutoSaveEnabled);
  Check1Changed(memory, kUnchecked);
  EXPECT_FALSE(memory.AutoSaveEnabled);
  memory.ShowAfterSnap = false;
  Check2Changed(memory, kDimmed);
  EXPECT_FALSE(memory.ShowAfterSnap);
  Check2Changed(memory, kChecked);
  EXPECT_TRUE(memory.ShowAfterSnap);
  ExtensionChosen(memory, ".bmp");
  EXPECT_EQ(memory.AutoSaveExtension, ".bmp");
  EXPECT_EQ(ClickedState(kUnchecked), kChecked);
  EXPECT_EQ(ClickedState(kChecked), kUnchecked);
  EXPECT_EQ(ClickedState(kDimmed), kChecked);
}

TEST(OptionsFile, WhatTheFileGivesForEachFailure) {
  auto gives = [](const char* bytes) { return WhatTheFileGives(settings::ReadSettingsLine(bytes)); };
  FromFile all = gives("1,2,\"C:\\Shots\"");
  EXPECT_EQ(all.check1, 1);
  EXPECT_EQ(all.check2, 2);
  EXPECT_EQ(all.directory, "C:\\Shots");
  EXPECT_FALSE(gives("1,0").check1);
  EXPECT_FALSE(gives("4294967297,0,\"C:\\x\"").check1);
  FromFile one = gives("1,-1,\"C:\\x\"");
  EXPECT_EQ(one.check1, 1);
  EXPECT_FALSE(one.check2);
  FromFile noDir = gives("1,1,\"C:\\x|y\"");
  EXPECT_EQ(noDir.check2, 1);
  EXPECT_FALSE(noDir.directory);
  EXPECT_FALSE(WhatTheFileGives(settings::ReadSettingsLine(std::string("1,1,\"C:\\x\0y\"", 12))).directory);
  EXPECT_FALSE(gives(("1,1,\"C:\\" + std::string(300, 'a') + "\"").c_str()).directory);
  // A long path of short parts may name a directory where long paths work,
  // and so may one of characters that take three bytes each.
  std::string deep = "C:";
  for (int i = 0; i < 30; ++i) deep += "\\" + std::string(20, 'd');
  EXPECT_EQ(gives(("1,1,\"" + deep + "\"").c_str()).directory, deep);
  std::string kanji = "C:\\";
  for (int i = 0; i < 200; ++i) kanji += "\xE5\x86\x99";
  EXPECT_EQ(gives(("1,1,\"" + kanji + "\"").c_str()).directory, kanji);
}

TEST(OptionsPaths, FullPathsAndNormalForms) {
  EXPECT_TRUE(IsFullPath("C:\\"));
  EXPECT_TRUE(IsFullPath("c:/x"));
  EXPECT_TRUE(IsFullPath("\\\\server\\share"));
  EXPECT_TRUE(IsFullPath("\\\\server\\share\\a"));
  for (const char* p : {"", "C:", "C:x", "x", "\\x", "\\\\server", "\\\\server\\", "\\\\\\x", "1:\\x"}) {
    EXPECT_FALSE(IsFullPath(p)) << p;
  }
  EXPECT_FALSE(UsableDirectoryText("C:\\a:b"));
  EXPECT_FALSE(UsableDirectoryText("C:\\a\tb"));
  EXPECT_TRUE(UsableDirectoryText("C:\\a, b"));

  EXPECT_EQ(NormaliseDir("C:\\Shots\\"), "C:\\Shots");
  EXPECT_EQ(NormaliseDir("C:/a//b/"), "C:\\a\\b");
  EXPECT_EQ(NormaliseDir("C:\\"), "C:\\");
  EXPECT_EQ(NormaliseDir("C:\\\\"), "C:\\");
  EXPECT_EQ(NormaliseDir("\\\\srv\\share\\"), "\\\\srv\\share");
  EXPECT_TRUE(SamePath("C:\\Shots", "c:\\SHOTS"));
  EXPECT_FALSE(SamePath("C:\\Shots", "C:\\Shot"));
  EXPECT_EQ(ChildPath("C:\\", "a"), "C:\\a");
  EXPECT_EQ(ChildPath("C:\\a", "b"), "C:\\a\\b");
}

TEST(OptionsDirList, ShowsTheChainToTheCurrentDirectoryThenItsChildren) {
  EXPECT_EQ(PathChain("C:\\A\\B"), (std::vector<std::string>{"C:\\", "C:\\A", "C:\\A\\B"}));
  EXPECT_EQ(PathChain("C:\\"), (std::vector<std::string>{"C:\\"}));
  EXPECT_EQ(PathChain("\\\\srv\\share\\x"), (std::vector<std::string>{"\\\\srv\\share", "\\\\srv\\share\\x"}));

  auto entries = DirListEntries("C:\\Users\\me", {"zeta", "Alpha", "beta"});
  ASSERT_EQ(entries.size(), 6u);
  EXPECT_EQ(entries[0].text, "C:\\");
  EXPECT_EQ(entries[1].text, "Users");
  EXPECT_EQ(entries[2].text, "me");
  EXPECT_EQ(entries[2].path, "C:\\Users\\me");
  EXPECT_TRUE(entries[2].open);
  EXPECT_EQ(entries[3].text, "Alpha");
  EXPECT_EQ(entries[4].text, "beta");
  EXPECT_EQ(entries[5].path, "C:\\Users\\me\\zeta");
  EXPECT_EQ(entries[5].depth, 3);
  EXPECT_FALSE(entries[5].open);
  EXPECT_EQ(CurrentEntryIndex(entries), 2u);

  auto root = DirListEntries("D:\\", {"x"});
  ASSERT_EQ(root.size(), 2u);
  EXPECT_EQ(root[1].path, "D:\\x");
  EXPECT_EQ(CurrentEntryIndex(root), 0u);
}

TEST(OptionsApply, FailureNamesTheFileAndTheReason) {
  std::string text = ApplyFailureText("C:\\Apps\\settings.txt", "Access is denied.", {});
  EXPECT_NE(text.find("C:\\Apps\\settings.txt"), std::string::npos);
  EXPECT_NE(text.find("Access is denied."), std::string::npos);
  EXPECT_NE(text.find("They stay in effect until Framewick ends"), std::string::npos) << text;
}

// The list shows existing directories in their own spelling.
std::optional<std::string> ShownAs(const std::string& path) {
  if (SamePath(NormaliseDir(path), "C:\\Old")) return "C:\\Old";
  if (SamePath(NormaliseDir(path), "C:\\New")) return "C:\\New";
  return std::nullopt;
}

FromFile FileSays(int s1, int s2, const std::string& dir) {
  return WhatTheFileGives(
      settings::ReadSettingsLine(std::to_string(s1) + "," + std::to_string(s2) + ",\"" + dir + "\"\r\n"));
}

TEST(OptionsApply, WhatAnOlderFileBringsBackAtTheNextLoad) {
  // A box the user cleared comes back checked; one the user checked stays.
  ComesBack back = WhatComesBack(FileSays(1, 0, "C:\\Old"), kUnchecked, kChecked, "C:\\Old", ShownAs);
  EXPECT_TRUE(back.check1);
  EXPECT_FALSE(back.check2);
  EXPECT_FALSE(back.directory);
  // The file's directory comes back when the list can show it.
  back = WhatComesBack(FileSays(0, 1, "c:\\old\\"), kChecked, kUnchecked, "C:\\New", ShownAs);
  EXPECT_FALSE(back.check1);
  EXPECT_TRUE(back.check2);
  EXPECT_EQ(back.directory, "C:\\Old");
  back = WhatComesBack(FileSays(0, 0, "C:\\Gone"), kUnchecked, kUnchecked, "C:\\New", ShownAs);
  EXPECT_EQ(back.count(), 0);
  // A file that stops early gives only what it reached.
  back = WhatComesBack(WhatTheFileGives(settings::ReadSettingsLine("1,9,\"C:\\Old\"\r\n")), kUnchecked, kUnchecked,
                       "C:\\New", ShownAs);
  EXPECT_TRUE(back.check1);
  EXPECT_FALSE(back.check2);
  EXPECT_FALSE(back.directory);
  // No file, or one that cannot be read: nothing comes back.
  EXPECT_EQ(WhatComesBack(FromFile{}, kUnchecked, kUnchecked, "C:\\New", ShownAs).count(), 0);
}

TEST(OptionsApply, TheMessageSaysWhatComesBackAndWhatStays) {
  ComesBack back;
  back.check1 = true;
  back.directory = "C:\\Old";
  std::string text = ApplyFailureText("C:\\Apps\\settings.txt", "Access is denied.", back);
  EXPECT_NE(text.find("\"Auto save to file\" checked and the folder C:\\Old."), std::string::npos) << text;
  EXPECT_EQ(text.find("Show program after each snap"), std::string::npos) << text;
  EXPECT_NE(text.find("The rest stays in effect until Framewick ends"), std::string::npos) << text;
  EXPECT_EQ(text.find("They stay in effect until Framewick ends"), std::string::npos)
      << "no longer true once the file's settings come back: " << text;
  back.check2 = true;
  text = ApplyFailureText("C:\\Apps\\settings.txt", "", back);
  EXPECT_NE(
      text.find("\"Auto save to file\" checked, \"Show program after each snap\" checked and the folder C:\\Old."),
      std::string::npos)
      << text;
  EXPECT_EQ(text.find("The rest"), std::string::npos) << "nothing else is left: " << text;
}

}  // namespace
}  // namespace fw::options
