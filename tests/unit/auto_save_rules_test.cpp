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

std::vector<std::int64_t> NoListing() {
  return {};
}

TEST(AutoSaveClaim, SkipsTakenNamesAndNeverReplacesThem) {
  std::set<std::string> existing{"C:\\P\\snap0.jpg", "C:\\P\\snap1.jpg", "C:\\P\\snap3.jpg"};
  std::vector<std::string> tried;
  auto claim = [&](const std::string& path) {
    tried.push_back(path);
    return existing.count(path) ? autosave::Claim::Taken : autosave::Claim::Claimed;
  };
  autosave::NameChoice c = autosave::ClaimNextName("C:\\P", 0, ".jpg", NoListing, claim, 100);
  EXPECT_EQ(c.outcome, autosave::Claim::Claimed);
  EXPECT_EQ(c.number, 2);
  EXPECT_EQ(c.path, "C:\\P\\snap2.jpg");
  EXPECT_EQ(tried.size(), 3u);

  c = autosave::ClaimNextName("C:\\P", 3, ".jpg", NoListing, claim, 100);
  EXPECT_EQ(c.number, 4);
  c = autosave::ClaimNextName("C:\\P", 32767, ".jpg", NoListing, claim, 100);
  EXPECT_EQ(c.path, "C:\\P\\snap32767.jpg");
}

TEST(AutoSaveClaim, FailureStopsAndTooManyTakenNamesEndTheSearch) {
  int calls = 0;
  autosave::NameChoice c = autosave::ClaimNextName(
      "C:\\Gone", 5, ".jpg", NoListing,
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
      "C:\\Full", 10, ".jpg", NoListing,
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
      "C:\\P", INT64_MAX - 1, ".jpg", NoListing,
      [&](const std::string&) {
        ++calls;
        return autosave::Claim::Taken;
      },
      10);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(c.number, INT64_MAX);
  EXPECT_EQ(c.outcome, autosave::Claim::Taken);
}

TEST(AutoSaveListing, ReadsTheNumbersOfExactlyTheAutomaticNames) {
  EXPECT_EQ(autosave::NumberInName("snap0.jpg", ".jpg"), 0);
  EXPECT_EQ(autosave::NumberInName("snap12.jpg", ".jpg"), 12);
  EXPECT_EQ(autosave::NumberInName("SNAP7.JPG", ".jpg"), 7) << "names compare in either case";
  EXPECT_EQ(autosave::NumberInName("snap9223372036854775807.bmp", ".bmp"), INT64_MAX);
  EXPECT_EQ(autosave::NumberInName("snap3", ""), 3);
  // An extension that starts with digits: the number is what lies between.
  EXPECT_EQ(autosave::NumberInName("snap17.jpg", "7.jpg"), 1);
  for (const char* other : {"snap.jpg", "snap01.jpg", "snap-1.jpg", "snap+1.jpg", "snap1.jpeg", "snap1.jpg.bak",
                            "snap1.bmp", "xsnap1.jpg", "snap 1.jpg", "snap9223372036854775808.jpg", "snap1", "snap"}) {
    EXPECT_FALSE(autosave::NumberInName(other, ".jpg")) << other;
  }
  EXPECT_FALSE(autosave::NumberInName("snap1.jpg", ""));
}

TEST(AutoSaveListing, TheFirstFreeNumberAtOrAfterTheCounter) {
  std::vector<std::string> names{"snap0.jpg", "snap1.jpg",     "SNAP3.JPG", "snap5.bmp",  "notes.txt",
                                 "snap4.jpg", "snap2.jpg.tmp", "snap3.jpg", "snap007.jpg"};
  std::vector<std::int64_t> taken = autosave::TakenNumbers(names, ".jpg", 0);
  EXPECT_EQ(taken, (std::vector<std::int64_t>{0, 1, 3, 4}));
  EXPECT_EQ(autosave::FirstFreeNumber(taken, 0), 2);
  EXPECT_EQ(autosave::FirstFreeNumber(taken, 3), 5);
  EXPECT_EQ(autosave::FirstFreeNumber(taken, 6), 6);
  // Numbers below the counter are not looked at, and never chosen.
  EXPECT_EQ(autosave::TakenNumbers(names, ".jpg", 3), (std::vector<std::int64_t>{3, 4}));
  EXPECT_EQ(autosave::FirstFreeNumber({}, 40), 40);
  // Thousands of earlier captures: one pass over the names.
  std::vector<std::string> many;
  for (int i = 0; i < 5000; ++i) many.push_back("snap" + std::to_string(i) + ".jpg");
  EXPECT_EQ(autosave::FirstFreeNumber(autosave::TakenNumbers(many, ".jpg", 0), 0), 5000);
  EXPECT_EQ(autosave::FirstFreeNumber(autosave::TakenNumbers(many, ".jpg", 4999), 4999), 5000);
  // At the largest value nothing is left.
  EXPECT_FALSE(autosave::FirstFreeNumber({INT64_MAX - 1, INT64_MAX}, INT64_MAX - 1));
}

TEST(AutoSaveClaim, TheCountersNameFirstThenOneListingTellsTheNextFreeNumber) {
  // A free counter's name: taken at once, the directory is not searched.
  int listings = 0;
  auto listing = [&](std::vector<std::int64_t> numbers) {
    return [&listings, numbers] {
      ++listings;
      return numbers;
    };
  };
  std::vector<std::string> tried;
  autosave::NameChoice c = autosave::ClaimNextName(
      "C:\\P", 7, ".jpg", listing({}),
      [&](const std::string& path) {
        tried.push_back(path);
        return autosave::Claim::Claimed;
      },
      100);
  EXPECT_EQ(c.number, 7);
  EXPECT_EQ(listings, 0);

  // Thousands of earlier captures: one listing, then straight to the first
  // free number. Another program took 2999's successor meanwhile.
  std::vector<std::int64_t> earlier;
  for (std::int64_t i = 0; i < 3000; ++i)
    if (i != 1234) earlier.push_back(i);
  tried.clear();
  c = autosave::ClaimNextName(
      "C:\\P", 1235, ".jpg", listing(earlier),
      [&](const std::string& path) {
        tried.push_back(path);
        bool exists = path == "C:\\P\\snap3000.jpg" || path == "C:\\P\\snap1235.jpg";
        return exists ? autosave::Claim::Taken : autosave::Claim::Claimed;
      },
      100);
  EXPECT_EQ(c.outcome, autosave::Claim::Claimed);
  EXPECT_EQ(c.number, 3001);
  EXPECT_EQ(listings, 1);
  EXPECT_EQ(tried, (std::vector<std::string>{"C:\\P\\snap1235.jpg", "C:\\P\\snap3000.jpg", "C:\\P\\snap3001.jpg"}));

  // Nothing free at all: the search ends at the largest value.
  int calls = 0;
  c = autosave::ClaimNextName(
      "C:\\P", INT64_MAX, ".jpg", listing({INT64_MAX}),
      [&](const std::string&) {
        ++calls;
        return autosave::Claim::Taken;
      },
      100);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(c.outcome, autosave::Claim::Taken);
  EXPECT_EQ(c.number, INT64_MAX);
}

TEST(AutoSaveMessage, NamesTheFileAndTheReason) {
  std::string text = autosave::FailureText("C:\\P\\snap4.jpg", "Access is denied.", true);
  EXPECT_NE(text.find("C:\\P\\snap4.jpg"), std::string::npos);
  EXPECT_NE(text.find("Access is denied."), std::string::npos);
  EXPECT_NE(text.find("still in the picture area"), std::string::npos);
  // Never that the picture is there when it is not.
  EXPECT_EQ(autosave::FailureText("C:\\P\\snap4.jpg", "Access is denied.", false).find("still"), std::string::npos);
  EXPECT_NE(autosave::AllNamesTakenReason(3, 9).find("snap3 to snap9"), std::string::npos);
}

}  // namespace
}  // namespace fw
