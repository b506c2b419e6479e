// The floors the program's capture figures are read against: the same
// capture work written as plainly as Win32 allows, with none of the
// program's code. Wine's BitBlt from the screen is the bottom no program
// can go below; what the program takes beyond these is its own.
#pragma once

#include <windows.h>
#include <wincodec.h>

#include <cstring>
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

// The capture above encoded by the system's encoder (PNG, JPEG, ...) and
// written just as durably: the pixels read at 24 bits in one GetDIBits,
// encoded into memory in one WritePixels (JPEG with the options the
// program hands over), then one write of the file's bytes to a temporary
// file, flushed, closed and moved into place. *bytes gets the file's size.
inline bool BareCaptureAndEncode(const std::string& directory, const std::string& name, const GUID& container,
                                 long long* bytes = nullptr) {
  HBITMAP bmp = nullptr;
  if (!BareBitBlt(&bmp)) return false;
  BITMAP bm{};
  ::GetObjectA(bmp, sizeof bm, &bm);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = bm.bmWidth;
  info.bmiHeader.biHeight = -bm.bmHeight;  // top-down, as the encoder takes the rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  UINT stride = ((static_cast<UINT>(bm.bmWidth) * 24 + 31) / 32) * 4;
  std::vector<BYTE> pixels(static_cast<std::size_t>(stride) * static_cast<std::size_t>(bm.bmHeight));
  HDC screen = ::GetDC(nullptr);
  int lines = ::GetDIBits(screen, bmp, 0, static_cast<UINT>(bm.bmHeight), pixels.data(), &info, DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  ::DeleteObject(bmp);
  if (lines != bm.bmHeight) return false;

  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IWICImagingFactory* factory = nullptr;
  IStream* memory = nullptr;
  IWICBitmapEncoder* encoder = nullptr;
  IWICBitmapFrameEncode* frame = nullptr;
  IPropertyBag2* options = nullptr;
  HRESULT hr = ::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(&factory));
  if (SUCCEEDED(hr)) hr = ::CreateStreamOnHGlobal(nullptr, TRUE, &memory);
  if (SUCCEEDED(hr)) hr = factory->CreateEncoder(container, nullptr, &encoder);
  if (SUCCEEDED(hr)) hr = encoder->Initialize(memory, WICBitmapEncoderNoCache);
  if (SUCCEEDED(hr)) hr = encoder->CreateNewFrame(&frame, &options);
  if (SUCCEEDED(hr) && options && container == GUID_ContainerFormatJpeg) {
    PROPBAG2 names[2] = {};
    VARIANT values[2] = {};
    names[0].pstrName = const_cast<LPOLESTR>(L"ImageQuality");
    values[0].vt = VT_R4;
    values[0].fltVal = 0.90f;
    names[1].pstrName = const_cast<LPOLESTR>(L"JpegYCrCbSubsampling");
    values[1].vt = VT_UI1;
    values[1].bVal = WICJpegYCrCbSubsampling444;
    hr = options->Write(2, names, values);
  }
  if (SUCCEEDED(hr)) hr = frame->Initialize(options);
  if (SUCCEEDED(hr)) hr = frame->SetSize(static_cast<UINT>(bm.bmWidth), static_cast<UINT>(bm.bmHeight));
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  if (SUCCEEDED(hr)) hr = frame->SetPixelFormat(&format);
  if (SUCCEEDED(hr)) {
    hr = frame->WritePixels(static_cast<UINT>(bm.bmHeight), stride, static_cast<UINT>(pixels.size()), pixels.data());
  }
  if (SUCCEEDED(hr)) hr = frame->Commit();
  if (SUCCEEDED(hr)) hr = encoder->Commit();
  HGLOBAL global = nullptr;
  if (SUCCEEDED(hr)) hr = ::GetHGlobalFromStream(memory, &global);
  bool ok = false;
  if (SUCCEEDED(hr)) {
    STATSTG stat{};
    memory->Stat(&stat, STATFLAG_NONAME);
    DWORD size = static_cast<DWORD>(stat.cbSize.QuadPart);
    const void* data = ::GlobalLock(global);
    std::string temp = directory + "\\~probe.tmp", target = directory + "\\" + name;
    HANDLE f = ::CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f != INVALID_HANDLE_VALUE && data) {
      DWORD put = 0;
      ok = ::WriteFile(f, data, size, &put, nullptr) && put == size && ::FlushFileBuffers(f);
    }
    if (f != INVALID_HANDLE_VALUE) ::CloseHandle(f);
    if (data) ::GlobalUnlock(global);
    if (ok) ok = ::MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
    if (!ok) ::DeleteFileA(temp.c_str());
    if (ok && bytes) *bytes = size;
  }
  if (options) options->Release();
  if (frame) frame->Release();
  if (encoder) encoder->Release();
  if (memory) memory->Release();
  if (factory) factory->Release();
  return ok;
}

}  // namespace bench
