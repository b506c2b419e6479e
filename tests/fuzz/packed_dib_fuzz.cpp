// Fuzzes the packed-DIB parser the way Paste uses it: any bytes must parse
// without a read past the input, and for a block it takes, everything GDI
// reads must lie in what Paste hands to GDI. Paste copies the first
// infoSize bytes (header, masks, colour table) into a buffer of their own
// and the pixels from right after them; the model below reads from exact
// copies, as GDI would, so that AddressSanitizer catches any read past them.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "image/picture_format.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

std::uint32_t Read32(const std::vector<std::uint8_t>& b, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(b[at + i]) << (8 * i);  // asan: in bounds
  return v;
}

// What GDI reads of a bitmap's header block: the 40-byte header, the three
// masks at bytes 40 to 51 when the pixels are bit fields, and the colour
// table right after the header (and masks) for up to 256 colours.
std::uint32_t ReadAsGdi(const std::vector<std::uint8_t>& info, const fw::format::PackedDibLayout& l) {
  std::uint32_t sum = 0;
  for (std::size_t at = 0; at < 40; at += 4) sum += Read32(info, at);
  std::size_t colours = l.headerSize;
  if (l.compression == fw::format::kBiBitfields) {
    for (std::size_t at = 40; at < 52; at += 4) sum += Read32(info, at);
    if (l.headerSize == 40) colours += 12;
  }
  if (l.bitsPerPixel <= 8) {
    for (std::uint32_t i = 0; i < l.colourCount; ++i) sum += Read32(info, colours + 4 * i);
  }
  return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An exact copy, so that a read past the block is a read past a heap
  // block of exactly its size.
  std::vector<std::uint8_t> block(data, data + size);
  auto layout = fw::format::ParsePackedDib(block.data(), block.size());
  if (!layout) return 0;
  const auto& l = *layout;
  Check(l.headerSize >= 40 && l.headerSize <= l.infoSize);
  Check(static_cast<std::uint64_t>(l.infoSize) + l.pixelBytes <= size);
  Check(l.width > 0 && l.height != 0);
  Check(l.bitsPerPixel == 1 || l.bitsPerPixel == 4 || l.bitsPerPixel == 8 || l.bitsPerPixel == 16 ||
        l.bitsPerPixel == 24 || l.bitsPerPixel == 32);
  Check(l.compression == fw::format::kBiRgb || l.compression == fw::format::kBiBitfields);
  if (l.bitsPerPixel <= 8) Check(l.colourCount >= 1 && l.colourCount <= (1u << l.bitsPerPixel));
  auto row = fw::format::RowBytes(l.width, l.bitsPerPixel);
  Check(row.has_value());
  std::uint64_t rows = l.height < 0 ? 0ull - static_cast<std::uint64_t>(static_cast<std::int64_t>(l.height))
                                    : static_cast<std::uint64_t>(l.height);
  Check(static_cast<std::uint64_t>(*row) * rows == l.pixelBytes);

  // Paste: the header block on its own, the pixels after it.
  std::vector<std::uint8_t> info(block.begin(), block.begin() + l.infoSize);
  volatile std::uint32_t sink = ReadAsGdi(info, l);
  (void)sink;
  if (l.pixelBytes > 0) {
    std::vector<std::uint8_t> pixels(l.pixelBytes);
    std::memcpy(pixels.data(), block.data() + l.infoSize, l.pixelBytes);
  }
  return 0;
}
