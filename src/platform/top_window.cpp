#include "platform/top_window.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/dpi_rules.h"
#include "platform/events.h"
#include "platform/screen.h"
#include "platform/skin.h"
#include "platform/window.h"

namespace fw {
namespace {

// The windows bound to an object, for routing key messages.
std::vector<TopWindow*>& BoundWindows() {
  static std::vector<TopWindow*> windows;
  return windows;
}

void Forget(TopWindow* window) {
  auto& all = BoundWindows();
  all.erase(std::remove(all.begin(), all.end(), window), all.end());
}

}  // namespace

UINT TaskbarCreatedMessage() noexcept {
  static const UINT message = ::RegisterWindowMessageA("TaskbarCreated");
  return message;
}

TopWindow::~TopWindow() {
  if (HWND h = std::exchange(hwnd_, nullptr)) {
    // Unbound first: the object is half gone, so its handlers must not run.
    ::SetWindowLongPtrA(h, GWLP_USERDATA, 0);
    Forget(this);
    ::DestroyWindow(h);
  }
}

void TopWindow::Destroy() noexcept {
  if (hwnd_) ::DestroyWindow(hwnd_);
}

int TopWindow::DpiOf(HWND window) {
  HWND root = window ? ::GetAncestor(window, GA_ROOT) : nullptr;
  if (!root) root = window;
  for (TopWindow* bound : BoundWindows()) {
    if (bound->hwnd_ == root && bound->dpi_) return bound->dpi_;
  }
  return SystemDpiOf(root);
}

void TopWindow::RestoreFocus() {
  if (!hwnd_) return;
  HWND target = lastFocus_ && ::IsWindow(lastFocus_) && ::IsChild(hwnd_, lastFocus_) ? lastFocus_ : FirstFocus();
  if (target) ::SetFocus(target);
}

bool TopWindow::Create(const ClassSpec& cls, const WindowSpec& window) noexcept {
  if (hwnd_) return true;
  try {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (!::GetClassInfoExA(instance, cls.name, &wc)) {
      wc = WNDCLASSEXA{};
      wc.cbSize = sizeof wc;
      wc.lpfnWndProc = Proc;
      wc.hInstance = instance;
      wc.hIcon = cls.icon;
      wc.hIconSm = cls.smallIcon;
      wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
      wc.hbrBackground = cls.background;
      wc.lpszClassName = cls.name;
      if (!::RegisterClassExA(&wc)) return false;
    }
    static const bool routed = [] {
      AddMessageFilter(RouteKeyMessage);
      return true;
    }();
    (void)routed;
    if (!::CreateWindowExA(window.exStyle, cls.name, window.title, window.style, CW_USEDEFAULT, CW_USEDEFAULT,
                           window.width, window.height, window.owner, window.menu, instance, this)) {
      return false;
    }
  } catch (...) {
    return false;
  }
  keepsProgramRunning_ = window.keepsProgramRunning;
  if (keepsProgramRunning_) FormLoaded();
  return hwnd_ != nullptr;
}

bool TopWindow::PreTranslateMessage(MSG& msg) {
  return hwnd_ && ::IsWindowVisible(hwnd_) && ::IsDialogMessageA(hwnd_, &msg) != FALSE;
}

bool TopWindow::RouteKeyMessage(MSG& msg) {
  if (!msg.hwnd) return false;
  HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
  for (TopWindow* window : BoundWindows()) {
    if (window->hwnd_ == root) return window->PreTranslateMessage(msg);
  }
  return false;
}

LRESULT CALLBACK TopWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  try {
    auto* self = reinterpret_cast<TopWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg == WM_NCCREATE) {
      // Every window of these classes is created by Create(), with its object.
      self = static_cast<TopWindow*>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
      if (self) {
        BoundWindows().push_back(self);
        self->hwnd_ = hwnd;
        self->dpi_ = SystemDpiOf(hwnd);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
      }
    }
    if (!self) return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
      ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      Forget(self);
      self->hwnd_ = nullptr;
      self->lastFocus_ = nullptr;
      self->dpi_ = 0;
      return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    return self->Dispatch(msg, wParam, lParam);
  } catch (...) {
    // A handler that failed leaves the message to the system.
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

LRESULT TopWindow::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = hwnd_;
  LRESULT result = 0;
  if (skin::HandleMessage(hwnd, msg, wParam, lParam, result)) return result;
  switch (msg) {
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_SIZE: OnSize(); return 0;
    case WM_TIMER:
      if (lParam) break;  // a timer with its own procedure
      OnTimer(wParam);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam)) break;  // activated while minimised
      OnActivate(wParam);
      return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_QUERYENDSESSION: return OnQueryEndSession(lParam) ? TRUE : FALSE;
    case WM_ENDSESSION: OnEndSession(wParam != FALSE, lParam); return 0;
    case WM_DPICHANGED:
      if (int dpi = dpi::FromDpiChanged(wParam)) ChangeDpi(dpi, reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_DESTROY:
      OnDestroy();
      if (keepsProgramRunning_) FormUnloaded();
      return 0;
    case WM_MEASUREITEM:
      if (lParam && OnMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) return TRUE;
      break;
    case WM_DRAWITEM:
      if (lParam && OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return TRUE;
      break;
    case DM_GETDEFID:
      if (int id = DefaultButtonId()) return MAKELRESULT(id, DC_HASDEFID);
      break;
    case WM_NEXTDLGCTL: {
      // Moves the focus to the next or previous tab stop, or to the given
      // control, as a dialog box does; a window that is not of the dialog
      // class does this itself.
      HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                 : ::GetNextDlgTabItem(hwnd, ::GetFocus(), wParam != 0 ? TRUE : FALSE);
      if (next) ::SetFocus(next);
      return 0;
    }
    default:
      if (msg != 0 && msg == TaskbarCreatedMessage()) {
        OnTaskbarCreated();
        return 0;
      }
      if (OnOtherMessage(msg, wParam, lParam, result)) return result;
      break;
  }
  return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

// The window follows its new DPI: fonts made at it, the rectangle Windows
// suggests for it (its outer size scaled, placed on the monitor it moves
// to), then the controls placed again.
void TopWindow::ChangeDpi(int dpi, const RECT* suggested) {
  dpi_ = dpi;
  RefreshFonts(hwnd_);
  if (suggested && suggested->right > suggested->left && suggested->bottom > suggested->top) {
    ::SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  OnDpiChanged();
  ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TopWindow::OnActivate(WPARAM wParam) {
  // Like a dialog box, the window keeps the keyboard focus on a control
  // across deactivation.
  if (LOWORD(wParam) == WA_INACTIVE) {
    HWND focus = ::GetFocus();
    if (focus && ::IsChild(hwnd_, focus)) lastFocus_ = focus;
    return;
  }
  RestoreFocus();
}

}  // namespace fw
