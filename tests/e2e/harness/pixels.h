// Pixels: grabbing the screen, comparing pictures, reading and writing
// bitmaps.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

// The header of a top-down 32-bit picture of that size, as the tests
// read and write pixels.
BITMAPINFO TopDown32(int width, int height);

struct Image {
  int width = 0, height = 0;
  std::vector<std::uint32_t> px;  // 0x00RRGGBB, top-down
  std::uint32_t at(int x, int y) const { return px[static_cast<std::size_t>(y) * width + x]; }
  bool empty() const { return width == 0 || height == 0; }
};
Image GrabScreen(const RECT& r);
Image ImageFromBitmap(HBITMAP bmp, HDC ref = nullptr);
// Pixels that differ between the images within the overlap; -1 when the
// sizes differ.
long CountDifferences(const Image& a, const Image& b, int ox = 0, int oy = 0);
// Pixels of `part` that differ from `whole`'s top-left; -1 when `whole` is
// smaller than `part`.
long TopLeftDifferences(const Image& whole, const Image& part);
bool SaveBmp(const Image& img, const std::string& path);
// Reads an image file (BMP) back as pixels.
Image LoadBmpFile(const std::string& path);
// A bitmap of the driver's own from pixels (a DIB section); caller deletes.
HBITMAP BitmapFromImage(const Image& img);

}  // namespace e2e
