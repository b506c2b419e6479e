// File names as Windows gives them, and the program's temporary files.
#include <gtest/gtest.h>

#include <set>

#include "platform/file_name_rules.h"

namespace fw::files {
namespace {

TEST(NameWindowsGives, DropsTheDotsAndSpacesAtTheEndOfTheLastPart) {
  EXPECT_EQ(NameWindowsGives("C:\\Shots\\shot.bmp."), "C:\\Shots\\shot.bmp");
  EXPECT_EQ(NameWindowsGives("C:\\Shots\\shot.bmp "), "C:\\Shots\\shot.bmp");
  EXPECT_EQ(NameWindowsGives("C:\\Shots\\shot.bmp. . "), "C:\\Shots\\shot.bmp");
  EXPECT_EQ(NameWindowsGives("C:\\Shots\\shot"), "C:\\Shots\\shot");
  EXPECT_EQ(NameWindowsGives("C:/Shots/shot..."), "C:/Shots/shot");
  EXPECT_EQ(NameWindowsGives("C:shot. "), "C:shot");
  EXPECT_EQ(NameWindowsGives("shot ."), "shot");
  // Only the last part: a directory's name is left alone, and so are dots
  // and spaces inside the name.
  EXPECT_EQ(NameWindowsGives("C:\\a. b \\c d.e f"), "C:\\a. b \\c d.e f");
  EXPECT_EQ(NameWindowsGives("\\\\server\\share\\x.bmp."), "\\\\server\\share\\x.bmp");
}

TEST(NameWindowsGives, DirectoriesAndNamesWithNothingLeft) {
  EXPECT_EQ(NameWindowsGives("C:\\Shots\\"), "C:\\Shots\\");
  EXPECT_EQ(NameWindowsGives("C:\\Shots\\.."), "C:\\Shots\\..");
  EXPECT_EQ(NameWindowsGives("C:\\Shots\\."), "C:\\Shots\\.");
  EXPECT_EQ(NameWindowsGives("C:"), "C:");
  EXPECT_FALSE(NameWindowsGives("C:\\Shots\\..."));
  EXPECT_FALSE(NameWindowsGives("C:\\Shots\\ . "));
  EXPECT_FALSE(NameWindowsGives(" "));
  EXPECT_FALSE(NameWindowsGives(""));
}

TEST(JoinPath, OneSeparator) {
  EXPECT_EQ(JoinPath("C:\\Shots", "a.tmp"), "C:\\Shots\\a.tmp");
  EXPECT_EQ(JoinPath("C:\\", "a.tmp"), "C:\\a.tmp");
  EXPECT_EQ(JoinPath("C:/x/", "a.tmp"), "C:/x/a.tmp");
}

TEST(TempFiles, NamesOfExactlyTheProgramsForm) {
  EXPECT_EQ(TempFileName(0), "~fw0000000000000000.tmp");
  EXPECT_EQ(TempFileName(0x0123456789ABCDEFull), "~fw0123456789abcdef.tmp");
  EXPECT_EQ(TempFileName(~0ull), "~fwffffffffffffffff.tmp");
  std::set<std::string> names;
  for (std::uint64_t r : {1ull, 2ull, 1ull << 63, 0xDEADBEEFull}) {
    std::string name = TempFileName(r);
    EXPECT_TRUE(IsTempFileName(name)) << name;
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 4u) << "different numbers, different names";
  // Other programs' files that only look alike are not the program's.
  for (const char* other :
       {"~fw0123456789abcde.tmp", "~fw0123456789abcdef0.tmp", "~fw0123456789ABCDEF.tmp", "~FW0123456789abcdef.tmp",
        "~fw0123456789abcdef.TMP", "~fw0123456789abcdeg.tmp", "x~fw0123456789abcdef.tmp", "~fw0123456789abcdef.tmp.bak",
        "fw~1A2B.tmp", "~fw.tmp", "~fw0123456789abcdef", ""}) {
    EXPECT_FALSE(IsTempFileName(other)) << other;
  }
}

// "写" U+5199 and "Ф" U+0424 are one UTF-16 unit each (three and two UTF-8
// bytes); "😀" U+1F600 is a surrogate pair (four bytes).
constexpr const char* kKanji = "\xE5\x86\x99";
constexpr const char* kEf = "\xD0\xA4";
constexpr const char* kGrin = "\xF0\x9F\x98\x80";

std::string Times(const char* piece, std::size_t n) {
  std::string s;
  for (std::size_t i = 0; i < n; ++i) s += piece;
  return s;
}

TEST(NameLength, CountsUtf16UnitsAsWindowsDoes) {
  EXPECT_EQ(Utf16Length(""), 0u);
  EXPECT_EQ(Utf16Length("C:\\a.png"), 8u);
  EXPECT_EQ(Utf16Length(kKanji), 1u);
  EXPECT_EQ(Utf16Length(kEf), 1u);
  EXPECT_EQ(Utf16Length(kGrin), 2u);
  // "写真 Фото.png": two kanji, a space, four Cyrillic letters, ".png".
  EXPECT_EQ(Utf16Length("\xE5\x86\x99\xE7\x9C\x9F \xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE.png"), 11u);
  EXPECT_EQ(Utf16Length("\xE9"), 1u) << "a stray byte counts once";
}

TEST(NameLength, APathPastMaxPathIsTooLongUnlessLongPathsWork) {
  std::string dir = "C:\\" + std::string(200, 'd') + "\\";  // 204 units
  std::string at259 = dir + std::string(55, 'f');
  ASSERT_EQ(at259.size(), 259u);
  EXPECT_FALSE(NameTooLong(at259, false));
  EXPECT_TRUE(NameTooLong(at259 + "f", false));
  EXPECT_FALSE(NameTooLong(at259 + "f", true));
  // Counted in characters, not bytes: 250 kanji are 750 bytes.
  std::string kanji = "C:\\" + Times(kKanji, 250) + "\\" + Times(kKanji, 5);
  EXPECT_FALSE(NameTooLong(kanji, false));
  EXPECT_TRUE(NameTooLong(kanji + Times(kKanji, 1), false));
  // With long paths: up to 32767, in parts of up to 255.
  std::string longest = "C:";
  while (longest.size() + 100 <= 32767) longest += "\\" + std::string(99, 'x');
  longest += "\\" + std::string(32767 - longest.size() - 1, 'y');
  ASSERT_EQ(longest.size(), 32767u);
  EXPECT_FALSE(NameTooLong(longest, true));
  EXPECT_TRUE(NameTooLong(longest + "y", true));
}

TEST(NameLength, OnePartPast255IsTooLongEvenWithLongPaths) {
  for (bool longPaths : {false, true}) {
    EXPECT_FALSE(NameTooLong("C:\\" + std::string(255, 'n'), longPaths));
    EXPECT_TRUE(NameTooLong("C:\\" + std::string(256, 'n'), longPaths));
    EXPECT_TRUE(NameTooLong("C:/" + std::string(256, 'n') + "/x", longPaths));
    EXPECT_FALSE(NameTooLong("C:\\" + Times(kEf, 255), longPaths));
    EXPECT_TRUE(NameTooLong("C:\\" + Times(kGrin, 128), longPaths)) << "128 pairs are 256 units";
  }
}

TEST(NameLength, LongPathsWorkFromWindows10Version1607WithThePolicySet) {
  EXPECT_TRUE(LongPathsWork({10, 0, 14393}, 1));
  EXPECT_TRUE(LongPathsWork({10, 0, 22631}, 1));
  EXPECT_FALSE(LongPathsWork({10, 0, 14392}, 1));
  EXPECT_FALSE(LongPathsWork({6, 3, 9600}, 1));  // 8.1
  EXPECT_FALSE(LongPathsWork({6, 1, 7601}, 1));  // 7
  EXPECT_FALSE(LongPathsWork({10, 0, 19045}, 0));
  EXPECT_FALSE(LongPathsWork({10, 0, 19045}, std::nullopt));
}

}  // namespace
}  // namespace fw::files
