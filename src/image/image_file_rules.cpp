#include "image/image_file_rules.h"

#include <algorithm>
#include <array>
#include <utility>

namespace fw::imagefile {
namespace {

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameLetters(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

constexpr std::array<std::pair<std::string_view, FileFormat>, 9> kExtensions = {{
    {"png", FileFormat::Png},
    {"jpg", FileFormat::Jpeg},
    {"jpeg", FileFormat::Jpeg},
    {"jpe", FileFormat::Jpeg},
    {"jfif", FileFormat::Jpeg},
    {"gif", FileFormat::Gif},
    {"tif", FileFormat::Tiff},
    {"tiff", FileFormat::Tiff},
    {"bmp", FileFormat::Own},
}};

}  // namespace

FileFormat FormatForName(std::string_view name) {
  std::size_t slash = name.find_last_of("\\/");
  std::string_view last = slash == std::string_view::npos ? name : name.substr(slash + 1);
  std::size_t dot = last.rfind('.');
  if (dot == std::string_view::npos) return FileFormat::Own;
  std::string_view extension = last.substr(dot + 1);
  for (const auto& [known, format] : kExtensions) {
    if (SameLetters(extension, known)) return format;
  }
  return FileFormat::Own;
}

std::string_view FormatName(FileFormat format) {
  switch (format) {
    case FileFormat::Png: return "PNG";
    case FileFormat::Jpeg: return "JPEG";
    case FileFormat::Gif: return "GIF";
    case FileFormat::Tiff: return "TIFF";
    case FileFormat::Own: break;
  }
  return {};
}

std::vector<EncoderOption> EncoderOptionsFor(FileFormat format) {
  if (format != FileFormat::Jpeg) return {};
  return {
      EncoderOption{"ImageQuality", kVariantFloat, 0.90f, 0},
      EncoderOption{"JpegYCrCbSubsampling", kVariantByte, 0, kJpegSubsampling444},
  };
}

int BandRows(std::uint32_t rowBytes, int height) {
  if (height <= 0) return 0;
  std::uint32_t rows = rowBytes == 0 ? kBandBytes : kBandBytes / rowBytes;
  return static_cast<int>(std::clamp<std::uint32_t>(rows, 1, static_cast<std::uint32_t>(height)));
}

int BottomUpStart(int height, int top, int rows) {
  return height - top - rows;
}

void UnpackIndices(const std::uint8_t* packed, int bitsPerPixel, int width, std::uint8_t* out) {
  if (bitsPerPixel == 8) {
    std::copy(packed, packed + width, out);
    return;
  }
  const int perByte = 8 / bitsPerPixel;
  const unsigned mask = (1u << bitsPerPixel) - 1;
  for (int x = 0; x < width; ++x) {
    int shift = 8 - bitsPerPixel * (x % perByte + 1);
    out[x] = static_cast<std::uint8_t>((packed[x / perByte] >> shift) & mask);
  }
}

}  // namespace fw::imagefile
