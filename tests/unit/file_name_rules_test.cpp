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

}  // namespace
}  // namespace fw::files
