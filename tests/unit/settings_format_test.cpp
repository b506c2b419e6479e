// Writing and reading the settings line.
#include <gtest/gtest.h>

#include "output/settings_format.h"

#include <optional>
#include <string_view>
#include <utility>

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

// A single-byte code page made by hand for these tests: ASCII, and five
// characters at their Windows-1252 places (é E9, É C9, € 80, Ã C3, © A9).
// Everything else has no equivalent in it.
class HandMadeCodePage final : public CodePage {
 public:
  std::optional<std::string> FromUtf8(std::string_view utf8) const override {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
      if (static_cast<unsigned char>(utf8[i]) < 0x80) {
        out += utf8[i++];
        continue;
      }
      bool found = false;
      for (const auto& [byte, seq] : kTable) {
        if (utf8.substr(i, seq.size()) == seq) {
          out += byte;
          i += seq.size();
          found = true;
          break;
        }
      }
      if (!found) return std::nullopt;
    }
    return out;
  }
  std::string ToUtf8(std::string_view text) const override {
    std::string out;
    for (char c : text) {
      if (static_cast<unsigned char>(c) < 0x80) {
        out += c;
        continue;
      }
      std::string_view seq = "?";
      for (const auto& [byte, s] : kTable) {
        if (byte == c) seq = s;
      }
      out += seq;
    }
    return out;
  }

 private:
  static constexpr std::pair<char, std::string_view> kTable[] = {
      {'\xE9', "\xC3\xA9"}, {'\xC9', "\xC3\x89"}, {'\x80', "\xE2\x82\xAC"}, {'\xC3', "\xC3\x83"}, {'\xA9', "\xC2\xA9"},
  };
};

// "写真 Фото" in UTF-8.
constexpr std::string_view kPhotos = "\xE5\x86\x99\xE7\x9C\x9F \xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE";

TEST(SettingsFile, ADirectoryTheCodePageHoldsIsWrittenInItByteForByte) {
  HandMadeCodePage ansi;
  EXPECT_EQ(SettingsFileBytes(1, 0, "C:\\Shots", ansi), "1,0,\"C:\\Shots\"\r\n");
  EXPECT_EQ(SettingsFileBytes(1, 1, "C:\\Caf\xC3\xA9", ansi), "1,1,\"C:\\Caf\xE9\"\r\n");
  EXPECT_EQ(SettingsFileBytes(0, 1, "D:\\\xC3\x89t\xC3\xA9 \xE2\x82\xAC", ansi), "0,1,\"D:\\\xC9t\xE9 \x80\"\r\n");
}

TEST(SettingsFile, ADirectoryItCannotHoldIsWrittenAsUtf8AfterAByteOrderMark) {
  HandMadeCodePage ansi;
  EXPECT_EQ(SettingsFileBytes(0, 1, "C:\\" + std::string(kPhotos), ansi),
            "\xEF\xBB\xBF"
            "0,1,\"C:\\\xE5\x86\x99\xE7\x9C\x9F \xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE\"\r\n");
  // One such character puts the whole line in UTF-8, "é" included.
  EXPECT_EQ(SettingsFileBytes(1, 0, "C:\\Caf\xC3\xA9\\\xD0\xA4", ansi),
            "\xEF\xBB\xBF"
            "1,0,\"C:\\Caf\xC3\xA9\\\xD0\xA4\"\r\n");
}

TEST(SettingsFile, ReadsTheCodePageWithoutAMarkAndUtf8AfterOne) {
  HandMadeCodePage ansi;
  // As an earlier version wrote it.
  ReadResult old = ReadSettingsFile("1,0,\"Z:\\x\\Caf\xE9\"\r\n", ansi);
  ASSERT_EQ(old.status, ReadStatus::Ok);
  EXPECT_EQ(old.state1, 1);
  EXPECT_EQ(old.state2, 0);
  EXPECT_EQ(old.directory, "Z:\\x\\Caf\xC3\xA9");
  // Without a mark, bytes that would be UTF-8 are still the code page's.
  EXPECT_EQ(ReadSettingsFile("1,0,\"C:\\\xC3\xA9\"", ansi).directory, "C:\\\xC3\x83\xC2\xA9");
  // With one, the text is UTF-8 as it stands.
  ReadResult marked = ReadSettingsFile(
      "\xEF\xBB\xBF"
      "0,1,\"C:\\Caf\xC3\xA9\\\xE5\x86\x99\"\r\n",
      ansi);
  ASSERT_EQ(marked.status, ReadStatus::Ok);
  EXPECT_EQ(marked.state2, 1);
  EXPECT_EQ(marked.directory, "C:\\Caf\xC3\xA9\\\xE5\x86\x99");
  EXPECT_EQ(ReadSettingsFile("1,0", ansi).status, ReadStatus::TooFewFields);
  EXPECT_EQ(ReadSettingsFile("\xEF\xBB\xBFx,0,\"C:\\\"", ansi).status, ReadStatus::NotAWholeNumber);
}

TEST(SettingsFile, WhatApplyWritesReadsBackWhole) {
  HandMadeCodePage ansi;
  for (std::string dir : {"C:\\Shots"s, "C:\\Caf\xC3\xA9"s, "C:\\" + std::string(kPhotos), "\\\\srv\\\xE2\x82\xAC, x"s,
                          "C:\\\xF0\x9F\x98\x80"s}) {
    ReadResult r = ReadSettingsFile(SettingsFileBytes(1, 0, dir, ansi), ansi);
    ASSERT_EQ(r.status, ReadStatus::Ok) << dir;
    EXPECT_EQ(r.state1, 1);
    EXPECT_EQ(r.state2, 0);
    EXPECT_EQ(r.directory, dir);
  }
}

}  // namespace
}  // namespace fw::settings
