// Unit conversions, the main window's layout and its resize rule.
#include <gtest/gtest.h>

#include <string>

#include "app/layout_rules.h"
#include "platform/units.h"

namespace fw {
namespace {

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(units::RoundHalfEven(2.5), 2);
  EXPECT_EQ(units::RoundHalfEven(3.5), 4);
  EXPECT_EQ(units::RoundHalfEven(0.5), 0);
  EXPECT_EQ(units::RoundHalfEven(-2.5), -2);
  EXPECT_EQ(units::RoundHalfEven(-3.5), -4);
  EXPECT_EQ(units::RoundHalfEven(2.4999), 2);
  EXPECT_EQ(units::RoundHalfEven(2.5001), 3);
  EXPECT_EQ(units::RoundHalfEven(-0.4), 0);
  EXPECT_EQ(units::RoundHalfEven(7.0), 7);
}

TEST(Twips, FifteenTwipsMakeAPixelAt96Dpi) {
  EXPECT_DOUBLE_EQ(units::TwipsPerPixel(96), 15.0);
  EXPECT_DOUBLE_EQ(units::TwipsPerPixel(120), 12.0);
  EXPECT_EQ(units::TwipsToPixels(9330, 96), 622);
  EXPECT_EQ(units::TwipsToPixels(5835, 96), 389);
  EXPECT_EQ(units::TwipsToPixels(735, 96), 49);
  EXPECT_EQ(units::TwipsToPixels(495, 96), 33);
  // 7.5 px and 8.5 px round to 8.
  EXPECT_EQ(units::TwipsToPixels(112.5, 96), 8);
  EXPECT_EQ(units::TwipsToPixels(127.5, 96), 8);
  EXPECT_EQ(units::TwipsToPixels(735, 120), 61);  // 61.25
}

TEST(Layout, StripButtonsRunLeftToRightInsideTheStrip) {
  long previousLeft = -1;
  for (const auto& b : layout::kStripButtons) {
    EXPECT_GT(b.place.left, previousLeft) << b.name;
    previousLeft = b.place.left;
    EXPECT_LE(b.place.left + b.place.width, layout::kPicture2Place.width) << b.name;
    EXPECT_LE(b.place.top + b.place.height, layout::kPicture2Place.height) << b.name;
  }
  EXPECT_EQ(layout::kStripButtons.front().caption, "Screen");
  EXPECT_EQ(layout::kStripButtons.back().caption, "Exit");
}

TEST(Menus, UnavailableEntriesAndShortcutsAreAsTheUserSeesThem) {
  ASSERT_EQ(std::size(layout::kMenuBar), 4u);
  const auto& shortcuts = layout::kMenuBar[1];
  EXPECT_EQ(shortcuts.caption, "Shortcuts");
  EXPECT_FALSE(shortcuts.enabled);
  std::string disabled, keys;
  for (const auto& menu : layout::kMenuBar) {
    for (int i = 0; i < menu.count; ++i) {
      if (!menu.items[i].enabled) disabled += std::string(menu.items[i].name) + " ";
      if (!menu.items[i].shortcut.empty()) keys += std::string(menu.items[i].shortcut) + " ";
    }
  }
  EXPECT_EQ(disabled, "sdform kjhkjh keys ");
  EXPECT_EQ(keys, "Ctrl+S Ctrl+Shift+S Ctrl+F Ctrl+C Ctrl+W Ctrl+A ");
  EXPECT_EQ(layout::kMenuBar[0].items[2].caption, "Exit");
  EXPECT_EQ(layout::kMenuBar[3].items[2].caption, "Version Info");
}

TEST(ResizeRule, PictureAreaFollowsTheWindow) {
  auto s = layout::ResizePictureArea(9600, 7000, false);
  ASSERT_TRUE(s.width && s.height);
  EXPECT_EQ(*s.width, 9500);
  EXPECT_EQ(*s.height, 7000 - 1540);
}

TEST(ResizeRule, TooShortKeepsTheHeightButNotTheWidth) {
  auto s = layout::ResizePictureArea(6000, 1539, false);
  EXPECT_FALSE(s.height.has_value());
  ASSERT_TRUE(s.width.has_value());
  EXPECT_EQ(*s.width, 5900);
  // Exactly the limit gives a zero height, which is allowed.
  s = layout::ResizePictureArea(6000, 1540, false);
  ASSERT_TRUE(s.height.has_value());
  EXPECT_EQ(*s.height, 0);
}

TEST(ResizeRule, TooNarrowKeepsTheWidth) {
  auto s = layout::ResizePictureArea(99, 5000, false);
  EXPECT_FALSE(s.width.has_value());
  EXPECT_TRUE(s.height.has_value());
}

TEST(ResizeRule, NothingChangesWhileMinimised) {
  auto s = layout::ResizePictureArea(9600, 7000, true);
  EXPECT_FALSE(s.width.has_value());
  EXPECT_FALSE(s.height.has_value());
}

}  // namespace
}  // namespace fw
