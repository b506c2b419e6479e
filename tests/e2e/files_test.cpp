// Files on disk: temporary files a crash left behind, directories that
// already hold thousands of captures, and names that Windows changes.
#include <gtest/gtest.h>

#include "flows.h"
#include "harness.h"
#include "harness_files.h"
#include "harness_formats.h"
#include "options_access.h"

namespace e2e {
namespace {

constexpr int kW = 200, kH = 120;

// The file is whole in the format its name asks for (a bitmap for
// "shot.bmp" and "other", a JPEG for the default automatic "snapN.jpg").
void ExpectWholeFile(const std::string& path) {
  std::string why = WholeFileProblem(FormatNamed(path), ReadFileBytes(path));
  EXPECT_EQ(why, "") << path;
}

// Saves through the dialog and waits until the file holds the format its
// name asks for.
bool SaveThroughDialog(App& app, const std::string& typed, const std::string& written) {
  app.Click("Save");
  HWND dlg = WaitForSaveDialog(app.pid(), 10000);
  if (!dlg) return false;
  ChooseFileName(dlg, typed);
  if (!WaitUntil([&] { return SavedAs(written); }, kSaveTimeoutMs)) return false;
  return app.Barrier();
}

TEST(Files, TemporariesLeftByACrashGoAtTheNextSaveIntoTheirDirectory) {
  std::string shots = FreshTestDir("-shots");
  const std::string leftover = "~fw0123456789abcdef.tmp";
  const std::string beingWritten = "~fwfedcba9876543210.tmp";
  // Names that only look like the program's: another program's files.
  const std::vector<std::string> others = {"~fw0123456789abcde.tmp",
                                           "~fw0123456789abcdef0.tmp",
                                           "~fw0123456789abcdeg.tmp",
                                           "x~fw0123456789abcdef.tmp",
                                           "~fw0123456789abcdef.tmp.bak",
                                           "fw~1A2B.tmp",
                                           "notes.tmp"};
  ASSERT_TRUE(WriteFileBytes(shots + "\\" + leftover, "half a picture"));
  for (const auto& name : others) ASSERT_TRUE(WriteFileBytes(shots + "\\" + name, "keep"));
  ASSERT_TRUE(::CreateDirectoryA((shots + "\\~fw00000000000000ff.tmp").c_str(), nullptr));
  // Another copy of the program in the middle of writing one.
  auto held = std::make_unique<HeldFile>(shots + "\\" + beingWritten);
  ASSERT_TRUE(held->held());

  App app({.settings = SettingsLine(1, 0, shots)});
  PatternWindow pattern(0, 0, kW, kH, 71);
  BringToFront(pattern.hwnd());
  PostHotkey(app);
  ASSERT_TRUE(WaitUntil([&] { return SavedAs(shots + "\\snap0.jpg"); }, kSaveTimeoutMs));
  ASSERT_TRUE(app.Barrier());
  EXPECT_TRUE(OpenDialogs(app.pid()).empty()) << "a file it could not remove was reported";
  ExpectWholeFile(shots + "\\snap0.jpg");
  EXPECT_FALSE(FileExists(shots + "\\" + leftover)) << "the crash's temporary file is still there";
  EXPECT_TRUE(FileExists(shots + "\\" + beingWritten)) << "a file another program has open was removed";
  for (const auto& name : others) EXPECT_EQ(ReadFileBytes(shots + "\\" + name), "keep") << name;
  EXPECT_TRUE(DirExists(shots + "\\~fw00000000000000ff.tmp"));

  // Once nobody has it open, a Save into that directory removes it too.
  held.reset();
  ASSERT_TRUE(SaveThroughDialog(app, shots + "\\saved.bmp", shots + "\\saved.bmp"));
  EXPECT_EQ(ProgramTempFiles(shots), std::vector<std::string>{}) << "temporary files are left";
  ExpectWholeFile(shots + "\\saved.bmp");
  EXPECT_EQ(ReadFileBytes(shots + "\\notes.tmp"), "keep");
}

TEST(Files, ThousandsOfEarlierCapturesAreSteppedOverByOneDirectorySearch) {
  SetTestTimeLimit(180);
  std::string shots = FreshTestDir("-shots");
  // 3,000 earlier captures with one number missing among them.
  const int earlier = 3000, missing = 1234;
  for (int i = 0; i < earlier; ++i) {
    if (i == missing) continue;
    ASSERT_TRUE(WriteFileBytes(shots + "\\snap" + std::to_string(i) + ".jpg", "earlier"));
  }
  // Names that are not automatic save names do not count.
  ASSERT_TRUE(WriteFileBytes(shots + "\\snap0" + std::to_string(missing) + ".jpg", "earlier"));
  ASSERT_TRUE(WriteFileBytes(shots + "\\snap" + std::to_string(earlier) + ".jpg.txt", "earlier"));
  App app({.settings = SettingsLine(1, 0, shots)});
  PatternWindow pattern(0, 0, kW, kH, 72);
  BringToFront(pattern.hwnd());

  // The first free number from the counter (0) on is the missing one, and
  // the next capture goes past all the others.
  PostHotkey(app);
  PostHotkey(app);
  std::string first = shots + "\\snap" + std::to_string(missing) + ".jpg";
  std::string second = shots + "\\snap" + std::to_string(earlier) + ".jpg";
  ASSERT_TRUE(WaitUntil([&] { return SavedAs(first) && SavedAs(second); }, kSaveTimeoutMs));
  ASSERT_TRUE(app.Barrier());
  ExpectWholeFile(first);
  ExpectWholeFile(second);
  EXPECT_EQ(ListDir(shots).size(), static_cast<std::size_t>(earlier - 1 + 2 + 2));
  for (int i : {0, 1, missing - 1, missing + 1, earlier - 1}) {
    EXPECT_EQ(ReadFileBytes(shots + "\\snap" + std::to_string(i) + ".jpg"), "earlier") << i;
  }
  EXPECT_TRUE(OpenDialogs(app.pid()).empty());
}

TEST(Files, ANameEndingInADotOrASpaceIsSavedUnderTheNameWindowsGivesIt) {
  App app;
  PatternWindow pattern(0, 0, kW, kH, 73);
  ASSERT_TRUE(CaptureScreenWithPattern(app, pattern));
  std::string dir = FreshTestDir("-saved");
  std::string written = dir + "\\shot.bmp";
  ASSERT_TRUE(WriteFileBytes(written, "an earlier file of the name Windows gives"));

  // Windows writes "shot.bmp" for "shot.bmp.", replacing that file; Mail
  // then offers the file that was written.
  ASSERT_TRUE(SaveThroughDialog(app, dir + "\\shot.bmp.", written));
  EXPECT_TRUE(OpenDialogs(app.pid()).empty());
  ExpectWholeFile(written);
  EXPECT_EQ(PatternDifferences(LoadBmpFile(written), pattern), 0);
  EXPECT_EQ(ListDir(dir), std::vector<std::string>{"shot.bmp"});
  EXPECT_EQ(MailedPath(app), written);

  // Trailing spaces, and dots and spaces mixed, likewise.
  std::string other = dir + "\\other";
  ASSERT_TRUE(SaveThroughDialog(app, other + ". .", other));
  ExpectWholeFile(other);
  EXPECT_EQ(ListDir(dir), (std::vector<std::string>{"other", "shot.bmp"}));
  EXPECT_EQ(MailedPath(app), other);
}

}  // namespace
}  // namespace e2e
