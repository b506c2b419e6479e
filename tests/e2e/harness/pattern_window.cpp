#include "harness/pattern_window.h"

#include "harness/input.h"
#include "harness/wait.h"
#include "harness/window_lookup.h"

namespace e2e {
namespace {

constexpr const char* kPatternClass = "FwTestPattern";
constexpr const char* kClockProperty = "FwClock";
constexpr UINT_PTR kClockTimer = 1;

struct ClockState {
  DWORD start;
  int band;
};

void PaintClock(HWND hwnd, HDC dc, const ClockState& clock) {
  RECT rc;
  ::GetClientRect(hwnd, &rc);
  DWORD v = (::GetTickCount() - clock.start) / 10;
  HBRUSH brush = ::CreateSolidBrush(RGB((v >> 8) & 0xFF, v & 0xFF, 0x5A));
  RECT band{0, rc.bottom - clock.band, rc.right, rc.bottom};
  ::FillRect(dc, &band, brush);
  ::DeleteObject(brush);
}

LRESULT CALLBACK PatternProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER) {
    if (auto* clock = static_cast<ClockState*>(::GetPropA(hwnd, kClockProperty))) {
      HDC dc = ::GetDC(hwnd);
      PaintClock(hwnd, dc, *clock);
      ::ReleaseDC(hwnd, dc);
    }
    return 0;
  }
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd, &ps);
    auto* img = reinterpret_cast<const Image*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (img) {
      BITMAPINFO bi{};
      bi.bmiHeader.biSize = sizeof bi.bmiHeader;
      bi.bmiHeader.biWidth = img->width;
      bi.bmiHeader.biHeight = -img->height;
      bi.bmiHeader.biPlanes = 1;
      bi.bmiHeader.biBitCount = 32;
      ::SetDIBitsToDevice(dc, 0, 0, img->width, img->height, 0, 0, 0, img->height, img->px.data(), &bi, DIB_RGB_COLORS);
    }
    if (auto* clock = static_cast<ClockState*>(::GetPropA(hwnd, kClockProperty))) PaintClock(hwnd, dc, *clock);
    ::EndPaint(hwnd, &ps);
    return 0;
  }
  if (msg == WM_ERASEBKGND) return 1;
  return ::DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

std::uint32_t PatternWindow::Colour(int x, int y, int seed) {
  // Blocks of distinct colours with a fine grid, so shifts and scaling show.
  std::uint32_t r = static_cast<std::uint32_t>((x / 8 * 37 + seed * 53) & 0xFF);
  std::uint32_t g = static_cast<std::uint32_t>((y / 8 * 59 + seed * 11) & 0xFF);
  std::uint32_t b = static_cast<std::uint32_t>(((x + y) % 7 == 0 ? 255 : (x ^ y) * 3 + seed) & 0xFF);
  return (r << 16) | (g << 8) | b;
}

std::uint32_t PatternWindow::BlockColour(int x, int y, int seed) {
  int bx = x / 16, by = y / 16;
  std::uint32_t r = static_cast<std::uint32_t>((bx * 37 + seed * 53) & 0xFF);
  std::uint32_t g = static_cast<std::uint32_t>((by * 59 + seed * 11) & 0xFF);
  std::uint32_t b = static_cast<std::uint32_t>(((bx + by) * 91 + seed * 29) & 0xFF);
  return (r << 16) | (g << 8) | b;
}

PatternWindow::PatternWindow(int x, int y, int w, int h, int seed, PatternStyle style) {
  static bool registered = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = PatternProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = kPatternClass;
    wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    return ::RegisterClassA(&wc) != 0;
  }();
  (void)registered;
  expected_.width = w;
  expected_.height = h;
  expected_.px.resize(static_cast<std::size_t>(w) * h);
  for (int yy = 0; yy < h; ++yy)
    for (int xx = 0; xx < w; ++xx) {
      expected_.px[static_cast<std::size_t>(yy) * w + xx] =
          style == PatternStyle::Blocks ? BlockColour(xx, yy, seed) : Colour(xx, yy, seed);
    }
  hwnd_ = ::CreateWindowExA(0, kPatternClass, "Pattern", WS_POPUP, x, y, w, h, nullptr, nullptr,
                            ::GetModuleHandleA(nullptr), nullptr);
  ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&expected_));
  ::ShowWindow(hwnd_, SW_SHOW);
  ::UpdateWindow(hwnd_);
  BringToFront(hwnd_);
  WaitUntil([&] { return CountDifferences(GrabScreen(ScreenRect(hwnd_)), expected_) == 0; }, 3000);
}

void PatternWindow::StartClock(int band) {
  band_ = band;
  clockStart_ = ::GetTickCount();
  static ClockState state;
  state = ClockState{clockStart_, band};
  ::SetPropA(hwnd_, kClockProperty, &state);
  ::SetTimer(hwnd_, kClockTimer, 10, nullptr);
  ::InvalidateRect(hwnd_, nullptr, FALSE);
  PumpMessages();
}

long PatternWindow::ClockIn(const Image& capture) const {
  if (band_ <= 0 || capture.height < expected_.height || capture.width < 1) return -1;
  std::uint32_t p = capture.at(0, expected_.height - 1);
  if ((p & 0xFF) != 0x5A) return -1;
  long v = static_cast<long>(((p >> 16) & 0xFF) << 8 | ((p >> 8) & 0xFF));
  return v * 10;
}

PatternWindow::~PatternWindow() {
  if (hwnd_) {
    ::KillTimer(hwnd_, kClockTimer);
    ::RemovePropA(hwnd_, kClockProperty);
    ::DestroyWindow(hwnd_);
  }
  PumpMessages();
}

}  // namespace e2e
