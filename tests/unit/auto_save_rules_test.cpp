// Automatic save names: the name rule, the search for a free name, the
// extensions a name can end with, the failure message.
#include <gtest/gtest.h>

#include <set>

#include "capture/auto_save_rules.h"

namespace fw {
namespace {

TEST(AutoSaveName, DirectorySnapCounterAndExtension) {
  EXPECT_EQ(autosave::FileName("C:\\Pics", 0, ".jpg"), "C:\\Pics\\snap0.jpg");
  EXPECT_EQ(autosave::FileName("C:\\Pics", 12, ".bmp"), "C:\\Pics\\snap12.bmp");
  EXPECT_EQ(autosave::FileName("C:\\", 0, ".jpg"), "C:\\\\snap0.jpg");  // the separator is always added
  EXPECT_EQ(autosave::FileName("C:\\Pics", 3, ""), "C:\\Pics\\snap3");
  // No 16-bit limit: the numbers go on.
  EXPECT_EQ(autosave::FileName("C:\\P", 32767, ".jpg"), "C:\\P\\snap32767.jpg");
  EXPECT_EQ(autosave::FileName("C:\\P", 32768, ".jpg"), "C:\\P\\snap32768.jpg");
  EXPECT_EQ(autosave::FileName("C:\\P", 4294967296LL, ".jpg"), "C:\\P\\snap4294967296.jpg");
  EXPECT_EQ(autosave::CounterAfterSave(32767), 32768);
  EXPECT_EQ(autosave::CounterAfterSave(INT64_MAX), INT64_MAX);
}

TEST(AutoSaveName, ExtensionsThatCannotEndAName) {
  for (const char* ok : {".jpg", ".bmp", "", ".tar.gz", "_x", ".j p g"}) {
    EXPECT_EQ(autosave::ExtensionProblem(ok), "") << ok;
  }
  for (const char* bad : {".j?g", ".jpg*", "\\..\\..\\evil", "/x", ".jpg:stream", ".a<b", ".a|b", ".\"", ".jpg.",
                          ".jpg ", ".\t", ".\x01"}) {
    EXPECT_NE(autosave::ExtensionProblem(bad), "") << bad;
  }
}

TEST(AutoSaveClaim, SkipsTakenNamesAndNeverReplacesThem) {
  std::set<std::string> existing{"C:\\P\\snap0.jpg", "C:\\P\\snap1.jpg", "C:\\P\\snap3.jpg"};
  std::vector<std::string> tried;
  auto claim = [&](const std::string& path) {
    tried.push_back(path);
    return existing.count(path) ? autosave::Claim::Taken : autosave::Claim::Claimed;
  };
  autosave::NameChoice c = autosave::ClaimNextName("C:\\P", 0, ".jpg", claim, 100);
  EXPECT_EQ(c.outcome, autosave::Claim::Claimed);
  EXPECT_EQ(c.number, 2);
  EXPECT_EQ(c.path, "C:\\P\\snap2.jpg");
  EXPECT_EQ(tried.size(), 3u);

  c = autosave::ClaimNextName("C:\\P", 3, ".jpg", claim, 100);
  EXPECT_EQ(c.number, 4);
  c = autosave::ClaimNextName("C:\\P", 32767, ".jpg", claim, 100);
  EXPECT_EQ(c.path, "C:\\P\\snap32767.jpg");
}

TEST(AutoSaveClaim, FailureStopsAndTooManyTakenNamesEndTheSearch) {
  int calls = 0;
  autosave::NameChoice c = autosave::ClaimNextName(
      "C:\\Gone", 5, ".jpg",
      [&](const std::string&) {
        ++calls;
        return autosave::Claim::Failed;
      },
      100);
  EXPECT_EQ(c.outcome, autosave::Claim::Failed);
  EXPECT_EQ(c.path, "C:\\Gone\\snap5.jpg");
  EXPECT_EQ(calls, 1);

  calls = 0;
  c = autosave::ClaimNextName(
      "C:\\Full", 10, ".jpg",
      [&](const std::string&) {
        ++calls;
        return autosave::Claim::Taken;
      },
      4);
  EXPECT_EQ(c.outcome, autosave::Claim::Taken);
  EXPECT_EQ(calls, 4);
  EXPECT_EQ(c.number, 13);

  // At the largest value the search stops instead of wrapping round.
  calls = 0;
  c = autosave::ClaimNextName(
      "C:\\P", INT64_MAX - 1, ".jpg",
      [&](const std::string&) {
        ++calls;
        return autosave::Claim::Taken;
      },
      10);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(c.number, INT64_MAX);
  EXPECT_EQ(c.outcome, autosave::Claim::Taken);
}

TEST(AutoSaveMessage, NamesTheFileAndTheReason) {
  std::string text = autosave::FailureText("C:\\P\\snap4.jpg", "Access is denied.");
  EXPECT_NE(text.find("C:\\P\\snap4.jpg"), std::string::npos);
  EXPECT_NE(text.find("Access is denied."), std::string::npos);
  EXPECT_NE(autosave::AllNamesTakenReason(3, 9).find("snap3 to snap9"), std::string::npos);
}

}  // namespace
}  // namespace fw
