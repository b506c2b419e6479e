// Display scaling: twips and points at the usual scalings (100 %, 125 %,
// 150 %, 200 %), and what a DPI change message carries.
#include <gtest/gtest.h>

#include "platform/dpi_rules.h"
#include "platform/units.h"

namespace fw {
namespace {

TEST(DpiTwips, APixelIs15Then12Then10Then7AndAHalfTwips) {
  EXPECT_DOUBLE_EQ(units::TwipsPerPixel(96), 15.0);
  EXPECT_DOUBLE_EQ(units::TwipsPerPixel(120), 12.0);
  EXPECT_DOUBLE_EQ(units::TwipsPerPixel(144), 10.0);
  EXPECT_DOUBLE_EQ(units::TwipsPerPixel(192), 7.5);
}

// The main window's places at each scaling; halves go to the even
// neighbour, as everywhere in the layout. The twips are the window's own
// figures: its client area 9330 x 5835, a button 735 x 495, the strip 855
// high, the picture area's top 840, the Exit button's left 8400.
TEST(DpiTwips, TheMainWindowsPlacesAtEachScaling) {
  struct Case {
    int dpi;
    long clientWidth, clientHeight, buttonWidth, buttonHeight, stripHeight, areaTop, exitLeft;
  } cases[] = {
      {96, 622, 389, 49, 33, 57, 56, 560},
      {120, 778, 486, 61, 41, 71, 70, 700},  // 777.5, 486.25, 61.25, 41.25, 71.25
      {144, 933, 584, 74, 50, 86, 84, 840},  // 583.5, 73.5, 49.5, 85.5
      {192, 1244, 778, 98, 66, 114, 112, 1120},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dpi);
    EXPECT_EQ(units::TwipsToPixels(9330, c.dpi), c.clientWidth);
    EXPECT_EQ(units::TwipsToPixels(5835, c.dpi), c.clientHeight);
    EXPECT_EQ(units::TwipsToPixels(735, c.dpi), c.buttonWidth);
    EXPECT_EQ(units::TwipsToPixels(495, c.dpi), c.buttonHeight);
    EXPECT_EQ(units::TwipsToPixels(855, c.dpi), c.stripHeight);
    EXPECT_EQ(units::TwipsToPixels(840, c.dpi), c.areaTop);
    EXPECT_EQ(units::TwipsToPixels(8400, c.dpi), c.exitLeft);
  }
}

TEST(DpiFonts, PointsBecomePixelsAtTheWindowsDpi) {
  EXPECT_EQ(dpi::FontHeight(8.25, 96), -11);
  EXPECT_EQ(dpi::FontHeight(8.25, 120), -14);  // 13.75
  EXPECT_EQ(dpi::FontHeight(8.25, 144), -16);  // 16.5
  EXPECT_EQ(dpi::FontHeight(8.25, 192), -22);
  EXPECT_EQ(dpi::FontHeight(15.75, 96), -21);
  EXPECT_EQ(dpi::FontHeight(15.75, 144), -32);  // 31.5
  EXPECT_EQ(dpi::FontHeight(15.75, 192), -42);
  // A DPI that is none gives the 100 % height.
  EXPECT_EQ(dpi::FontHeight(8.25, 0), -11);
}

TEST(DpiChange, TheMessageCarriesTheNewDpiInItsLowWord) {
  EXPECT_EQ(dpi::FromDpiChanged(0x00900090u), 144);
  EXPECT_EQ(dpi::FromDpiChanged(0x00C000C0u), 192);
  EXPECT_EQ(dpi::FromDpiChanged(0x00600060u), 96);
  // Nothing usable: left alone.
  EXPECT_EQ(dpi::FromDpiChanged(0), 0);
  EXPECT_EQ(dpi::FromDpiChanged(0x00140014u), 0);  // 20
  EXPECT_EQ(dpi::FromDpiChanged(0xFFFFFFFFu), 0);
}

TEST(DpiChange, ReportedValuesThatAreNoDpiCountAs96) {
  EXPECT_EQ(dpi::Usable(0), 96);  // a failed call
  EXPECT_EQ(dpi::Usable(-1), 96);
  EXPECT_EQ(dpi::Usable(120), 120);
  EXPECT_EQ(dpi::Usable(480), 480);  // 500 %
  EXPECT_EQ(dpi::Usable(100000), 96);
}

TEST(DpiDrawing, LengthsDrawnInPixelsScaleWithTheDpi) {
  EXPECT_EQ(dpi::Scale(10, 96), 10);
  EXPECT_EQ(dpi::Scale(10, 144), 15);
  EXPECT_EQ(dpi::Scale(13, 144), 20);  // 19.5
  EXPECT_EQ(dpi::Scale(13, 120), 16);  // 16.25
  EXPECT_EQ(dpi::Scale(16, 192), 32);
}

}  // namespace
}  // namespace fw
