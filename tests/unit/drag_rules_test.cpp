// Resizing Image1 by dragging on it.
#include <gtest/gtest.h>

#include "image/drag_rules.h"

namespace fw::drag {
namespace {

TEST(ImageDrag, MovesResizeOnlyWhileAButtonIsHeld) {
  ImageDrag d;
  EXPECT_FALSE(d.OnMouse(Mouse::Move, 50, 40)) << "no button down yet";
  EXPECT_FALSE(d.OnMouse(Mouse::Down, 5, 5));
  auto box = d.OnMouse(Mouse::Move, 120, 90);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->left, 0);
  EXPECT_EQ(box->top, 0);
  EXPECT_EQ(box->width, 120);
  EXPECT_EQ(box->height, 90);
  EXPECT_FALSE(d.OnMouse(Mouse::Up, 120, 90));
  EXPECT_FALSE(d.OnMouse(Mouse::Move, 200, 200)) << "released";
}

TEST(ImageDrag, PointerLeftOfOrAboveTheImageGivesZeroNotNegative) {
  ImageDrag d;
  d.OnMouse(Mouse::Down, 0, 0);
  auto box = d.OnMouse(Mouse::Move, -30, 40);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->width, 0);
  EXPECT_EQ(box->height, 40);
  box = d.OnMouse(Mouse::Move, 10, -1);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->width, 10);
  EXPECT_EQ(box->height, 0);
}

}  // namespace
}  // namespace fw::drag
