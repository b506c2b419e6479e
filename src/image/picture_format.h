// The file formats the picture-save operation writes - Windows bitmap
// (BMP), placeable Windows metafile, icon - and the layout of a packed
// device-independent bitmap read from the clipboard. Plain C++: bytes in,
// bytes out, every size checked.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fw::format {

struct Rgbq {
  std::uint8_t blue, green, red, reserved;
};

// Compression values of a bitmap header.
inline constexpr std::uint32_t kBiRgb = 0;
inline constexpr std::uint32_t kBiBitfields = 3;

// A device-independent bitmap as the save operation has it in memory.
struct DibImage {
  std::int32_t width = 0;
  std::int32_t height = 0;             // always positive here
  std::uint16_t bitsPerPixel = 0;      // 1, 4, 8, 16, 24 or 32
  bool topDown = false;                // rows stored from the top row down
  std::uint32_t compression = kBiRgb;  // kBiRgb or kBiBitfields (16 and 32 bpp)
  std::uint32_t masks[3] = {0, 0, 0};  // red, green, blue (bit fields only)
  std::vector<Rgbq> palette;           // colour table (1, 4 and 8 bpp; at most 2^bpp)
  std::string pixels;                  // height rows of RowBytes(width, bpp) bytes each
};

// Bytes in one row of pixels, padded to a multiple of four; nullopt when
// the row would not fit in 32 bits.
std::optional<std::uint32_t> RowBytes(std::int32_t width, std::uint16_t bitsPerPixel);

// The whole .bmp file: BITMAPFILEHEADER, BITMAPINFOHEADER, masks or colour
// table, pixels. Nullopt when the image is not consistent (sizes, depth,
// palette length, pixel bytes) or too large for the format.
std::optional<std::string> BuildBmpFile(const DibImage& image);

// Only the headers (file header, info header, masks or colour table) of
// that file, for writing the pixels after them piece by piece; `pixels`
// is not looked at.
std::optional<std::string> BuildBmpHeaders(const DibImage& image);

// The 22-byte placeable header that precedes a Windows metafile on disk,
// for a picture `width` × `height` in units of 1/unitsPerInch inch.
std::string PlaceableMetafileHeader(std::int16_t width, std::int16_t height, std::uint16_t unitsPerInch);

// A one-image .ico file with 32-bit pixels (top-down 0xAARRGGBB) and an AND
// mask (one bool per pixel, true = transparent).
std::optional<std::string> BuildIcoFile(std::int32_t width, std::int32_t height, const std::vector<std::uint32_t>& argb,
                                        const std::vector<bool>& transparent);

// Where the parts of a packed DIB (as on the clipboard: header, masks,
// colour table, pixels) lie, checked against the block's size: everything
// GDI reads when it is given the first infoSize bytes as the bitmap's
// header and the pixelBytes after them lies within the block. Bit-field
// headers of 41 to 51 bytes, whose masks would run past the header, are
// refused.
struct PackedDibLayout {
  std::uint32_t headerSize = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;  // signed: negative means top-down
  std::uint16_t bitsPerPixel = 0;
  std::uint32_t compression = 0;
  std::uint32_t colourCount = 0;  // entries in the colour table
  std::uint32_t infoSize = 0;     // header + masks + colour table
  std::uint32_t pixelBytes = 0;   // bytes of pixels needed
};
std::optional<PackedDibLayout> ParsePackedDib(const std::uint8_t* data, std::size_t size);

}  // namespace fw::format
