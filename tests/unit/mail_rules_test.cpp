// The mail hand-off: the "mailto:" address and the keystroke sequence.
#include <gtest/gtest.h>

#include "image/mail_rules.h"

namespace fw::mail {
namespace {

TEST(MailAddress, CarriesThePathPercentEncodedAsTheSubject) {
  EXPECT_EQ(MailAddress("C:\\My Shots\\snap (1).bmp"), "mailto:?subject=C:%5CMy%20Shots%5Csnap%20(1).bmp&body=");
  // What would end the subject or the address, or change its bytes.
  EXPECT_EQ(MailAddress("C:\\a&b=c%20#d?e+f.bmp"), "mailto:?subject=C:%5Ca%26b%3Dc%2520%23d%3Fe%2Bf.bmp&body=");
}

TEST(MailAddress, ANameBeyondAsciiGoesAsItsUtf8Bytes) {
  // RFC 6068, section 6.2: "caf%C3%A9" for "café", and "%E7%B4%8D%E8%B1%86"
  // for "納豆".
  EXPECT_EQ(PercentEncode("caf\xC3\xA9"), "caf%C3%A9");
  EXPECT_EQ(PercentEncode("\xE7\xB4\x8D\xE8\xB1\x86"), "%E7%B4%8D%E8%B1%86");
  // "写真 Фото.png" (U+5199 U+771F, U+0424 U+043E U+0442 U+043E): each
  // UTF-8 byte as "%" and two upper-case digits (RFC 3986, section 2.1).
  EXPECT_EQ(MailAddress("C:\\\xE5\x86\x99\xE7\x9C\x9F \xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE.png"),
            "mailto:?subject=C:%5C%E5%86%99%E7%9C%9F%20%D0%A4%D0%BE%D1%82%D0%BE.png&body=");
}

TEST(PercentEncode, KeepsOnlyWhatAHeaderValueMayHold) {
  EXPECT_EQ(PercentEncode("AZaz09-._~!$'()*,;:@"), "AZaz09-._~!$'()*,;:@");
  EXPECT_EQ(PercentEncode("^{}[]|\"<>`"), "%5E%7B%7D%5B%5D%7C%22%3C%3E%60");
  // Bytes past ASCII, and control bytes, each on its own.
  EXPECT_EQ(PercentEncode(std::string("\xE9\xFF\x01", 3)), "%E9%FF%01");
  EXPECT_EQ(PercentEncode(std::string("a\0b", 3)), "a%00b");
  EXPECT_EQ(PercentEncode(""), "");
}

TEST(PercentEncode, EveryByteComesBackWhole) {
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  std::string encoded = PercentEncode(all);
  std::string decoded;
  for (std::size_t i = 0; i < encoded.size(); ++i) {
    if (encoded[i] == '%') {
      ASSERT_LT(i + 2, encoded.size());
      decoded += static_cast<char>(std::stoi(encoded.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      decoded += encoded[i];
    }
  }
  EXPECT_EQ(decoded, all);
  for (char forbidden : std::string(" &#?=+%\\")) {
    std::size_t at = encoded.find(forbidden);
    // Only the escapes' own "%" remain.
    if (forbidden == '%') continue;
    EXPECT_EQ(at, std::string::npos) << forbidden;
  }
}

TEST(AttachKeystrokes, AttachThenClearTheSubject) {
  const std::string path = "C:\\Shots\\one.bmp";
  auto keys = AttachKeystrokes(path);
  EXPECT_EQ(Notation(keys), "%iaC:\\Shots\\one.bmp{TAB}{TAB}{ENTER}{TAB}{TAB}^a{DEL}");
  ASSERT_EQ(keys.size(), 10u);
  EXPECT_EQ(keys[0], Keystroke::Press(Key::I, true, false));
  EXPECT_EQ(keys[1], Keystroke::Press(Key::A));
  EXPECT_EQ(keys[8], Keystroke::Press(Key::A, false, true));
  EXPECT_EQ(keys[9], Keystroke::Press(Key::Delete));
}

TEST(AttachKeystrokes, ThePathIsOneLiteralTextStep) {
  // Characters the keystroke notation treats specially stay text: only the
  // named steps are key presses.
  const std::string path = "C:\\a+b^c%d~e(f){g}[h] i.bmp";
  auto keys = AttachKeystrokes(path);
  int texts = 0;
  for (const auto& k : keys) {
    if (k.kind == Keystroke::Kind::Text) {
      ++texts;
      EXPECT_EQ(k.text, path);
    }
  }
  EXPECT_EQ(texts, 1);
  EXPECT_EQ(keys[2], Keystroke::Type(path));
}

}  // namespace
}  // namespace fw::mail
