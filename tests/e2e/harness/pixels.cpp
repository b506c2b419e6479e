#include "harness/pixels.h"

#include <cstring>

#include "harness/files.h"

namespace e2e {

Image ImageFromBitmap(HBITMAP bmp, HDC ref) {
  Image img;
  BITMAP bm{};
  if (!bmp || !::GetObjectA(bmp, sizeof bm, &bm)) return img;
  img.width = bm.bmWidth;
  img.height = bm.bmHeight;
  img.px.assign(static_cast<std::size_t>(img.width) * img.height, 0);
  BITMAPINFO bi = TopDown32(img.width, img.height);
  HDC dc = ref ? ref : ::GetDC(nullptr);
  ::GetDIBits(dc, bmp, 0, img.height, img.px.data(), &bi, DIB_RGB_COLORS);
  if (!ref) ::ReleaseDC(nullptr, dc);
  for (auto& p : img.px) p &= 0xFFFFFF;
  return img;
}

Image GrabScreen(const RECT& r) {
  int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return {};
  HDC screen = ::GetDC(nullptr);
  HDC mem = ::CreateCompatibleDC(screen);
  HBITMAP bmp = ::CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = ::SelectObject(mem, bmp);
  // Only the part on the screen (every monitor's bounding rectangle) can be
  // read (Wine reads nothing at all for a rectangle that reaches past the
  // screen's edge); the rest stays black.
  int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN), top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
  RECT screenRect{left, top, left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                  top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  RECT on{};
  RECT black{0, 0, w, h};
  ::FillRect(mem, &black, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  if (::IntersectRect(&on, &r, &screenRect)) {
    ::BitBlt(mem, on.left - r.left, on.top - r.top, on.right - on.left, on.bottom - on.top, screen, on.left, on.top,
             SRCCOPY);
  }
  ::SelectObject(mem, old);
  Image img = ImageFromBitmap(bmp, screen);
  ::DeleteObject(bmp);
  ::DeleteDC(mem);
  ::ReleaseDC(nullptr, screen);
  return img;
}

long CountDifferences(const Image& a, const Image& b, int ox, int oy) {
  if (ox == 0 && oy == 0 && (a.width != b.width || a.height != b.height)) return -1;
  long diff = 0;
  for (int y = 0; y < b.height && y + oy < a.height; ++y) {
    for (int x = 0; x < b.width && x + ox < a.width; ++x) {
      if (a.at(x + ox, y + oy) != b.at(x, y)) ++diff;
    }
  }
  return diff;
}

long TopLeftDifferences(const Image& whole, const Image& part) {
  if (whole.width < part.width || whole.height < part.height) return -1;
  long diff = 0;
  for (int y = 0; y < part.height; ++y)
    for (int x = 0; x < part.width; ++x) diff += whole.at(x, y) != part.at(x, y);
  return diff;
}

bool SaveBmp(const Image& img, const std::string& path) {
  BITMAPFILEHEADER fh{};
  BITMAPINFOHEADER ih{};
  ih.biSize = sizeof ih;
  ih.biWidth = img.width;
  ih.biHeight = -img.height;
  ih.biPlanes = 1;
  ih.biBitCount = 32;
  DWORD bytes = static_cast<DWORD>(img.px.size() * 4);
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof ih;
  fh.bfSize = fh.bfOffBits + bytes;
  std::string out(reinterpret_cast<const char*>(&fh), sizeof fh);
  out.append(reinterpret_cast<const char*>(&ih), sizeof ih);
  out.append(reinterpret_cast<const char*>(img.px.data()), bytes);
  return WriteFileBytes(path, out);
}

Image LoadBmpFile(const std::string& path) {
  HBITMAP bmp = static_cast<HBITMAP>(
      ::LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  if (!bmp) return {};
  Image img = ImageFromBitmap(bmp);
  ::DeleteObject(bmp);
  return img;
}

BITMAPINFO TopDown32(int width, int height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  return bi;
}

HBITMAP BitmapFromImage(const Image& img) {
  BITMAPINFO bi = TopDown32(img.width, img.height);
  void* bits = nullptr;
  HBITMAP bmp = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bmp && bits) std::memcpy(bits, img.px.data(), img.px.size() * 4);
  return bmp;
}

}  // namespace e2e
