// Writing and reading the settings line.
#include <gtest/gtest.h>

#include "output/settings_format.h"

namespace fw::settings {
namespace {

using namespace std::string_literals;

TEST(SettingsWrite, LineIsByteForByte) {
  std::string line = FormatSettingsLine(1, 0, "C:\\Shots");
  EXPECT_EQ(line, "1,0,\"C:\\Shots\"\r\n");
  EXPECT_EQ(line.size(), 16u);
  EXPECT_EQ(FormatSettingsLine(0, 1, "C:\\Program Files\\Framewick"), "0,1,\"C:\\Program Files\\Framewick\"\r\n");
  // Paths are written unchanged: commas, spaces, a root's separator and
  // bytes of the ANSI code page beyond ASCII.
  EXPECT_EQ(FormatSettingsLine(0, 0, "D:\\"), "0,0,\"D:\\\"\r\n");
  EXPECT_EQ(FormatSettingsLine(1, 1, "C:\\a, b\\\xE9t\xE9"), "1,1,\"C:\\a, b\\\xE9t\xE9\"\r\n");
  EXPECT_EQ(SettingsPath("C:\\Apps\\Framewick"), "C:\\Apps\\Framewick\\settings.txt");
}

TEST(SettingsRead, WhatApplyWritesReadsBack) {
  for (const char* dir : {"C:\\Shots", "D:\\", "C:\\a, b\\c", "\\\\server\\share\\x y", "C:\\\xE9t\xE9"}) {
    for (int c1 : {0, 1}) {
      for (int c2 : {0, 1}) {
        ReadResult r = ReadSettingsLine(FormatSettingsLine(c1, c2, dir));
        ASSERT_EQ(r.status, ReadStatus::Ok) << dir;
        EXPECT_EQ(r.state1, c1);
        EXPECT_EQ(r.state2, c2);
        EXPECT_EQ(r.directory, dir);
      }
    }
  }
}

TEST(SettingsRead, FieldDelimitersSpacesAndLineEnds) {
  struct Case {
    std::string bytes;
    std::int64_t s1, s2;
    std::string dir;
  } cases[] = {
      {"  1,\t 0, \"C:\\x\"\r\n", 1, 0, "C:\\x"},  // blanks before fields
      {"1 ,0 ,\"C:\\x\"", 1, 0, "C:\\x"},          // after unquoted ones, and no line end
      {"1,0,\"C:\\x\"\n", 1, 0, "C:\\x"},          // LF only
      {"1,0,\"C:\\x\"\r", 1, 0, "C:\\x"},          // CR only
      {"1\r\n0\r\n\"C:\\x\"\r\n", 1, 0, "C:\\x"},  // a line end also ends a field
      {"\r\n\r\n1,0,C:\\x\r\n", 1, 0, "C:\\x"},    // blank lines first; an unquoted directory
      {"1,0,\"C:\\x\",junk,more\r\n", 1, 0, "C:\\x"},
      {"1,0,\"C:\\x\"\r\n0,0,\"D:\\\"\r\n", 1, 0, "C:\\x"},  // only the first line counts
      {"\"1\",\"2\",\"C:\\x\"", 1, 2, "C:\\x"},              // quoted numbers
      {"1,0,\"C:\\x\"tail\r\n", 1, 0, "C:\\x"},              // after the closing mark: ignored
      {"1,0,\"C:\\open\r\nnext\"", 1, 0, "C:\\open"},        // an unclosed mark ends with its line
      {"1,0,\"\"", 1, 0, ""},                                // an empty directory is still a field
      {"\xEF\xBB\xBF"
       "1,1,\"C:\\x\"\r\n",
       1, 1, "C:\\x"},  // byte-order mark
      {"+1,-0,\"C:\\x\"", 1, 0, "C:\\x"},
      {"007,2,\"C:\\x\"", 7, 2, "C:\\x"},
  };
  for (const auto& c : cases) {
    ReadResult r = ReadSettingsLine(c.bytes);
    ASSERT_EQ(r.status, ReadStatus::Ok) << c.bytes;
    EXPECT_EQ(r.state1, c.s1) << c.bytes;
    EXPECT_EQ(r.state2, c.s2) << c.bytes;
    EXPECT_EQ(r.directory, c.dir) << c.bytes;
  }
}

TEST(SettingsRead, FewerThanThreeFieldsFails) {
  for (const char* bytes : {"", "   ", "\r\n", "1", "1,0", "1,0\r\n", "1,0,", "1,0,\r\n\r\n", "1,\r\n"}) {
    EXPECT_EQ(ReadSettingsLine(bytes).status, ReadStatus::TooFewFields) << bytes;
  }
}

TEST(SettingsRead, StatesMustBeWholeNumbers) {
  for (const char* bytes :
       {"x,0,\"C:\\x\"", "1,y,\"C:\\x\"", "1.5,0,\"C:\\x\"", "1,0.0,\"C:\\x\"", ",0,\"C:\\x\"", "1,,\"C:\\x\"",
        "1 0,1,\"C:\\x\"", "+,0,\"C:\\x\"", "0x1,0,\"C:\\x\"", "\"\",0,\"C:\\x\"", "1e0,0,\"C:\\x\"",
        "\xEF\xBB"
        "1,0,\"C:\\x\""}) {
    EXPECT_EQ(ReadSettingsLine(bytes).status, ReadStatus::NotAWholeNumber) << bytes;
  }
}

TEST(SettingsRead, LargeStatesAreClampedNotWrapped) {
  ReadResult r = ReadSettingsLine("99999999999999999999999999,-99999999999999999999999999,\"C:\\x\"");
  ASSERT_EQ(r.status, ReadStatus::Ok);
  EXPECT_EQ(r.state1, kStateLimit);
  EXPECT_EQ(r.state2, -kStateLimit);
  // 2^32 + 1 and 2^16 + 1 must not turn into 1.
  r = ReadSettingsLine("4294967297,65537,\"C:\\x\"");
  EXPECT_EQ(r.state1, 4294967297LL);
  EXPECT_EQ(r.state2, 65537);
}

TEST(SettingsRead, NulBytesStayInTheField) {
  ReadResult r = ReadSettingsLine("1,0,\"C:\\x\0y\""s);
  ASSERT_EQ(r.status, ReadStatus::Ok);
  EXPECT_EQ(r.directory, "C:\\x\0y"s);
}

}  // namespace
}  // namespace fw::settings
