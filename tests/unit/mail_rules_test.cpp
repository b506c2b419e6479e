// The mail hand-off: the "mailto:" address and the keystroke sequence.
#include <gtest/gtest.h>

#include "image/mail_rules.h"

namespace fw::mail {
namespace {

TEST(MailAddress, CarriesThePathUnchangedAsTheSubject) {
  EXPECT_EQ(MailAddress("C:\\My Shots\\snap (1).bmp"), "mailto:?subject=C:\\My Shots\\snap (1).bmp&body=");
  EXPECT_EQ(MailAddress("C:\\a+b%20^~{x}[y].bmp"), "mailto:?subject=C:\\a+b%20^~{x}[y].bmp&body=");
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
