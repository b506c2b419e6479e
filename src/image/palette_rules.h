// A palette of at most 256 colours made from a picture that has more bits
// per pixel, for a format that holds palette pictures only (GIF), and the
// mapping of the picture's pixels to it. The picture is looked at a band of
// rows at a time, twice: once to count its colours, once to map them, so no
// second copy of it is needed. Plain C++.
//
// A picture of at most 256 distinct colours (most screenshots of dialogs
// and text) gets exactly those colours, and every pixel keeps its colour.
// One of a few thousand colours (text smoothed against its background)
// gets a palette by median cut of those colours, each pixel the entry
// nearest to its colour. One of more (photographs) gets a median cut of
// its colours at 5 bits per channel, each pixel the entry nearest to its
// cell.
#pragma once

#include <cstdint>
#include <vector>

namespace fw::palette {

inline constexpr int kMostColours = 256;
// Distinct colours counted one by one; beyond, colours go by cells.
inline constexpr int kMostCountedColours = 4096;

struct Colour {
  std::uint8_t red = 0, green = 0, blue = 0;
  bool operator==(const Colour&) const = default;
};

// The colours of a picture, counted row by row.
class ColourCount {
 public:
  ColourCount();
  // A row of 24-bit pixels, blue, green, red, as GetDIBits gives them.
  void AddBgrRow(const std::uint8_t* bgr, int width);
  // At most kMostColours distinct colours so far: the palette holds them.
  bool Exact() const { return distinct_ <= kMostColours; }
  // At most kMostCountedColours: each is known with its count.
  bool Counted() const { return !overflowed_; }

  // The palette: the picture's own colours when Exact, else one colour per
  // box of a median cut (the mean of the pixels in it). Empty when no pixel
  // was counted.
  std::vector<Colour> MakePalette() const;

  // The distinct colours counted (0x00RRGGBB), while Counted.
  std::vector<std::uint32_t> CountedColours() const;

  // Cells of 5 bits per channel: pixels and the sums of their channels.
  struct Cell {
    std::uint32_t pixels = 0;
    std::uint64_t red = 0, green = 0, blue = 0;
  };

 private:
  void AddRun(std::uint32_t colour, std::uint32_t pixels);

  std::vector<Cell> cells_;
  std::vector<std::uint32_t> keys_;    // open addressing: colour + 1, 0 = empty
  std::vector<std::uint64_t> counts_;  // pixels of each key
  int distinct_ = 0;
  bool overflowed_ = false;
};

// Maps pixels to the indices of a palette made from `count`: a colour the
// count holds to the entry nearest to it (the entry of exactly that colour
// when the palette is exact), any other colour to the entry nearest to its
// cell.
class Mapper {
 public:
  Mapper(const ColourCount& count, const std::vector<Colour>& palette);
  std::uint8_t IndexOf(Colour c) const;
  void MapBgrRow(const std::uint8_t* bgr, int width, std::uint8_t* indices) const;

 private:
  std::uint8_t Nearest(Colour c) const;

  std::vector<Colour> palette_;
  std::vector<std::uint32_t> keys_;  // the counted colours, as ColourCount's table
  std::vector<std::uint8_t> index_;
  std::vector<std::uint8_t> nearestToCell_;  // when colours went by cells
};

}  // namespace fw::palette
