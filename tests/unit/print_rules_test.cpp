// Page placement of a printed picture: orientation, unit conversions and
// the fill-the-width-or-height rule.
#include <gtest/gtest.h>

#include "output/print_rules.h"

namespace fw::print {
namespace {

// A captured bitmap's size as the picture object reports it (HIMETRIC at
// 96 pixels per inch, rounded).
constexpr std::int32_t Himetric(int pixels) {
  return static_cast<std::int32_t>((pixels * 2540LL + 48) / 96);
}

constexpr Page kLandscapeCm{27.7f, 19.0f, ScaleMode::Centimeter, 300, 300};
constexpr Page kPortraitCm{19.0f, 27.7f, ScaleMode::Centimeter, 300, 300};
// A4 at 300 dpi as the PostScript driver measures it, in device pixels.
constexpr Page kA4LandscapePx{3508, 2479, ScaleMode::Pixel, 300, 300};
constexpr Page kA4PortraitPx{2479, 3508, ScaleMode::Pixel, 300, 300};

TEST(PrintOrientation, TallAndSquarePicturesPrintPortraitWideOnesLandscape) {
  EXPECT_EQ(OrientationFor(Himetric(1024), Himetric(768)), Orientation::Landscape);
  EXPECT_EQ(OrientationFor(Himetric(300), Himetric(600)), Orientation::Portrait);
  EXPECT_EQ(OrientationFor(5000, 5000), Orientation::Portrait);
  EXPECT_EQ(OrientationFor(5001, 5000), Orientation::Landscape);
  EXPECT_EQ(OrientationFor(0, 0), Orientation::Portrait);  // an empty picture fails later, at the ratio
  EXPECT_EQ(static_cast<short>(Orientation::Portrait), 1);
  EXPECT_EQ(static_cast<short>(Orientation::Landscape), 2);
}

TEST(PrintUnits, LengthsConvertThroughInchesInEachAxisOwnResolution) {
  EXPECT_FLOAT_EQ(ScaleLength(96, ScaleMode::Pixel, ScaleMode::Twip, 96), 1440);
  EXPECT_FLOAT_EQ(ScaleLength(300, ScaleMode::Pixel, ScaleMode::Himetric, 300), 2540);
  EXPECT_FLOAT_EQ(ScaleLength(2540, ScaleMode::Himetric, ScaleMode::Pixel, 600), 600);
  EXPECT_FLOAT_EQ(ScaleLength(27.7f, ScaleMode::Centimeter, ScaleMode::Himetric, 0), 27700);
  EXPECT_FLOAT_EQ(ScaleLength(72, ScaleMode::Point, ScaleMode::Millimeter, 0), 25.4f);
  EXPECT_FLOAT_EQ(ScaleLength(1, ScaleMode::Inch, ScaleMode::Point, 0), 72);
  // A device that reports no resolution converts nothing.
  EXPECT_EQ(ScaleLength(100, ScaleMode::Pixel, ScaleMode::Himetric, 0), 0);
  EXPECT_EQ(DeviceLength(3305.4f, ScaleMode::Pixel, 300), 3305);
  EXPECT_EQ(DeviceLength(3305.5f, ScaleMode::Pixel, 300), 3306);
  EXPECT_EQ(DeviceLength(2.54f, ScaleMode::Centimeter, 300), 300);
}

TEST(PrintPlacement, ScreenCaptureOnALandscapePageFillsTheHeight) {
  // 1024 x 768 on 27.7 x 19.0 cm: P = 1.333 < R = 1.458.
  auto p = PlacePicture(Himetric(1024), Himetric(768), kLandscapeCm);
  ASSERT_TRUE(p);
  EXPECT_FALSE(p->fillsWidth);
  EXPECT_NEAR(p->height, 19.0, 1e-4);
  EXPECT_NEAR(p->width, 25.33, 0.01);  // an empty strip of 2.4 cm on the right

  // The same on the PostScript driver's A4, in its device pixels.
  auto px = PlacePicture(Himetric(1024), Himetric(768), kA4LandscapePx);
  ASSERT_TRUE(px);
  EXPECT_FALSE(px->fillsWidth);
  EXPECT_EQ(DeviceLength(px->height, ScaleMode::Pixel, 300), 2479);
  EXPECT_EQ(DeviceLength(px->width, ScaleMode::Pixel, 300), 3305);  // 2479 * 4 / 3
}

TEST(PrintPlacement, TallPictureOnAPortraitPageFillsTheHeight) {
  // 300 x 600 on 19.0 x 27.7 cm: P = 0.5 < R = 0.686.
  auto p = PlacePicture(Himetric(300), Himetric(600), kPortraitCm);
  ASSERT_TRUE(p);
  EXPECT_FALSE(p->fillsWidth);
  EXPECT_NEAR(p->height, 27.7, 1e-4);
  EXPECT_NEAR(p->width, 13.85, 0.01);
}

TEST(PrintPlacement, SquareAndWidePicturesFillTheWidth) {
  auto square = PlacePicture(5000, 5000, kPortraitCm);
  ASSERT_TRUE(square);
  EXPECT_TRUE(square->fillsWidth);
  EXPECT_NEAR(square->width, 19.0, 1e-4);
  EXPECT_NEAR(square->height, 19.0, 1e-4);

  auto squarePx = PlacePicture(Himetric(200), Himetric(200), kA4PortraitPx);
  ASSERT_TRUE(squarePx);
  EXPECT_EQ(DeviceLength(squarePx->width, ScaleMode::Pixel, 300), 2479);
  EXPECT_EQ(DeviceLength(squarePx->height, ScaleMode::Pixel, 300), 2479);

  // Four times as wide as high on landscape A4: a strip below it.
  auto wide = PlacePicture(Himetric(400), Himetric(100), kA4LandscapePx);
  ASSERT_TRUE(wide);
  EXPECT_TRUE(wide->fillsWidth);
  EXPECT_EQ(DeviceLength(wide->width, ScaleMode::Pixel, 300), 3508);
  EXPECT_EQ(DeviceLength(wide->height, ScaleMode::Pixel, 300), 877);
}

TEST(PrintPlacement, ExactlyProportionedPictureFillsTheWholeAreaByTheWidthRule) {
  auto p = PlacePicture(2770, 1900, kLandscapeCm);
  ASSERT_TRUE(p);
  EXPECT_TRUE(p->fillsWidth);
  EXPECT_NEAR(p->width, 27.7, 1e-4);
  EXPECT_NEAR(p->height, 19.0, 1e-4);

  // The page's own shape in HIMETRIC, on the page in device pixels.
  auto px = PlacePicture(29700, 20988, kA4LandscapePx);
  ASSERT_TRUE(px);
  EXPECT_EQ(DeviceLength(px->width, ScaleMode::Pixel, 300), 3508);
  EXPECT_EQ(DeviceLength(px->height, ScaleMode::Pixel, 300), 2479);
}

TEST(PrintPlacement, NothingToPlaceWithoutAPictureSizeOrAPrintableArea) {
  EXPECT_FALSE(PlacePicture(0, 0, kLandscapeCm));
  EXPECT_FALSE(PlacePicture(1000, 0, kLandscapeCm));
  EXPECT_FALSE(PlacePicture(0, 1000, kLandscapeCm));
  EXPECT_FALSE(PlacePicture(-5, 100, kLandscapeCm));
  EXPECT_FALSE(PlacePicture(1000, 1000, Page{0, 0, ScaleMode::Pixel, 300, 300}));
  EXPECT_FALSE(PlacePicture(1000, 1000, Page{2479, 3508, ScaleMode::Pixel, 0, 0}));
}

}  // namespace
}  // namespace fw::print
