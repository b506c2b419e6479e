// Which format a picture file is written in, and how its pixels go to the
// encoder: the extension-to-format table, the options handed to the JPEG
// encoder, the bands of rows a save reads and writes at a time, and the
// unpacking of palette rows. Plain C++.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fw::imagefile {

enum class FileFormat {
  Own,   // the picture's own: a bitmap as BMP, a metafile as a metafile, an icon as an icon
  Png,   // lossless
  Jpeg,  // lossy, quality 0.90, colour kept at full resolution (4:4:4)
  Gif,   // 256 colours: a palette picture's own, or a palette made from the picture
  Tiff,  // lossless
};

// The format a file of this name holds, from the extension of its last
// part, compared without regard to case: .png; .jpg .jpeg .jpe .jfif; .gif;
// .tif .tiff. Anything else (.bmp, no extension, an extension not in the
// table) is the picture's own format.
FileFormat FormatForName(std::string_view name);

// The format's name for messages ("PNG"); empty for Own.
std::string_view FormatName(FileFormat format);

// Whether a picture of this format is written by an image encoder, so a
// metafile or icon picture is drawn into pixels first.
inline bool IsRaster(FileFormat format) {
  return format != FileFormat::Own;
}

// One option of an encoder's property bag: its name and a value of the
// variant type given (VT_R4 or VT_UI1, spelled out below).
inline constexpr std::uint16_t kVariantFloat = 4;  // VT_R4
inline constexpr std::uint16_t kVariantByte = 17;  // VT_UI1
// WICJpegYCrCbSubsampling444: colour sampled at every pixel, as brightness is.
inline constexpr std::uint8_t kJpegSubsampling444 = 3;

struct EncoderOption {
  std::string name;
  std::uint16_t variantType = 0;
  float real = 0;         // kVariantFloat
  std::uint8_t byte = 0;  // kVariantByte
  bool operator==(const EncoderOption&) const = default;
};

// The options handed to the encoder of the format: JPEG at quality 0.90
// with 4:4:4 chroma, so that text in a screenshot stays sharp; none for
// the others (PNG and TIFF are lossless as they are).
std::vector<EncoderOption> EncoderOptionsFor(FileFormat format);

// Rows read from the bitmap and handed on at a time: as many as fit in
// 1 MB, at least one, at most the picture's height. A save then needs
// about 1 MB beyond the picture whatever the picture's size.
inline constexpr std::uint32_t kBandBytes = 1u << 20;
int BandRows(std::uint32_t rowBytes, int height);

// A bitmap's rows are numbered from the bottom up (as GetDIBits takes
// them); an encoder takes them from the top down. The first bottom-up scan
// line of the band of `rows` rows whose top row is `top` (counted from the
// top) in a picture `height` rows high.
int BottomUpStart(int height, int top, int rows);

// One row of palette indices at 1, 4 or 8 bits per pixel (the leftmost
// pixel in the highest bits) as one byte per pixel; `packed` holds at least
// the bytes `width` pixels take.
void UnpackIndices(const std::uint8_t* packed, int bitsPerPixel, int width, std::uint8_t* out);

}  // namespace fw::imagefile
