#include "platform/window.h"

#include <algorithm>
#include <map>
#include <utility>

#include "platform/dpi_rules.h"
#include "platform/handles.h"
#include "platform/lazy_library.h"
#include "platform/text.h"
#include "platform/top_window.h"

namespace fw {
namespace {

// A place in pixels at a DPI.
RECT PixelPlace(const Place& place, int dpi) {
  int left = static_cast<int>(units::TwipsToPixels(place.left, dpi));
  int top = static_cast<int>(units::TwipsToPixels(place.top, dpi));
  return RECT{left, top, left + static_cast<int>(units::TwipsToPixels(place.width, dpi)),
              top + static_cast<int>(units::TwipsToPixels(place.height, dpi))};
}

// The shared fonts by kind and DPI.
std::map<std::pair<FontKind, int>, UniqueFont>& Fonts() {
  static std::map<std::pair<FontKind, int>, UniqueFont> fonts;
  return fonts;
}

// Called by EnumChildWindows: nothing may escape it. A control whose new
// font cannot be made keeps the one it has.
BOOL CALLBACK RefreshFont(HWND control, LPARAM dpi) {
  try {
    HFONT current = reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
    if (!current) return TRUE;
    const auto& fonts = Fonts();
    auto shared = std::find_if(fonts.begin(), fonts.end(), [&](const auto& f) { return f.second.get() == current; });
    if (shared != fonts.end() && shared->first.second != static_cast<int>(dpi)) {
      if (HFONT now = UiFont(shared->first.first, static_cast<int>(dpi))) {
        ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(now), TRUE);
      }
    }
  } catch (...) {
  }
  return TRUE;
}

// The outer size of a window whose client area is `r`, with the frame
// Windows draws at the window's DPI (AdjustWindowRectExForDpi, Windows 10
// 1607 and later; before, the one scaling there is).
void AdjustToOuter(RECT& r, HWND hwnd, int dpi) {
  using AdjustForDpiFn = BOOL WINAPI(RECT*, DWORD, BOOL, DWORD, UINT);
  static auto* forDpi = lazy::Function<AdjustForDpiFn>("user32.dll", "AdjustWindowRectExForDpi");
  DWORD style = static_cast<DWORD>(::GetWindowLongPtrA(hwnd, GWL_STYLE));
  DWORD ex = static_cast<DWORD>(::GetWindowLongPtrA(hwnd, GWL_EXSTYLE));
  BOOL menu = ::GetMenu(hwnd) != nullptr;
  if (forDpi && forDpi(&r, style, menu, ex, static_cast<UINT>(dpi))) return;
  ::AdjustWindowRectEx(&r, style, menu, ex);
}

}  // namespace

HWND CreateControl(const char* className, const char* text, DWORD style, DWORD exStyle, HWND parent, int id,
                   const Place& place) {
  RECT r = PixelPlace(place, TopWindow::DpiOf(parent));
  // A wide window, so that the system's controls keep any text they are
  // given (an ANSI list box or edit box would keep only what the ANSI code
  // page holds).
  return ::CreateWindowExW(exStyle, Widen(className).c_str(), Widen(text).c_str(), style | WS_CHILD, r.left, r.top,
                           r.right - r.left, r.bottom - r.top, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
}

void MoveToPlace(HWND hwnd, const Place& place) {
  RECT r = PixelPlace(place, TopWindow::DpiOf(hwnd));
  ::MoveWindow(hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void MoveToPlaces(HWND parent, std::span<const ControlPlace> places) {
  for (const ControlPlace& p : places) {
    if (HWND control = ::GetDlgItem(parent, p.id)) MoveToPlace(control, p.place);
  }
}

WNDPROC SetWindowProc(HWND hwnd, WNDPROC proc) {
  // On 32-bit Windows this is SetWindowLongA with GWL_WNDPROC.
  return reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

void CenterOnScreen(HWND hwnd) {
  RECT r{};
  ::GetWindowRect(hwnd, &r);
  int w = r.right - r.left, h = r.bottom - r.top;
  int sw = ::GetSystemMetrics(SM_CXSCREEN), sh = ::GetSystemMetrics(SM_CYSCREEN);
  ::SetWindowPos(hwnd, nullptr, (sw - w) / 2, (sh - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetClientSizeTwips(HWND hwnd, long width, long height) {
  int dpi = TopWindow::DpiOf(hwnd);
  RECT r = PixelPlace(Place{0, 0, width, height}, dpi);
  AdjustToOuter(r, hwnd, dpi);
  ::SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HFONT UiFont(FontKind kind, int dpi) {
  auto& slot = Fonts()[{kind, dpi}];
  if (!slot) {
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    double points = 8.25;
    const char* face = "Arial";
    switch (kind) {
      case FontKind::Arial8: break;
      // MS Sans Serif is a bitmap font with a few sizes: at 200 % its
      // 8.25 pt (22 pixels) comes out at 16. Microsoft Sans Serif, its
      // TrueType twin with the same design and widths (Windows 2000 on),
      // is made at any size.
      case FontKind::SansSerif8: face = "Microsoft Sans Serif"; break;
      case FontKind::Arial16Bold:
        points = 15.75;
        lf.lfWeight = FW_BOLD;
        break;
    }
    lf.lfHeight = static_cast<LONG>(dpi::FontHeight(points, dpi));
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    slot.reset(::CreateFontIndirectA(&lf));
  }
  return slot.get();
}

void SetFont(HWND hwnd, FontKind kind) {
  ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont(kind, TopWindow::DpiOf(hwnd))), TRUE);
}

void RefreshFonts(HWND root) {
  ::EnumChildWindows(root, RefreshFont, static_cast<LPARAM>(TopWindow::DpiOf(root)));
}

std::string WindowText(HWND hwnd) {
  int n = ::GetWindowTextLengthW(hwnd);
  std::wstring s(static_cast<std::size_t>(n > 0 ? n : 0) + 1, L'\0');
  int got = ::GetWindowTextW(hwnd, s.data(), static_cast<int>(s.size()));
  s.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return Narrow(s);
}

std::string ComboItemText(HWND combo, LRESULT index) {
  LRESULT len = ::SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (len < 0) return {};
  std::wstring text(static_cast<std::size_t>(len) + 1, L'\0');
  LRESULT got = ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return Narrow(text);
}

}  // namespace fw
