#include "capture/capture_engine.h"

#include <dwmapi.h>

#include <optional>

#include "platform/handles.h"
#include "platform/lazy_library.h"

namespace fw {
namespace {

// A logical palette with room for all 256 entries.
struct LogPalette256 {
  WORD palVersion;
  WORD palNumEntries;
  PALETTEENTRY palPalEntry[256];
};

constexpr int kRasterCaps = 38;    // RASTERCAPS
constexpr int kSizePalette = 104;  // SIZEPALETTE
constexpr int kRcPalette = 0x100;  // RC_PALETTE
static_assert(kRasterCaps == RASTERCAPS && kSizePalette == SIZEPALETTE && kRcPalette == RC_PALETTE);

// A palette made from the system palette, entries 0 to 255.
UniquePalette SystemPaletteCopy(HDC source, LogPalette256& logPalette) {
  logPalette.palVersion = 0x300;
  logPalette.palNumEntries = 256;
  ::GetSystemPaletteEntries(source, 0, 256, logPalette.palPalEntry);
  return UniquePalette(::CreatePalette(reinterpret_cast<LOGPALETTE*>(&logPalette)));
}

capture::ScreenRect FromRect(const RECT& r) {
  return capture::ScreenRect{r.left, r.top, r.right, r.bottom};
}

// The window's visible frame as the compositor reports it, in screen
// pixels of the window's monitor (not scaled for programs unaware of it);
// none without a compositor (no dwmapi, composition off, Wine) or when it
// cannot tell.
std::optional<capture::ScreenRect> CompositorFrame(HWND window) {
  static auto* get = lazy::Function<decltype(::DwmGetWindowAttribute)>("dwmapi.dll", "DwmGetWindowAttribute");
  RECT frame{};
  if (!get || FAILED(get(window, DWMWA_EXTENDED_FRAME_BOUNDS, &frame, sizeof frame))) return std::nullopt;
  return FromRect(frame);
}

// The rectangle of the monitor the window is on; empty when unknown.
capture::ScreenRect MonitorOf(HWND window) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  HMONITOR monitor = ::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
  if (!monitor || !::GetMonitorInfoA(monitor, &info)) return capture::ScreenRect{};
  return FromRect(info.rcMonitor);
}

}  // namespace

capture::CaptureArea VisibleWindowArea(HWND window) {
  RECT r{};
  if (!window || !::GetWindowRect(window, &r)) return capture::CaptureArea{};
  bool maximised = ::IsZoomed(window) != FALSE;
  return capture::WindowCaptureArea(FromRect(r), CompositorFrame(window), maximised,
                                    maximised ? MonitorOf(window) : capture::ScreenRect{});
}

Picture PictureFromBitmap(UniqueBitmap bitmap, UniquePalette palette) {
  return Picture::FromBitmap(std::move(bitmap), std::move(palette));
}

Snapshot SnapWindowRegion(HWND hwnd, bool clientOnly, long left, long top, long width, long height) {
  LogPalette256 logPalette{};  // zeroed in full on every call
  Snapshot shot;
  shot.width = width;
  shot.height = height;
  auto failed = [&shot](capture::SnapFailure failure) {
    shot.failure = failure;
    shot.error = ::GetLastError();
    return std::move(shot);
  };

  ::SetLastError(0);
  WindowDC source(hwnd, clientOnly ? WindowDC::Area::Client : WindowDC::Area::Whole);
  if (!source) return failed(capture::SnapFailure::NoScreen);
  UniqueMemDC memory(::CreateCompatibleDC(source.get()));
  if (!memory) return failed(capture::SnapFailure::NoBitmap);
  UniqueBitmap bitmap(::CreateCompatibleBitmap(source.get(), width, height));
  if (!bitmap) return failed(capture::SnapFailure::NoBitmap);

  int rasterCaps = ::GetDeviceCaps(source.get(), kRasterCaps);
  int paletteSize = ::GetDeviceCaps(source.get(), kSizePalette);
  bool paletteDevice = (rasterCaps & kRcPalette) != 0 && paletteSize == 256;
  UniquePalette palette = paletteDevice ? SystemPaletteCopy(source.get(), logPalette) : UniquePalette();
  {
    // The memory context's own bitmap and palette are selected back when
    // these go, before the context is deleted.
    SelectGuard selectBitmap(memory.get(), bitmap.get());
    PaletteGuard selectPalette(memory.get(), palette.get());
    ::BitBlt(memory.get(), 0, 0, width, height, source.get(), left, top, SRCCOPY);
  }
  memory.reset();

  ::SetLastError(0);
  shot.picture = PictureFromBitmap(std::move(bitmap), std::move(palette));
  if (!shot.picture.IsObject()) return failed(capture::SnapFailure::NoPicture);
  return shot;
}

Snapshot SnapDesktop() {
  // The primary screen's size in pixels, read as such: converting through
  // twips would lose pixels wherever a pixel is not a whole number of twips
  // (7.5 twips at 192 dots per inch).
  HWND desktop = ::GetDesktopWindow();
  return SnapWindowRegion(desktop, false, 0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
}

Snapshot SnapForegroundWindow() {
  HWND window = ::GetForegroundWindow();
  capture::CaptureArea area = VisibleWindowArea(window);
  return SnapWindowRegion(window, false, area.left, area.top, area.width, area.height);
}

Snapshot SnapOwnForm(HWND form) {
  RECT r{};
  ::GetWindowRect(form, &r);
  return SnapWindowRegion(form, false, 0, 0, r.right - r.left, r.bottom - r.top);
}

Snapshot SnapOwnClient(HWND form) {
  RECT r{};
  ::GetClientRect(form, &r);
  return SnapWindowRegion(form, true, 0, 0, r.right - r.left, r.bottom - r.top);
}

}  // namespace fw
