#include "image/palette_rules.h"

#include <algorithm>
#include <array>
#include <limits>

namespace fw::palette {
namespace {

constexpr int kCellBits = 5;
constexpr int kCells = 1 << (3 * kCellBits);                   // 32768
constexpr std::uint32_t kTableSize = 2 * kMostCountedColours;  // open addressing, at most half full
constexpr int kTableShift = 32 - 13;                           // the top 13 bits of the hash
static_assert((1u << (32 - kTableShift)) == kTableSize);

std::uint32_t Pack(Colour c) {
  return (std::uint32_t{c.red} << 16) | (std::uint32_t{c.green} << 8) | c.blue;
}

Colour Unpack(std::uint32_t c) {
  return Colour{static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c)};
}

int CellOf(std::uint32_t c) {
  int r = static_cast<int>((c >> 16) & 0xFF) >> (8 - kCellBits);
  int g = static_cast<int>((c >> 8) & 0xFF) >> (8 - kCellBits);
  int b = static_cast<int>(c & 0xFF) >> (8 - kCellBits);
  return (r << (2 * kCellBits)) | (g << kCellBits) | b;
}

// The middle of a cell, as a colour.
Colour CellCentre(int cell) {
  const int mask = (1 << kCellBits) - 1, half = 1 << (7 - kCellBits);
  auto level = [&](int shift) {
    return static_cast<std::uint8_t>((((cell >> shift) & mask) << (8 - kCellBits)) + half);
  };
  return Colour{level(2 * kCellBits), level(kCellBits), level(0)};
}

std::uint32_t Slot(std::uint32_t colour) {
  return (colour * 2654435761u) >> kTableShift;
}

// The slot holding `colour`, or the empty one where it would go.
std::uint32_t Find(const std::vector<std::uint32_t>& keys, std::uint32_t colour) {
  std::uint32_t i = Slot(colour);
  while (keys[i] != 0 && keys[i] != colour + 1) i = (i + 1) % kTableSize;
  return i;
}

int Distance(Colour a, Colour b) {
  int dr = a.red - b.red, dg = a.green - b.green, db = a.blue - b.blue;
  return dr * dr + dg * dg + db * db;
}

// What the median cut works on: a colour (or a cell, at its centre) with
// the pixels it stands for and the sums of their channels.
struct Entry {
  std::array<std::uint8_t, 3> at;
  std::uint64_t pixels = 0, red = 0, green = 0, blue = 0;
};

// A box of the median cut: entries [begin, end).
struct Box {
  std::size_t begin, end;
  std::uint64_t pixels;
};

std::vector<Colour> MedianCut(std::vector<Entry> entries) {
  std::vector<Colour> out;
  if (entries.empty()) return out;
  std::vector<Box> boxes;
  std::uint64_t all = 0;
  for (const Entry& e : entries) all += e.pixels;
  boxes.push_back(Box{0, entries.size(), all});
  while (static_cast<int>(boxes.size()) < kMostColours) {
    // The box of the most pixels that still holds more than one entry.
    auto best = boxes.end();
    for (auto it = boxes.begin(); it != boxes.end(); ++it) {
      if (it->end - it->begin > 1 && (best == boxes.end() || it->pixels > best->pixels)) best = it;
    }
    if (best == boxes.end()) break;
    auto first = entries.begin() + static_cast<std::ptrdiff_t>(best->begin);
    auto last = entries.begin() + static_cast<std::ptrdiff_t>(best->end);
    // Cut along its widest channel, at the median pixel.
    int channel = 0, widest = -1;
    for (int ch = 0; ch < 3; ++ch) {
      auto [lo, hi] =
          std::minmax_element(first, last, [&](const Entry& a, const Entry& b) { return a.at[ch] < b.at[ch]; });
      if (hi->at[ch] - lo->at[ch] > widest) widest = hi->at[ch] - lo->at[ch], channel = ch;
    }
    std::sort(first, last, [&](const Entry& a, const Entry& b) {
      return a.at[channel] != b.at[channel] ? a.at[channel] < b.at[channel] : a.at < b.at;
    });
    std::uint64_t half = 0;
    std::size_t cut = best->begin;
    while (cut + 1 < best->end && (half + entries[cut].pixels) * 2 <= best->pixels) half += entries[cut++].pixels;
    if (cut == best->begin) half += entries[cut++].pixels;  // both halves keep at least one entry
    Box upper{cut, best->end, best->pixels - half};
    best->end = cut;
    best->pixels = half;
    boxes.push_back(upper);
  }
  for (const Box& box : boxes) {
    std::uint64_t n = 0, r = 0, g = 0, b = 0;
    for (std::size_t i = box.begin; i < box.end; ++i) {
      n += entries[i].pixels, r += entries[i].red, g += entries[i].green, b += entries[i].blue;
    }
    out.push_back(Colour{static_cast<std::uint8_t>((r + n / 2) / n), static_cast<std::uint8_t>((g + n / 2) / n),
                         static_cast<std::uint8_t>((b + n / 2) / n)});
  }
  return out;
}

}  // namespace

ColourCount::ColourCount() : cells_(kCells), keys_(kTableSize, 0), counts_(kTableSize, 0) {}

void ColourCount::AddRun(std::uint32_t colour, std::uint32_t pixels) {
  Cell& cell = cells_[static_cast<std::size_t>(CellOf(colour))];
  cell.pixels += pixels;
  cell.red += std::uint64_t{(colour >> 16) & 0xFF} * pixels;
  cell.green += std::uint64_t{(colour >> 8) & 0xFF} * pixels;
  cell.blue += std::uint64_t{colour & 0xFF} * pixels;
  if (overflowed_) return;
  std::uint32_t i = Find(keys_, colour);
  if (keys_[i] == 0) {
    if (distinct_ == kMostCountedColours) {
      overflowed_ = true;
      distinct_ = kMostCountedColours + 1;
      return;
    }
    keys_[i] = colour + 1;
    ++distinct_;
  }
  counts_[i] += pixels;
}

void ColourCount::AddBgrRow(const std::uint8_t* bgr, int width) {
  // Screenshots are made of long runs of one colour: each run is counted
  // once.
  auto at = [&](int x) { return Pack(Colour{bgr[3 * x + 2], bgr[3 * x + 1], bgr[3 * x]}); };
  int x = 0;
  while (x < width) {
    std::uint32_t colour = at(x);
    int run = 1;
    while (x + run < width && at(x + run) == colour) ++run;
    AddRun(colour, static_cast<std::uint32_t>(run));
    x += run;
  }
}

std::vector<std::uint32_t> ColourCount::CountedColours() const {
  std::vector<std::uint32_t> out;
  if (overflowed_) return out;
  for (std::uint32_t key : keys_) {
    if (key) out.push_back(key - 1);
  }
  std::sort(out.begin(), out.end());
  return out;
}

std::vector<Colour> ColourCount::MakePalette() const {
  std::vector<Colour> out;
  if (Exact()) {
    for (std::uint32_t c : CountedColours()) out.push_back(Unpack(c));
    return out;
  }
  std::vector<Entry> entries;
  if (Counted()) {
    for (std::uint32_t i = 0; i < kTableSize; ++i) {
      if (!keys_[i]) continue;
      Colour c = Unpack(keys_[i] - 1);
      std::uint64_t n = counts_[i];
      entries.push_back(Entry{{c.red, c.green, c.blue}, n, c.red * n, c.green * n, c.blue * n});
    }
  } else {
    for (int i = 0; i < kCells; ++i) {
      const Cell& cell = cells_[static_cast<std::size_t>(i)];
      if (!cell.pixels) continue;
      Colour centre = CellCentre(i);
      entries.push_back(Entry{{centre.red, centre.green, centre.blue}, cell.pixels, cell.red, cell.green, cell.blue});
    }
  }
  return MedianCut(std::move(entries));
}

Mapper::Mapper(const ColourCount& count, const std::vector<Colour>& palette) : palette_(palette) {
  if (palette_.size() > static_cast<std::size_t>(kMostColours)) palette_.resize(kMostColours);
  if (palette_.empty()) palette_.push_back(Colour{});
  if (count.Counted()) {
    keys_.assign(kTableSize, 0);
    index_.assign(kTableSize, 0);
    for (std::uint32_t colour : count.CountedColours()) {
      std::uint32_t i = Find(keys_, colour);
      keys_[i] = colour + 1;
      index_[i] = Nearest(Unpack(colour));
    }
    return;
  }
  nearestToCell_.resize(kCells);
  for (int c = 0; c < kCells; ++c) nearestToCell_[static_cast<std::size_t>(c)] = Nearest(CellCentre(c));
}

std::uint8_t Mapper::Nearest(Colour c) const {
  std::size_t best = 0;
  int bestDistance = std::numeric_limits<int>::max();
  for (std::size_t n = 0; n < palette_.size(); ++n) {
    int d = Distance(c, palette_[n]);
    if (d < bestDistance) bestDistance = d, best = n;
  }
  return static_cast<std::uint8_t>(best);
}

std::uint8_t Mapper::IndexOf(Colour c) const {
  std::uint32_t key = Pack(c);
  if (!keys_.empty()) {
    std::uint32_t i = Find(keys_, key);
    return keys_[i] ? index_[i] : Nearest(c);  // a colour the count did not see: searched for
  }
  return nearestToCell_[static_cast<std::size_t>(CellOf(key))];
}

void Mapper::MapBgrRow(const std::uint8_t* bgr, int width, std::uint8_t* indices) const {
  Colour previous{};
  std::uint8_t previousIndex = 0;
  for (int x = 0; x < width; ++x) {
    Colour c{bgr[3 * x + 2], bgr[3 * x + 1], bgr[3 * x]};
    if (x == 0 || !(c == previous)) {
      previous = c;
      previousIndex = IndexOf(c);
    }
    indices[x] = previousIndex;
  }
}

}  // namespace fw::palette
