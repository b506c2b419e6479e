// The format a file's name asks for, the options the JPEG encoder is
// handed, the bands a save works in, and the unpacking of palette rows.
#include <gtest/gtest.h>

#include <vector>

#include "image/image_file_rules.h"

namespace fw::imagefile {
namespace {

TEST(FormatForName, EachExtensionOfTheTableInAnyCaseGivesItsFormat) {
  struct Case {
    const char* name;
    FileFormat format;
  } cases[] = {
      {"C:\\shots\\shot.png", FileFormat::Png},
      {"shot.PNG", FileFormat::Png},
      {"shot.jpg", FileFormat::Jpeg},
      {"shot.JPG", FileFormat::Jpeg},
      {"shot.jpeg", FileFormat::Jpeg},
      {"shot.Jpe", FileFormat::Jpeg},
      {"shot.jfif", FileFormat::Jpeg},
      {"shot.gif", FileFormat::Gif},
      {"shot.tif", FileFormat::Tiff},
      {"shot.TIFF", FileFormat::Tiff},
      {"C:\\a.b\\snap12.jpg", FileFormat::Jpeg},
      {"./relative/shot.gif", FileFormat::Gif},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatForName(c.name), c.format) << c.name;
}

TEST(FormatForName, BmpNoExtensionAndUnknownExtensionsKeepThePicturesOwnFormat) {
  for (const char* name : {"shot.bmp", "shot.BMP", "no extension", "C:\\dir.png\\shot", "shot.xyz", "shot.wmf",
                           "shot.emf", "shot.png.txt", "shot.pn", "shot.pngx", "shot.", "shot.jp g", "", "C:\\"}) {
    EXPECT_EQ(FormatForName(name), FileFormat::Own) << name;
  }
}

TEST(FormatForName, OnlyTheLastDotOfTheLastPartCounts) {
  EXPECT_EQ(FormatForName("shot.png.bmp"), FileFormat::Own);
  EXPECT_EQ(FormatForName("shot.bmp.png"), FileFormat::Png);
  EXPECT_EQ(FormatForName(".png"), FileFormat::Png);  // a name that is all extension, as Windows sees it
}

TEST(EncoderOptions, JpegIsHandedQualityNinetyHundredthsAndFullResolutionChroma) {
  std::vector<EncoderOption> jpeg = EncoderOptionsFor(FileFormat::Jpeg);
  ASSERT_EQ(jpeg.size(), 2u);
  // The names and types the system's JPEG encoder documents for its
  // property bag: ImageQuality a VT_R4 in 0..1, JpegYCrCbSubsampling a
  // VT_UI1 of WICJpegYCrCbSubsamplingOption (4:4:4 is 3).
  EXPECT_EQ(jpeg[0].name, "ImageQuality");
  EXPECT_EQ(jpeg[0].variantType, 4);
  EXPECT_FLOAT_EQ(jpeg[0].real, 0.90f);
  EXPECT_EQ(jpeg[1].name, "JpegYCrCbSubsampling");
  EXPECT_EQ(jpeg[1].variantType, 17);
  EXPECT_EQ(jpeg[1].byte, 3);
  for (FileFormat other : {FileFormat::Png, FileFormat::Gif, FileFormat::Tiff, FileFormat::Own}) {
    EXPECT_TRUE(EncoderOptionsFor(other).empty());
  }
}

TEST(BandRows, ABandHoldsAtMostOneMegabyteAndAtLeastOneRow) {
  EXPECT_EQ(BandRows(1920 * 3, 1080), 182);  // 1,048,576 / 5,760
  EXPECT_EQ(BandRows(3840 * 4, 2160), 68);
  EXPECT_EQ(BandRows(1024, 100), 100);   // the whole picture fits
  EXPECT_EQ(BandRows(4u << 20, 10), 1);  // one row is more than a megabyte
  EXPECT_EQ(BandRows(1u << 20, 10), 1);
  EXPECT_EQ(BandRows(0, 10), 10);
  EXPECT_EQ(BandRows(100, 0), 0);
}

TEST(BottomUpStart, BandsFromTheTopMeetTheScanLinesFromTheBottom) {
  // A picture 10 rows high in bands of 4: rows 0-3, 4-7, 8-9 from the top
  // are scan lines 6-9, 2-5 and 0-1 from the bottom.
  EXPECT_EQ(BottomUpStart(10, 0, 4), 6);
  EXPECT_EQ(BottomUpStart(10, 4, 4), 2);
  EXPECT_EQ(BottomUpStart(10, 8, 2), 0);
  EXPECT_EQ(BottomUpStart(1, 0, 1), 0);
}

TEST(UnpackIndices, OneFourAndEightBitRowsGiveOneIndexAPixelLeftmostInTheHighBits) {
  std::vector<std::uint8_t> out(10);
  const std::uint8_t mono[] = {0b10110000, 0b01000000};
  UnpackIndices(mono, 1, 10, out.data());
  EXPECT_EQ(out, (std::vector<std::uint8_t>{1, 0, 1, 1, 0, 0, 0, 0, 0, 1}));

  std::vector<std::uint8_t> four(5);
  const std::uint8_t nibbles[] = {0x1F, 0xA0, 0x70};
  UnpackIndices(nibbles, 4, 5, four.data());
  EXPECT_EQ(four, (std::vector<std::uint8_t>{1, 15, 10, 0, 7}));

  std::vector<std::uint8_t> eight(3);
  const std::uint8_t bytes[] = {200, 0, 17};
  UnpackIndices(bytes, 8, 3, eight.data());
  EXPECT_EQ(eight, (std::vector<std::uint8_t>{200, 0, 17}));
}

}  // namespace
}  // namespace fw::imagefile
