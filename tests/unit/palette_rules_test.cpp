// The 256-colour palette made for a GIF of a true-colour picture, and the
// mapping of its pixels to it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <set>
#include <vector>

#include "image/palette_rules.h"

namespace fw::palette {
namespace {

// A row of 24-bit pixels as GetDIBits gives them: blue, green, red.
std::vector<std::uint8_t> BgrRow(const std::vector<Colour>& pixels) {
  std::vector<std::uint8_t> row;
  for (const Colour& c : pixels) row.insert(row.end(), {c.blue, c.green, c.red});
  return row;
}

// Counts the pixels (as rows of `perRow`), makes the palette and maps every
// pixel; returns the colour each pixel gets back.
std::vector<Colour> RoundTrip(const std::vector<Colour>& pixels, std::size_t perRow,
                              std::vector<Colour>* made = nullptr, bool* exact = nullptr) {
  ColourCount count;
  for (std::size_t at = 0; at < pixels.size(); at += perRow) {
    std::vector<Colour> part(pixels.begin() + static_cast<std::ptrdiff_t>(at),
                             pixels.begin() + static_cast<std::ptrdiff_t>(std::min(at + perRow, pixels.size())));
    count.AddBgrRow(BgrRow(part).data(), static_cast<int>(part.size()));
  }
  std::vector<Colour> palette = count.MakePalette();
  if (made) *made = palette;
  if (exact) *exact = count.Exact();
  Mapper mapper(count, palette);
  std::vector<std::uint8_t> bgr = BgrRow(pixels);
  std::vector<std::uint8_t> indices(pixels.size());
  mapper.MapBgrRow(bgr.data(), static_cast<int>(pixels.size()), indices.data());
  std::vector<Colour> back;
  for (std::uint8_t i : indices) {
    EXPECT_LT(i, palette.size());
    back.push_back(palette[i < palette.size() ? i : 0]);
  }
  return back;
}

TEST(Palette, APictureOfAtMost256ColoursKeepsEveryPixelsColour) {
  std::mt19937 random(7);
  std::vector<Colour> distinct;
  std::set<std::uint32_t> seen;
  while (distinct.size() < 256) {
    Colour c{static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random()),
             static_cast<std::uint8_t>(random())};
    if (seen.insert((c.red << 16) | (c.green << 8) | c.blue).second) distinct.push_back(c);
  }
  // Runs of one colour and single pixels, over rows of 37 pixels.
  std::vector<Colour> pixels;
  for (int i = 0; i < 5000; ++i) {
    const Colour& c = distinct[random() % distinct.size()];
    pixels.insert(pixels.end(), 1 + random() % 9, c);
  }
  for (const Colour& c : distinct) pixels.push_back(c);
  std::vector<Colour> made;
  bool exact = false;
  EXPECT_EQ(RoundTrip(pixels, 37, &made, &exact), pixels);
  EXPECT_TRUE(exact);
  EXPECT_EQ(made.size(), 256u);
}

TEST(Palette, OneColourMoreThan256LeavesAllButTwoColoursExact) {
  // 257 colours that lie close together: a median cut into 256 boxes puts
  // two of them in one box and every other in a box of its own.
  std::vector<Colour> pixels;
  for (int i = 0; i < 257; ++i) {
    pixels.push_back(Colour{static_cast<std::uint8_t>(i % 256), 0, static_cast<std::uint8_t>(i / 256)});
  }
  std::vector<Colour> made;
  bool exact = true;
  std::vector<Colour> back = RoundTrip(pixels, 64, &made, &exact);
  EXPECT_FALSE(exact);
  EXPECT_EQ(made.size(), 256u);
  int same = 0;
  for (std::size_t i = 0; i < pixels.size(); ++i) same += back[i] == pixels[i];
  EXPECT_GE(same, 255);
}

TEST(Palette, AFewThousandColoursInTwoClustersComeBackWithinEightLevels) {
  // Two clusters of 1,024 colours each, dark and light, as text smoothed
  // against its background gives: 256 boxes over 2,048 colours hold about
  // 8 neighbouring colours each (2 levels a side), so no pixel moves far.
  std::vector<Colour> pixels;
  for (int r = 0; r < 16; ++r) {
    for (int g = 0; g < 16; ++g) {
      for (int b = 0; b < 4; ++b) {
        pixels.push_back(Colour{static_cast<std::uint8_t>(8 + r), static_cast<std::uint8_t>(20 + g),
                                static_cast<std::uint8_t>(30 + b)});
        pixels.push_back(Colour{static_cast<std::uint8_t>(224 + r), static_cast<std::uint8_t>(200 + g),
                                static_cast<std::uint8_t>(240 + b)});
      }
    }
  }
  std::vector<Colour> back = RoundTrip(pixels, 100);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    EXPECT_LT(std::abs(back[i].red - pixels[i].red), 8) << i;
    EXPECT_LT(std::abs(back[i].green - pixels[i].green), 8) << i;
    EXPECT_LT(std::abs(back[i].blue - pixels[i].blue), 8) << i;
  }
}

TEST(Palette, AFullColourPictureGets256EntriesAndEveryPixelANearColour) {
  // Every 4th level of every channel: 262,144 colours, spread evenly.
  std::vector<Colour> pixels;
  for (int r = 0; r < 256; r += 4) {
    for (int g = 0; g < 256; g += 4) {
      for (int b = 0; b < 256; b += 4) {
        pixels.push_back(
            Colour{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b)});
      }
    }
  }
  std::vector<Colour> made;
  std::vector<Colour> back = RoundTrip(pixels, 1024, &made);
  EXPECT_EQ(made.size(), 256u);
  // 256 boxes over the cube of 256 levels: about 40 levels a side, so no
  // pixel is farther than a box's diagonal.
  long worst = 0;
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    long dr = back[i].red - pixels[i].red, dg = back[i].green - pixels[i].green, db = back[i].blue - pixels[i].blue;
    worst = std::max(worst, dr * dr + dg * dg + db * db);
  }
  EXPECT_LE(worst, 3L * 40 * 40);
}

TEST(Palette, NoPixelsGiveNoPaletteAndTheMapperStillAnswers) {
  ColourCount count;
  EXPECT_TRUE(count.MakePalette().empty());
  Mapper mapper(count, {});
  EXPECT_EQ(mapper.IndexOf(Colour{1, 2, 3}), 0);
}

TEST(Palette, AColourTheCountDidNotSeeTakesTheNearestEntry) {
  ColourCount count;
  std::vector<std::uint8_t> row = BgrRow({Colour{0, 0, 0}, Colour{250, 250, 250}, Colour{255, 0, 0}});
  count.AddBgrRow(row.data(), 3);
  std::vector<Colour> palette = count.MakePalette();
  ASSERT_EQ(palette.size(), 3u);
  Mapper mapper(count, palette);
  EXPECT_EQ(palette[mapper.IndexOf(Colour{240, 240, 240})], (Colour{250, 250, 250}));
  EXPECT_EQ(palette[mapper.IndexOf(Colour{200, 10, 10})], (Colour{255, 0, 0}));
  EXPECT_EQ(palette[mapper.IndexOf(Colour{255, 0, 0})], (Colour{255, 0, 0}));
}

}  // namespace
}  // namespace fw::palette
