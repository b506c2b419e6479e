// The notification icon's tip field and the meaning of its callback
// messages.
#include <gtest/gtest.h>

#include <string>

#include "tray/tray_rules.h"

namespace fw::tray {
namespace {

std::u16string Kept(const TipField& field) {
  return std::u16string(field.data());  // up to the NUL
}

// Everything after the NUL is spaces, to the end of the field.
bool SpacesAfterNul(const TipField& field, std::size_t nul) {
  for (std::size_t i = nul + 1; i < field.size(); ++i)
    if (field[i] != u' ') return false;
  return true;
}

TEST(TipField, ShortTextIsFollowedByANulAndSpaces) {
  TipField field = BuildTipField(u"Framewick");
  EXPECT_EQ(Kept(field), u"Framewick");
  EXPECT_EQ(field[9], u'\0');
  EXPECT_TRUE(SpacesAfterNul(field, 9));

  TipField empty = BuildTipField(u"");
  EXPECT_EQ(empty[0], u'\0');
  EXPECT_TRUE(SpacesAfterNul(empty, 0));
}

TEST(TipField, SixtyThreeCharactersAreKeptWhole) {
  std::u16string text(63, u'a');
  text[0] = u'B';
  text[62] = u'z';
  TipField field = BuildTipField(text);
  EXPECT_EQ(Kept(field), text);
  EXPECT_EQ(field[63], u'\0');
}

TEST(TipField, LongerTextsLoseTheirEndSoTheFieldKeepsItsNul) {
  for (std::size_t length : {64u, 65u, 100u}) {
    std::u16string text;
    for (std::size_t i = 0; i < length; ++i) text.push_back(static_cast<char16_t>(u'A' + i % 26));
    TipField field = BuildTipField(text);
    EXPECT_EQ(Kept(field), text.substr(0, 63)) << length;
    EXPECT_EQ(field[63], u'\0') << length;
  }
}

TEST(TipField, ACharacterBeyondU_FFFFIsNeverCutInHalf) {
  // Japanese text longer than the field: 63 of its units are kept.
  std::u16string text(70, u'\u5199');  // 写
  TipField cut = BuildTipField(text);
  EXPECT_EQ(Kept(cut), text.substr(0, 63));
  EXPECT_EQ(cut[63], u'\0');
  // U+1F600 (a surrogate pair) as the 63rd and 64th units goes whole, not
  // its first half.
  std::u16string pair = std::u16string(62, u'a') + u"\U0001F600" + u"b";
  ASSERT_EQ(pair.size(), 65u);
  TipField whole = BuildTipField(pair);
  EXPECT_EQ(Kept(whole), std::u16string(62, u'a'));
  EXPECT_TRUE(SpacesAfterNul(whole, 62));
  // Ending right after the pair, it is kept.
  std::u16string fits = std::u16string(61, u'a') + u"\U0001F600";
  EXPECT_EQ(Kept(BuildTipField(fits)), fits);
}

TEST(Callback, ReleasesOfTheLeftAndRightButtonAct) {
  EXPECT_EQ(ActionFor(kTrayCallbackMessage, 0x0202), CallbackAction::ShowWindow);
  EXPECT_EQ(ActionFor(kTrayCallbackMessage, 0x0205), CallbackAction::PopupMenu);
}

TEST(Callback, MovesPressesAndDoubleClicksArePassedOn) {
  // WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN,
  // WM_RBUTTONDBLCLK, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_CONTEXTMENU.
  for (std::uint64_t mouse : {0x200u, 0x201u, 0x203u, 0x204u, 0x206u, 0x207u, 0x208u, 0x7Bu})
    EXPECT_EQ(ActionFor(kTrayCallbackMessage, mouse), CallbackAction::PassOn) << mouse;
  // The newer form of the callback packs the icon id into the high word;
  // this icon never asks for it, so such a value is not a release.
  EXPECT_EQ(ActionFor(kTrayCallbackMessage, 0x00000202u | (1u << 16)), CallbackAction::PassOn);
  EXPECT_EQ(ActionFor(kTrayCallbackMessage, 0xFFFFFFFFFFFFFFFFull), CallbackAction::PassOn);
}

TEST(Callback, OtherMessagesArePassedOnWhateverTheirLParam) {
  EXPECT_EQ(ActionFor(0x0312, 0x0202), CallbackAction::PassOn);  // WM_HOTKEY
  EXPECT_EQ(ActionFor(kTrayCallbackMessage - 1, 0x0205), CallbackAction::PassOn);
  EXPECT_EQ(ActionFor(kTrayCallbackMessage + 1, 0x0202), CallbackAction::PassOn);
}

}  // namespace
}  // namespace fw::tray
