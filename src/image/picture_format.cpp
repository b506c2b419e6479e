#include "image/picture_format.h"

#include <cstring>
#include <limits>

namespace fw::format {
namespace {

void Put16(std::string& out, std::uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}

void Put32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::uint16_t Get16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t Get32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool ValidDepth(std::uint32_t bpp) {
  return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
}

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kMaskBytes = 12;  // three DWORD colour masks
// 96 dots per inch in pixels per metre.
constexpr std::uint32_t kPixelsPerMetre96 = 3780;

// The 40-byte BITMAPINFOHEADER, as the .bmp and .ico files both hold it.
struct InfoHeader {
  std::int32_t width = 0;
  std::int32_t height = 0;  // negative: rows top-down
  std::uint16_t bitsPerPixel = 0;
  std::uint32_t compression = kBiRgb;
  std::uint32_t imageSize = 0;
  std::uint32_t pixelsPerMetre = 0;  // both axes
  std::uint32_t coloursUsed = 0;
};

void PutInfoHeader(std::string& out, const InfoHeader& h) {
  Put32(out, kInfoHeaderSize);
  Put32(out, static_cast<std::uint32_t>(h.width));
  Put32(out, static_cast<std::uint32_t>(h.height));
  Put16(out, 1);  // planes
  Put16(out, h.bitsPerPixel);
  Put32(out, h.compression);
  Put32(out, h.imageSize);
  Put32(out, h.pixelsPerMetre);
  Put32(out, h.pixelsPerMetre);
  Put32(out, h.coloursUsed);
  Put32(out, 0);  // all colours important
}

}  // namespace

std::optional<std::uint32_t> RowBytes(std::int32_t width, std::uint16_t bitsPerPixel) {
  if (width <= 0 || !ValidDepth(bitsPerPixel)) return std::nullopt;
  std::uint64_t bits = static_cast<std::uint64_t>(width) * bitsPerPixel;
  std::uint64_t bytes = ((bits + 31) / 32) * 4;
  if (bytes > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  return static_cast<std::uint32_t>(bytes);
}

std::optional<std::string> BuildBmpFile(const DibImage& image) {
  auto row = RowBytes(image.width, image.bitsPerPixel);
  if (!row || image.height <= 0) return std::nullopt;
  if (image.pixels.size() != static_cast<std::uint64_t>(*row) * static_cast<std::uint64_t>(image.height)) {
    return std::nullopt;
  }
  auto out = BuildBmpHeaders(image);
  if (!out) return std::nullopt;
  *out += image.pixels;
  return out;
}

std::optional<std::string> BuildBmpHeaders(const DibImage& image) {
  if (image.height <= 0) return std::nullopt;
  auto row = RowBytes(image.width, image.bitsPerPixel);
  if (!row) return std::nullopt;
  std::uint64_t pixelBytes = static_cast<std::uint64_t>(*row) * static_cast<std::uint64_t>(image.height);

  bool bitfields = image.compression == kBiBitfields;
  if (image.compression != kBiRgb && !bitfields) return std::nullopt;
  if (bitfields && image.bitsPerPixel != 16 && image.bitsPerPixel != 32) return std::nullopt;
  if (image.bitsPerPixel <= 8) {
    std::size_t most = std::size_t{1} << image.bitsPerPixel;
    if (image.palette.empty() || image.palette.size() > most) return std::nullopt;
  } else if (!image.palette.empty()) {
    return std::nullopt;
  }

  std::uint64_t offBits = kFileHeaderSize + kInfoHeaderSize + (bitfields ? 12u : 0u) + 4ull * image.palette.size();
  std::uint64_t fileSize = offBits + pixelBytes;
  if (fileSize > std::numeric_limits<std::uint32_t>::max() || image.height > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }

  std::string out;
  out.reserve(static_cast<std::size_t>(offBits));
  out += "BM";
  Put32(out, static_cast<std::uint32_t>(fileSize));
  Put32(out, 0);  // reserved
  Put32(out, static_cast<std::uint32_t>(offBits));

  InfoHeader info;
  info.width = image.width;
  info.height = image.topDown ? -image.height : image.height;
  info.bitsPerPixel = image.bitsPerPixel;
  info.compression = image.compression;
  info.imageSize = static_cast<std::uint32_t>(pixelBytes);
  info.pixelsPerMetre = kPixelsPerMetre96;
  info.coloursUsed = static_cast<std::uint32_t>(image.palette.size());
  PutInfoHeader(out, info);

  if (bitfields) {
    for (std::uint32_t m : image.masks) Put32(out, m);
  }
  for (const Rgbq& q : image.palette) {
    out.push_back(static_cast<char>(q.blue));
    out.push_back(static_cast<char>(q.green));
    out.push_back(static_cast<char>(q.red));
    out.push_back(0);
  }
  return out;
}

std::string PlaceableMetafileHeader(std::int16_t width, std::int16_t height, std::uint16_t unitsPerInch) {
  std::string out;
  Put32(out, 0x9AC6CDD7u);  // key
  Put16(out, 0);            // handle, always 0 on disk
  Put16(out, 0);            // left
  Put16(out, 0);            // top
  Put16(out, static_cast<std::uint16_t>(width));
  Put16(out, static_cast<std::uint16_t>(height));
  Put16(out, unitsPerInch);
  Put32(out, 0);  // reserved
  std::uint16_t checksum = 0;
  for (std::size_t i = 0; i + 1 < out.size(); i += 2) {
    checksum ^= Get16(reinterpret_cast<const std::uint8_t*>(out.data() + i));
  }
  Put16(out, checksum);
  return out;
}

std::optional<std::string> BuildIcoFile(std::int32_t width, std::int32_t height, const std::vector<std::uint32_t>& argb,
                                        const std::vector<bool>& transparent) {
  if (width <= 0 || height <= 0 || width > 256 || height > 256) return std::nullopt;
  std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (argb.size() != count || transparent.size() != count) return std::nullopt;

  std::uint32_t xorBytes = static_cast<std::uint32_t>(width) * 4u * static_cast<std::uint32_t>(height);
  std::uint32_t maskRow = *RowBytes(width, 1);
  std::uint32_t andBytes = maskRow * static_cast<std::uint32_t>(height);
  std::uint32_t imageBytes = kInfoHeaderSize + xorBytes + andBytes;

  std::string out;
  Put16(out, 0);  // reserved
  Put16(out, 1);  // type: icon
  Put16(out, 1);  // one image
  out.push_back(static_cast<char>(width == 256 ? 0 : width));
  out.push_back(static_cast<char>(height == 256 ? 0 : height));
  out.push_back(0);  // no colour table
  out.push_back(0);  // reserved
  Put16(out, 1);     // planes
  Put16(out, 32);    // bits per pixel
  Put32(out, imageBytes);
  Put32(out, 6 + 16);  // offset of the image

  InfoHeader info;
  info.width = width;
  info.height = height * 2;  // colour and mask halves
  info.bitsPerPixel = 32;
  info.imageSize = xorBytes + andBytes;
  PutInfoHeader(out, info);
  for (std::int32_t y = height - 1; y >= 0; --y) {
    for (std::int32_t x = 0; x < width; ++x) Put32(out, argb[static_cast<std::size_t>(y) * width + x]);
  }
  for (std::int32_t y = height - 1; y >= 0; --y) {
    std::string rowBits(maskRow, '\0');
    for (std::int32_t x = 0; x < width; ++x) {
      if (transparent[static_cast<std::size_t>(y) * width + x]) {
        rowBits[static_cast<std::size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
      }
    }
    out += rowBits;
  }
  return out;
}

std::optional<PackedDibLayout> ParsePackedDib(const std::uint8_t* data, std::size_t size) {
  if (!data || size < kInfoHeaderSize) return std::nullopt;
  PackedDibLayout l;
  l.headerSize = Get32(data);
  // BITMAPINFOHEADER and its later versions; the old core header is not
  // taken (the clipboard offers the picture as a bitmap as well).
  if (l.headerSize < kInfoHeaderSize || l.headerSize > size || l.headerSize > 1024) return std::nullopt;
  l.width = static_cast<std::int32_t>(Get32(data + 4));
  l.height = static_cast<std::int32_t>(Get32(data + 8));
  std::uint16_t planes = Get16(data + 12);
  l.bitsPerPixel = Get16(data + 14);
  l.compression = Get32(data + 16);
  std::uint32_t clrUsed = Get32(data + 32);
  if (planes != 1 || !ValidDepth(l.bitsPerPixel) || l.width <= 0 || l.height == 0 ||
      l.height == std::numeric_limits<std::int32_t>::min()) {
    return std::nullopt;
  }
  std::uint32_t maskBytes = 0;
  if (l.compression == kBiBitfields) {
    if (l.bitsPerPixel != 16 && l.bitsPerPixel != 32) return std::nullopt;
    // GDI reads the three masks from bytes 40 to 51 whatever the header's
    // size: after a 40-byte header, inside one of 52 bytes or more. A
    // header in between would have them run past it.
    if (l.headerSize == kInfoHeaderSize) {
      maskBytes = kMaskBytes;
    } else if (l.headerSize < kInfoHeaderSize + kMaskBytes) {
      return std::nullopt;
    }
  } else if (l.compression != kBiRgb) {
    return std::nullopt;  // run-length and embedded JPEG/PNG are not taken
  }
  if (l.bitsPerPixel <= 8) {
    std::uint32_t most = 1u << l.bitsPerPixel;
    if (clrUsed > most) return std::nullopt;
    l.colourCount = clrUsed ? clrUsed : most;
  } else {
    if (clrUsed > 256) return std::nullopt;
    l.colourCount = clrUsed;
  }
  std::uint64_t info = static_cast<std::uint64_t>(l.headerSize) + maskBytes + 4ull * l.colourCount;
  auto row = RowBytes(l.width, l.bitsPerPixel);
  if (!row) return std::nullopt;
  std::uint64_t rows = l.height < 0 ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(l.height))
                                    : static_cast<std::uint64_t>(l.height);
  std::uint64_t pixels = static_cast<std::uint64_t>(*row) * rows;
  if (info + pixels > size || pixels > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  l.infoSize = static_cast<std::uint32_t>(info);
  l.pixelBytes = static_cast<std::uint32_t>(pixels);
  return l;
}

}  // namespace fw::format
