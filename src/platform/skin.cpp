#include "platform/skin.h"

#include <string>
#include <vector>

#include "platform/handles.h"
#include "platform/text.h"
#include "platform/window.h"

namespace fw::skin {
namespace {

constexpr const char* kAttachedProp = "Framewick.Skin";
constexpr const char* kBackgroundProp = "Framewick.Skin.Background";

constexpr COLORREF kFace = RGB(236, 240, 245);
constexpr COLORREF kFacePressed = RGB(200, 212, 226);
constexpr COLORREF kBorder = RGB(110, 128, 150);
constexpr COLORREF kText = RGB(20, 28, 40);
constexpr COLORREF kTextDisabled = RGB(150, 156, 165);

// One brush per colour, kept for the program's life: a brush handed out
// for a control's background may be in use until the program ends, so none
// is ever deleted early. The skin uses a handful of colours.
HBRUSH CachedBrush(COLORREF colour) {
  struct Entry {
    COLORREF colour;
    UniqueBrush brush;
  };
  static std::vector<Entry> entries;
  for (const auto& e : entries) {
    if (e.colour == colour) return e.brush.get();
  }
  UniqueBrush brush(::CreateSolidBrush(colour));
  if (!brush) return static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
  entries.push_back(Entry{colour, std::move(brush)});
  return entries.back().brush.get();
}

bool IsPushButton(HWND hwnd) {
  char cls[16] = {};
  ::GetClassNameA(hwnd, cls, sizeof cls);
  if (lstrcmpiA(cls, "Button") != 0) return false;
  LONG_PTR type = ::GetWindowLongPtrA(hwnd, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

BOOL CALLBACK SkinChild(HWND child, LPARAM) {
  if (IsPushButton(child)) {
    LONG_PTR style = ::GetWindowLongPtrA(child, GWL_STYLE);
    ::SetWindowLongPtrA(child, GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
    ::InvalidateRect(child, nullptr, TRUE);
  }
  return TRUE;
}

void DrawButton(const DRAWITEMSTRUCT& di) {
  HDC dc = di.hDC;
  RECT r = di.rcItem;
  bool pressed = (di.itemState & ODS_SELECTED) != 0;
  bool disabled = (di.itemState & ODS_DISABLED) != 0;
  ::FillRect(dc, &r, CachedBrush(pressed ? kFacePressed : kFace));
  ::FrameRect(dc, &r, CachedBrush(kBorder));
  std::wstring text = Widen(WindowText(di.hwndItem));
  HFONT font = reinterpret_cast<HFONT>(::SendMessageA(di.hwndItem, WM_GETFONT, 0, 0));
  SelectGuard sel(dc, font);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, disabled ? kTextDisabled : kText);
  RECT tr = r;
  if (pressed) ::OffsetRect(&tr, 1, 1);
  UINT flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  if (di.itemState & ODS_NOACCEL) flags |= DT_HIDEPREFIX;
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &tr, flags);
  if ((di.itemState & ODS_FOCUS) && !(di.itemState & ODS_NOFOCUSRECT)) {
    RECT fr = r;
    ::InflateRect(&fr, -3, -3);
    ::DrawFocusRect(dc, &fr);
  }
}

}  // namespace

void AttachSkin(HWND hwnd) {
  if (!hwnd) return;
  ::SetPropA(hwnd, kAttachedProp, reinterpret_cast<HANDLE>(1));
  if (!::GetPropA(hwnd, kBackgroundProp)) SetBackground(hwnd, kFace);
  ::EnumChildWindows(hwnd, SkinChild, 0);
  ::InvalidateRect(hwnd, nullptr, TRUE);
}

bool IsAttached(HWND hwnd) {
  for (HWND w = hwnd; w; w = ::GetParent(w)) {
    if (::GetPropA(w, kAttachedProp)) return true;
    if (!(::GetWindowLongPtrA(w, GWL_STYLE) & WS_CHILD)) break;
  }
  return false;
}

COLORREF Background(HWND hwnd) {
  for (HWND w = hwnd; w; w = ::GetParent(w)) {
    if (HANDLE h = ::GetPropA(w, kBackgroundProp)) {
      return static_cast<COLORREF>(reinterpret_cast<UINT_PTR>(h) & 0xFFFFFF);
    }
    if (!(::GetWindowLongPtrA(w, GWL_STYLE) & WS_CHILD)) break;
  }
  return kFace;
}

void SetBackground(HWND hwnd, COLORREF colour) {
  // Stored with a marker bit so that black is not mistaken for "unset".
  ::SetPropA(hwnd, kBackgroundProp, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(colour) | 0x1000000));
}

bool HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_DRAWITEM: {
      auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (di && di->CtlType == ODT_BUTTON && IsAttached(hwnd)) {
        DrawButton(*di);
        result = TRUE;
        return true;
      }
      return false;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      if (!IsAttached(hwnd)) return false;
      HDC dc = reinterpret_cast<HDC>(wParam);
      COLORREF bg = Background(hwnd);
      ::SetBkColor(dc, bg);
      ::SetTextColor(dc, kText);
      result = reinterpret_cast<LRESULT>(CachedBrush(bg));
      return true;
    }
    case WM_ERASEBKGND: {
      if (!::GetPropA(hwnd, kBackgroundProp)) return false;
      RECT r;
      ::GetClientRect(hwnd, &r);
      ::FillRect(reinterpret_cast<HDC>(wParam), &r, CachedBrush(Background(hwnd)));
      result = 1;
      return true;
    }
    default: return false;
  }
}

}  // namespace fw::skin
