#include "capture/capture_engine.h"

#include <dwmapi.h>

#include <optional>
#include <vector>

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

// Whether the compositor hides the window (another virtual desktop, a
// suspended store program): it is then not on the screen. No answer: not
// cloaked.
bool Cloaked(HWND window) {
  static auto* get = lazy::Function<decltype(::DwmGetWindowAttribute)>("dwmapi.dll", "DwmGetWindowAttribute");
  DWORD cloaked = 0;
  return get && SUCCEEDED(get(window, DWMWA_CLOAKED, &cloaked, sizeof cloaked)) && cloaked != 0;
}

capture::ScreenRect VirtualScreen() {
  capture::ScreenRect box = capture::BoundingRect(Monitors());
  if (box.right > box.left && box.bottom > box.top) return box;
  long left = ::GetSystemMetrics(SM_XVIRTUALSCREEN), top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
  return capture::ScreenRect{left, top, left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                             top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (::GetMonitorInfoA(monitor, &info)) {
    reinterpret_cast<std::vector<capture::ScreenRect>*>(list)->push_back(FromRect(info.rcMonitor));
  }
  return TRUE;
}

// Copies width × height pixels at (left, top) of the source context into a
// new bitmap (with a palette made from the system palette on a 256-colour
// palette display), blackens the parts given (in the bitmap's
// coordinates), and wraps it in a picture.
Snapshot CopyFromContext(HDC source, long left, long top, long width, long height, DWORD rasterOp,
                         const std::vector<capture::ScreenRect>& blackParts) {
  LogPalette256 logPalette{};  // zeroed in full on every call
  Snapshot shot;
  shot.width = width;
  shot.height = height;
  auto failed = [&shot](capture::SnapFailure failure) {
    shot.failure = failure;
    shot.error = ::GetLastError();
    return std::move(shot);
  };

  if (!source) return failed(capture::SnapFailure::NoScreen);
  UniqueMemDC memory(::CreateCompatibleDC(source));
  if (!memory) return failed(capture::SnapFailure::NoBitmap);
  UniqueBitmap bitmap(::CreateCompatibleBitmap(source, width, height));
  if (!bitmap) return failed(capture::SnapFailure::NoBitmap);

  int rasterCaps = ::GetDeviceCaps(source, kRasterCaps);
  int paletteSize = ::GetDeviceCaps(source, kSizePalette);
  bool paletteDevice = (rasterCaps & kRcPalette) != 0 && paletteSize == 256;
  UniquePalette palette = paletteDevice ? SystemPaletteCopy(source, logPalette) : UniquePalette();
  {
    // The memory context's own bitmap and palette are selected back when
    // these go, before the context is deleted.
    SelectGuard selectBitmap(memory.get(), bitmap.get());
    PaletteGuard selectPalette(memory.get(), palette.get());
    ::BitBlt(memory.get(), 0, 0, width, height, source, left, top, rasterOp);
    for (const capture::ScreenRect& part : blackParts) {
      ::PatBlt(memory.get(), part.left, part.top, part.right - part.left, part.bottom - part.top, BLACKNESS);
    }
  }
  memory.reset();

  ::SetLastError(0);
  shot.picture = PictureFromBitmap(std::move(bitmap), std::move(palette));
  if (!shot.picture.IsObject()) return failed(capture::SnapFailure::NoPicture);
  return shot;
}

}  // namespace

std::vector<capture::ScreenRect> Monitors() {
  std::vector<capture::ScreenRect> monitors;
  ::EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

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

Snapshot SnapWindowRegion(HWND hwnd, bool clientOnly, long left, long top, long width, long height, DWORD rasterOp) {
  ::SetLastError(0);
  WindowDC source(hwnd, clientOnly ? WindowDC::Area::Client : WindowDC::Area::Whole);
  return CopyFromContext(source.get(), left, top, width, height, rasterOp, {});
}

Snapshot SnapScreenRegion(long left, long top, long width, long height,
                          const std::vector<capture::ScreenRect>& blackParts) {
  std::vector<capture::ScreenRect> parts;
  for (const capture::ScreenRect& p : blackParts) {
    parts.push_back(capture::ScreenRect{p.left - left, p.top - top, p.right - left, p.bottom - top});
  }
  ::SetLastError(0);
  WindowDC screen(nullptr, WindowDC::Area::Client);  // the whole screen, in screen coordinates
  return CopyFromContext(screen.get(), left, top, width, height, SRCCOPY | CAPTUREBLT, parts);
}

Snapshot SnapDesktop() {
  // The primary screen's size in pixels, read as such: converting through
  // twips would lose pixels wherever a pixel is not a whole number of twips
  // (7.5 twips at 192 dots per inch). CAPTUREBLT takes layered windows in
  // also where the desktop is not composed.
  HWND desktop = ::GetDesktopWindow();
  return SnapWindowRegion(desktop, false, 0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                          SRCCOPY | CAPTUREBLT);
}

Snapshot SnapForegroundWindow() {
  HWND window = ::GetForegroundWindow();
  capture::WindowOnScreen seen;
  RECT r{};
  if (window && ::GetWindowRect(window, &r)) {
    seen.window = FromRect(r);
    seen.visibleFrame = CompositorFrame(window);
    seen.maximised = ::IsZoomed(window) != FALSE;
    if (seen.maximised) seen.monitor = MonitorOf(window);
    seen.showsNothing = ::IsIconic(window) || Cloaked(window);
  }
  capture::WindowCapturePlan plan = capture::PlanWindowCapture(seen, VirtualScreen());
  if (plan.source == capture::CaptureSource::Screen) {
    return SnapScreenRegion(plan.left, plan.top, plan.width, plan.height);
  }
  return SnapWindowRegion(window, false, plan.left, plan.top, plan.width, plan.height);
}

Snapshot SnapAllMonitors() {
  std::vector<capture::ScreenRect> monitors = Monitors();
  capture::ScreenRect all = capture::BoundingRect(monitors);
  if (all.right <= all.left || all.bottom <= all.top) all = VirtualScreen();
  return SnapScreenRegion(all.left, all.top, all.right - all.left, all.bottom - all.top,
                          capture::UncoveredParts(all, monitors));
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
