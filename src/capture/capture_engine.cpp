#include "capture/capture_engine.h"

#include <ocidl.h>
#include <olectl.h>

#include "platform/com.h"
#include "platform/handles.h"

namespace fw {
namespace {

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(PICTDESC) == 20, "the picture description is 20 bytes on 32-bit Windows");
#endif

// A logical palette with room for all 256 entries.
struct LogPalette256 {
  WORD palVersion;
  WORD palNumEntries;
  PALETTEENTRY palPalEntry[256];
};

constexpr int kRasterCaps = 38;    // RASTERCAPS
constexpr int kSizePalette = 104;  // SIZEPALETTE
constexpr int kRcPalette = 0x100;  // RC_PALETTE

}  // namespace

Picture PictureFromBitmap(HBITMAP bitmap, HPALETTE palette) {
  // The picture takes ownership; until it exists, these do.
  UniqueBitmap ownedBitmap(bitmap);
  UniquePalette ownedPalette(palette);

  PICTDESC desc{};
  desc.cbSizeofstruct = sizeof desc;
  desc.picType = PICTYPE_BITMAP;
  desc.bmp.hbitmap = bitmap;
  desc.bmp.hpal = palette;

  ComPtr<IDispatch> object;
  HRESULT hr = ::OleCreatePictureIndirect(&desc, IID_IDispatch, TRUE, object.put_void());
  if (FAILED(hr) || !object) return Picture();  // the owners delete the handles
  ownedBitmap.release();
  ownedPalette.release();
  return Picture::FromDisp(object.As<IPictureDisp>(IID_IPictureDisp));
}

Picture SnapWindowRegion(HWND hwnd, bool clientOnly, long left, long top, long width, long height) {
  LogPalette256 logPalette{};  // zeroed in full on every call

  WindowDC source(hwnd, clientOnly ? WindowDC::Area::Client : WindowDC::Area::Whole);
  UniqueMemDC memory(::CreateCompatibleDC(source.get()));
  UniqueBitmap bitmap(::CreateCompatibleBitmap(source.get(), width, height));
  HGDIOBJ kept = ::SelectObject(memory.get(), bitmap.get());

  int rasterCaps = ::GetDeviceCaps(source.get(), kRasterCaps);
  int paletteSize = ::GetDeviceCaps(source.get(), kSizePalette);
  bool paletteDevice = (rasterCaps & kRcPalette) != 0 && paletteSize == 256;

  UniquePalette palette;
  HPALETTE keptPalette = nullptr;
  if (paletteDevice) {
    logPalette.palVersion = 0x300;
    logPalette.palNumEntries = 256;
    ::GetSystemPaletteEntries(source.get(), 0, 256, logPalette.palPalEntry);
    palette.reset(::CreatePalette(reinterpret_cast<LOGPALETTE*>(&logPalette)));
    keptPalette = ::SelectPalette(memory.get(), palette.get(), FALSE);
    ::RealizePalette(memory.get());
  }

  ::BitBlt(memory.get(), 0, 0, width, height, source.get(), left, top, SRCCOPY);

  // Select the memory context's own objects back before it is deleted.
  if (kept) ::SelectObject(memory.get(), kept);
  if (paletteDevice && keptPalette) ::SelectPalette(memory.get(), keptPalette, FALSE);
  memory.reset();

  return PictureFromBitmap(bitmap.release(), palette.release());
}

Picture SnapDesktop() {
  // The primary screen's size in pixels, read as such: converting through
  // twips would lose pixels wherever a pixel is not a whole number of twips
  // (7.5 twips at 192 dots per inch).
  HWND desktop = ::GetDesktopWindow();
  return SnapWindowRegion(desktop, false, 0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
}

Picture SnapForegroundWindow() {
  HWND window = ::GetForegroundWindow();
  RECT r{};
  if (!window || !::GetWindowRect(window, &r)) r = RECT{0, 0, 0, 0};
  return SnapWindowRegion(window, false, 0, 0, r.right - r.left, r.bottom - r.top);
}

Picture SnapOwnForm(HWND form) {
  RECT r{};
  ::GetWindowRect(form, &r);
  return SnapWindowRegion(form, false, 0, 0, r.right - r.left, r.bottom - r.top);
}

Picture SnapOwnClient(HWND form) {
  RECT r{};
  ::GetClientRect(form, &r);
  return SnapWindowRegion(form, true, 0, 0, r.right - r.left, r.bottom - r.top);
}

}  // namespace fw
