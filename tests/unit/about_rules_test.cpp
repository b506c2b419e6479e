// Reading a registry value as text, finding the System Information tool and
// the help page's path.
#include <gtest/gtest.h>

#include <set>

#include "about/about_rules.h"

namespace fw::about {
namespace {

std::string Bytes(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s.push_back(static_cast<char>(b));
  return s;
}

TEST(RegistryValueText, DropsOneTrailingNulOnly) {
  std::string sz = Bytes({'a', 'b', 0});
  EXPECT_EQ(ValueBytesToText(sz.data(), sz.size()), "ab");
  // Without a terminator every byte counts.
  EXPECT_EQ(ValueBytesToText("abc", 3), "abc");
  // A second NUL belongs to the text.
  std::string two = Bytes({'a', 0, 0});
  EXPECT_EQ(ValueBytesToText(two.data(), two.size()), Bytes({'a', 0}));
  // Only `size` bytes are looked at, whatever follows them in the buffer.
  EXPECT_EQ(ValueBytesToText("abcdef", 2), "ab");
  EXPECT_EQ(ValueBytesToText("x", 0), "");
  EXPECT_EQ(ValueBytesToText(nullptr, 5), "");
}

TEST(RegistryValueText, AFullBufferStringLosesItsTerminator) {
  std::string buffer(kValueBufferSize, 'p');
  buffer.back() = '\0';
  EXPECT_EQ(ValueBytesToText(buffer.data(), buffer.size()), std::string(kValueBufferSize - 1, 'p'));
}

TEST(RegistryValueByType, StringsAreTakenAsTheyAre) {
  EXPECT_EQ(ValueForType(kRegSz, "C:\\Tools\\msinfo32.exe", "ignored"), "C:\\Tools\\msinfo32.exe");
  EXPECT_EQ(ValueForType(kRegSz, "", "ignored"), "");
}

TEST(RegistryValueByType, DwordsReadAsHexFromTheLastByte) {
  // 0x105 is stored 05 01 00 00; the NUL rule drops the last zero byte.
  std::string stored = Bytes({0x05, 0x01, 0x00, 0x00});
  std::string text = ValueBytesToText(stored.data(), stored.size());
  EXPECT_EQ(ValueForType(kRegDword, text, ""), "&h015");

  // Upper case, no leading zero within a byte.
  EXPECT_EQ(ValueForType(kRegDword, Bytes({0x1F, 0x0A, 0xFF}), ""), "&hFFA1F");
  EXPECT_EQ(ValueForType(kRegDword, Bytes({0x00}), ""), "&h0");
  EXPECT_EQ(ValueForType(kRegDword, "", ""), "&h");
  // The digits follow whatever the caller passed in.
  EXPECT_EQ(ValueForType(kRegDword, Bytes({0x10}), "7"), "&h710");
}

TEST(RegistryValueByType, OtherTypesLeaveTheCallersValue) {
  EXPECT_EQ(ValueForType(2 /* REG_EXPAND_SZ */, "C:\\x", "before"), "before");
  EXPECT_EQ(ValueForType(3 /* REG_BINARY */, "C:\\x", ""), "");
}

TEST(SysInfoPath, TheFirstValueWinsWithoutLookingForTheFile) {
  int looked = 0;
  auto exists = [&](const std::string&) {
    ++looked;
    return false;
  };
  EXPECT_EQ(SysInfoPath(std::string("D:\\gone\\tool.exe"), std::string("C:\\Tools"), exists), "D:\\gone\\tool.exe");
  EXPECT_EQ(looked, 0);
  // An empty value that was read is still the path to start.
  EXPECT_EQ(SysInfoPath(std::string(), std::nullopt, exists), "");
}

TEST(SysInfoPath, TheDirectoryCountsOnlyWhenTheToolIsThere) {
  std::set<std::string> files{"C:\\Tools\\MSINFO32.EXE"};
  auto exists = [&](const std::string& p) { return files.count(p) > 0; };
  EXPECT_EQ(SysInfoPath(std::nullopt, std::string("C:\\Tools"), exists), "C:\\Tools\\MSINFO32.EXE");
  EXPECT_EQ(SysInfoPath(std::nullopt, std::string("C:\\Other"), exists), std::nullopt);
  EXPECT_EQ(SysInfoPath(std::nullopt, std::nullopt, exists), std::nullopt);
}

TEST(SysInfoPath, CommandLineQuotesThePath) {
  EXPECT_EQ(CommandLineFor("C:\\Program Files\\Tool\\msinfo32.exe"), "\"C:\\Program Files\\Tool\\msinfo32.exe\"");
}

TEST(HelpPage, LiesBesideTheProgram) {
  EXPECT_EQ(HelpPagePath("C:\\Program Files\\Framewick"), "C:\\Program Files\\Framewick\\help.htm");
}

}  // namespace
}  // namespace fw::about
