// The floors the program's capture figures are read against: the same
// capture work written as plainly as Win32 allows, with none of the
// program's code. Wine's BitBlt from the screen is the bottom no program
// can go below; what the program takes beyond these is its own.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace bench {

// A screen capture into a device bitmap: GetDC, CreateCompatibleDC,
// CreateCompatibleBitmap, one BitBlt, and everything given back. The
// bitmap is handed to *kept (the caller deletes it) or deleted here.
inline bool BareBitBlt(HBITMAP* kept = nullptr) {
  int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  HDC screen = ::GetDC(nullptr);
  HDC mem = ::CreateCompatibleDC(screen);
  HBITMAP bmp = ::CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = ::SelectObject(mem, bmp);
  BOOL ok = ::BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
  ::SelectObject(mem, old);
  ::DeleteDC(mem);
  ::ReleaseDC(nullptr, screen);
  if (kept) {
    *kept = bmp;
  } else {
    ::DeleteObject(bmp);
  }
  return ok != FALSE && bmp != nullptr;
}

// The same bare capture of any rectangle of the screen, in screen
// coordinates (negative left of or above the primary monitor): the floor
// of a window capture and of a capture of every monitor, with the raster
// operation they use.
inline bool BareBitBltOf(const RECT& r) {
  int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = ::GetDC(nullptr);
  HDC mem = ::CreateCompatibleDC(screen);
  HBITMAP bmp = ::CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = ::SelectObject(mem, bmp);
  BOOL ok = ::BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY | CAPTUREBLT);
  ::SelectObject(mem, old);
  ::DeleteDC(mem);
  ::ReleaseDC(nullptr, screen);
  ::DeleteObject(bmp);
  return ok != FALSE && bmp != nullptr;
}

// The capture above written as the same BMP file the program writes, and
// as durably: the screen's own depth, a temporary file in the target's
// directory, one write of the headers and the pixels, flushed, closed and
// moved into place.
inline bool BareCaptureAndWrite(const std::string& directory, const std::string& name) {
  HBITMAP bmp = nullptr;
  if (!BareBitBlt(&bmp)) return false;
  BITMAP bm{};
  ::GetObjectA(bmp, sizeof bm, &bm);
  struct {
    BITMAPINFOHEADER h;
    RGBQUAD colours[256];
  } info{};
  info.h.biSize = sizeof info.h;
  info.h.biWidth = bm.bmWidth;
  info.h.biHeight = bm.bmHeight;
  info.h.biPlanes = 1;
  info.h.biBitCount = static_cast<WORD>(bm.bmBitsPixel == 32 ? 32 : 24);
  info.h.biCompression = BI_RGB;
  DWORD row = ((static_cast<DWORD>(bm.bmWidth) * info.h.biBitCount + 31) / 32) * 4;
  DWORD pixels = row * static_cast<DWORD>(bm.bmHeight);
  std::vector<char> file(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + pixels);
  HDC screen = ::GetDC(nullptr);
  int lines = ::GetDIBits(screen, bmp, 0, static_cast<UINT>(bm.bmHeight),
                          file.data() + sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER),
                          reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  ::DeleteObject(bmp);
  if (lines != bm.bmHeight) return false;
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfSize = static_cast<DWORD>(file.size());
  fh.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  info.h.biSizeImage = pixels;
  memcpy(file.data(), &fh, sizeof fh);
  memcpy(file.data() + sizeof fh, &info.h, sizeof info.h);

  std::string temp = directory + "\\~probe.tmp", target = directory + "\\" + name;
  HANDLE f = ::CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD put = 0;
  BOOL ok = ::WriteFile(f, file.data(), static_cast<DWORD>(file.size()), &put, nullptr) && put == file.size() &&
            ::FlushFileBuffers(f);
  ::CloseHandle(f);
  if (!ok || !::MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
    ::DeleteFileA(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace bench
