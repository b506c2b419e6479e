#include "platform/window.h"

#include <array>

#include "platform/handles.h"
#include "platform/screen.h"

namespace fw {

HWND CreateControl(const char* className, const char* text, DWORD style, DWORD exStyle, HWND parent, int id,
                   const Place& place) {
  return ::CreateWindowExA(exStyle, className, text, style | WS_CHILD, TwipsToPixelsX(place.left),
                           TwipsToPixelsY(place.top), TwipsToPixelsX(place.width), TwipsToPixelsY(place.height), parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleA(nullptr), nullptr);
}

void MoveToPlace(HWND hwnd, const Place& place) {
  ::MoveWindow(hwnd, TwipsToPixelsX(place.left), TwipsToPixelsY(place.top), TwipsToPixelsX(place.width),
               TwipsToPixelsY(place.height), TRUE);
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
  RECT r{0, 0, TwipsToPixelsX(width), TwipsToPixelsY(height)};
  DWORD style = static_cast<DWORD>(::GetWindowLongPtrA(hwnd, GWL_STYLE));
  DWORD ex = static_cast<DWORD>(::GetWindowLongPtrA(hwnd, GWL_EXSTYLE));
  ::AdjustWindowRectEx(&r, style, ::GetMenu(hwnd) != nullptr, ex);
  ::SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HFONT UiFont(FontKind kind) {
  static std::array<UniqueFont, 3> fonts;
  auto& slot = fonts[static_cast<int>(kind)];
  if (!slot) {
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    double points = 8.25;
    const char* face = "Arial";
    switch (kind) {
      case FontKind::Arial8: break;
      case FontKind::SansSerif8: face = "MS Sans Serif"; break;
      case FontKind::Arial16Bold:
        points = 15.75;
        lf.lfWeight = FW_BOLD;
        break;
    }
    lf.lfHeight = -static_cast<LONG>(units::RoundHalfEven(points * ScreenDpiY() / 72.0));
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    slot.reset(::CreateFontIndirectA(&lf));
  }
  return slot.get();
}

void SetFont(HWND hwnd, FontKind kind) {
  ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont(kind)), TRUE);
}

std::string WindowText(HWND hwnd) {
  int n = ::GetWindowTextLengthA(hwnd);
  std::string s(static_cast<std::size_t>(n > 0 ? n : 0) + 1, '\0');
  int got = ::GetWindowTextA(hwnd, s.data(), static_cast<int>(s.size()));
  s.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return s;
}

std::string ComboItemText(HWND combo, LRESULT index) {
  LRESULT len = ::SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (len < 0) return {};
  std::string text(static_cast<std::size_t>(len) + 1, '\0');
  LRESULT got = ::SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return text;
}

}  // namespace fw
