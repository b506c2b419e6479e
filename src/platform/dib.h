// The header of a device-independent bitmap as GetDIBits and
// StretchDIBits take it, filled in one place.
#pragma once

#include <windows.h>

namespace fw {

// A BITMAPINFOHEADER for width x height pixels at the given depth,
// uncompressed (BI_RGB): rows bottom-up for a positive height, top-down for
// a negative one.
inline BITMAPINFOHEADER DibInfoHeader(LONG width, LONG height, WORD bitsPerPixel) noexcept {
  BITMAPINFOHEADER h{};
  h.biSize = sizeof h;
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = bitsPerPixel;
  h.biCompression = BI_RGB;
  return h;
}

}  // namespace fw
