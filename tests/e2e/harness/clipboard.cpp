#include "harness/clipboard.h"

#include <cstring>

#include "harness/wait.h"

namespace e2e {
namespace {

// The clipboard, opened for the driver; another program may hold it for a
// moment, so the opening waits for it (bounded).
class OpenClip {
 public:
  OpenClip() {
    WaitUntil([&] { return open_ = ::OpenClipboard(nullptr) != FALSE; }, 1000, 20);
  }
  ~OpenClip() {
    if (open_) ::CloseClipboard();
  }
  OpenClip(const OpenClip&) = delete;
  OpenClip& operator=(const OpenClip&) = delete;
  explicit operator bool() const { return open_; }

 private:
  bool open_ = false;
};

}  // namespace

Image ClipboardBitmap() {
  OpenClip clip;
  if (!clip) return {};
  HBITMAP bmp = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
  return bmp ? ImageFromBitmap(bmp) : Image{};
}

bool ClipboardHasFormat(UINT format) {
  OpenClip clip;
  return clip && ::IsClipboardFormatAvailable(format);
}

bool PutMetafilePictOnClipboard(HMETAFILE wmf, LONG widthHimetric, LONG heightHimetric) {
  HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT));
  if (!wmf || !mem) {
    if (mem) ::GlobalFree(mem);
    if (wmf) ::DeleteMetaFile(wmf);
    return false;
  }
  auto* pict = static_cast<METAFILEPICT*>(::GlobalLock(mem));
  *pict = METAFILEPICT{MM_ANISOTROPIC, widthHimetric, heightHimetric, wmf};
  ::GlobalUnlock(mem);
  bool ok = false;
  {
    OpenClip clip;
    if (clip) {
      ::EmptyClipboard();
      ok = ::SetClipboardData(CF_METAFILEPICT, mem) != nullptr;
    }
  }
  if (!ok) {
    ::GlobalFree(mem);
    ::DeleteMetaFile(wmf);
  }
  return ok;
}

bool PutBitmapOnClipboard(const Image& img) {
  // The clipboard takes a device-dependent bitmap.
  HDC screen = ::GetDC(nullptr);
  HBITMAP ddb = ::CreateCompatibleBitmap(screen, img.width, img.height);
  BITMAPINFO bi = TopDown32(img.width, img.height);
  ::SetDIBits(screen, ddb, 0, img.height, img.px.data(), &bi, DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  OpenClip clip;
  if (!clip || !::EmptyClipboard()) {
    ::DeleteObject(ddb);
    return false;
  }
  if (!::SetClipboardData(CF_BITMAP, ddb)) {
    ::DeleteObject(ddb);
    return false;
  }
  return true;
}

bool PutTextOnClipboard(const std::string& text) {
  HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  std::memcpy(::GlobalLock(mem), text.c_str(), text.size() + 1);
  ::GlobalUnlock(mem);
  OpenClip clip;
  if (!clip || !::EmptyClipboard() || !::SetClipboardData(CF_TEXT, mem)) {
    ::GlobalFree(mem);
    return false;
  }
  return true;
}

bool EmptyTheClipboard() {
  OpenClip clip;
  return clip && ::EmptyClipboard();
}

}  // namespace e2e
