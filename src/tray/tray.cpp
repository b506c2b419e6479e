#include "tray/tray.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/lazy_library.h"
#include "platform/text.h"
#include "platform/top_window.h"
#include "platform/window.h"
#include "tray/tray_rules.h"

namespace fw {

NOTIFYICONDATAW TrayIconData{};
WNDPROC PrevTrayWndProc = nullptr;

#if !defined(_WIN64)
// The first version of the record: five 32-bit fields, then the tip of 64
// UTF-16 units.
static_assert(NOTIFYICONDATAW_V1_SIZE == 152);
static_assert(offsetof(NOTIFYICONDATAW, szTip) == 24);
#endif
static_assert(NOTIFYICONDATAW_V1_SIZE == offsetof(NOTIFYICONDATAW, szTip) + tray::kTipFieldSize * sizeof(WCHAR));
static_assert(sizeof(TrayIconData.szTip) >= sizeof(tray::TipField));
static_assert(sizeof(WCHAR) == sizeof(char16_t));
static_assert(tray::kTrayCallbackMessage == WM_USER + 1001);
static_assert(tray::kNifMessage == NIF_MESSAGE && tray::kNifIcon == NIF_ICON && tray::kNifTip == NIF_TIP);
static_assert(tray::kAddAgainFlags == (NIF_MESSAGE | NIF_ICON | NIF_TIP));
static_assert(tray::kWmLButtonUp == WM_LBUTTONUP && tray::kWmRButtonUp == WM_RBUTTONUP);

namespace {

MainWindow* TrayOwnerForm = nullptr;
HMENU TrayMenu = nullptr;
// The window TrayWndProc is installed on, while it is.
HWND g_installedOn = nullptr;
// The shell took the icon and it has not been removed since.
bool g_iconAdded = false;
// The icon the record carries: a copy of the record's own, kept for as long
// as the record carries it. The picture an icon came from can be cleared
// or replaced at any moment, and the record is sent again whole when the
// shell restarts, long after.
UniqueIcon g_icon;

// The record carries a copy of `icon` from now on; false, with the record
// as it was, when no copy can be made.
bool CarryIcon(HICON icon) {
  UniqueIcon copy(icon ? ::CopyIcon(icon) : nullptr);
  if (!copy) return false;
  TrayIconData.hIcon = copy.get();
  g_icon = std::move(copy);
  return true;
}

// Each step of the button and of the removal runs even when one before it
// failed.
template <typename Step>
void RunStep(Step step) noexcept {
  try {
    step();
  } catch (...) {
  }
}

BOOL Notify(DWORD request, unsigned flags) {
  TrayIconData.uFlags = flags;
  static auto* notify = lazy::Function<decltype(::Shell_NotifyIconW)>("shell32.dll", "Shell_NotifyIconW");
  return notify ? notify(request, &TrayIconData) : FALSE;
}

void PopUpTrayMenu() {
  if (!TrayOwnerForm || !TrayMenu) return;
  HWND owner = TrayOwnerForm->hwnd();
  POINT at{};
  ::GetCursorPos(&at);
  // A menu of a thread that is not in the foreground does not close when
  // the user clicks elsewhere and gets no keys; taking the foreground does
  // not show the hidden window. The WM_NULL afterwards lets the switch to
  // the foreground finish, without which the next popup can close as soon
  // as it opens.
  ::SetForegroundWindow(owner);
  ::TrackPopupMenu(TrayMenu, 0, at.x, at.y, 0, owner, nullptr);
  ::PostMessageA(owner, WM_NULL, 0, 0);
}

// Lets the shell's "TaskbarCreated" through to the window when the program
// runs with more rights than the shell (as administrator): the system keeps
// registered messages from a process of lower integrity out otherwise.
void HearShellRestarts(HWND window) {
  UINT taskbarCreated = TaskbarCreatedMessage();
  static auto* allow =
      lazy::Function<decltype(::ChangeWindowMessageFilterEx)>("user32.dll", "ChangeWindowMessageFilterEx");
  if (taskbarCreated && allow) allow(window, taskbarCreated, MSGFLT_ALLOW, nullptr);
}

}  // namespace

bool AddTrayIcon(MainWindow& owner, HMENU menu) {
  TrayOwnerForm = &owner;
  TrayMenu = menu;
  HWND hwnd = owner.hwnd();
  HearShellRestarts(hwnd);
  // Never in front of itself: one TrayWndProc at most in the chain.
  if (g_installedOn != hwnd) {
    WNDPROC previous = SetWindowProc(hwnd, TrayWndProc);
    if (previous) {
      PrevTrayWndProc = previous;
      g_installedOn = hwnd;
    }
  }
  TrayIconData.uID = 0;
  TrayIconData.cbSize = NOTIFYICONDATAW_V1_SIZE;
  TrayIconData.hWnd = hwnd;
  if (!CarryIcon(owner.icon())) {
    // The window's own icon lives as long as the window the record names.
    TrayIconData.hIcon = owner.icon();
    g_icon.reset();
  }
  TrayIconData.uCallbackMessage = tray::kTrayCallbackMessage;
  g_iconAdded = Notify(NIM_ADD, tray::kAddFlags) != FALSE;
  return g_iconAdded;
}

void RemoveTrayIcon() {
  // With no icon ever added the record is all zero and names no icon.
  RunStep([] {
    g_iconAdded = false;
    Notify(NIM_DELETE, tray::kDeleteFlags);
    TrayIconData.hIcon = nullptr;
    g_icon.reset();
  });
  RunStep([] {
    if (!TrayOwnerForm || !g_installedOn) return;
    if (::IsWindow(g_installedOn)) SetWindowProc(g_installedOn, PrevTrayWndProc);
    g_installedOn = nullptr;
  });
}

void SetTrayTip(std::string_view text) {
  std::wstring wide = Widen(text);
  tray::TipField field = tray::BuildTipField(std::u16string(wide.begin(), wide.end()));
  std::memcpy(TrayIconData.szTip, field.data(), sizeof field);
  Notify(NIM_MODIFY, tray::kTipFlags);
}

void SetTrayIconFromPicture(const Picture& picture) {
  if (picture.Type() != PictureType::Icon || !CarryIcon(static_cast<HICON>(picture.Handle()))) return;
  Notify(NIM_MODIFY, tray::kIconFlags);
}

void AddTrayIconAgain() {
  if (!g_iconAdded || !TrayOwnerForm) return;
  if (Notify(NIM_ADD, tray::kAddAgainFlags)) return;
  // The shell also sends the message without having lost its icons (after
  // a change of the display's scaling); it then refuses a second add of
  // the same icon but takes the record as a change.
  if (Notify(NIM_MODIFY, tray::kAddAgainFlags)) return;
  TrayOwnerForm->Show();
}

LRESULT CALLBACK TrayWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == tray::kTrayCallbackMessage) {
    try {
      switch (tray::ActionFor(msg, static_cast<std::uint64_t>(lParam))) {
        case tray::CallbackAction::ShowWindow:
          if (TrayOwnerForm) TrayOwnerForm->Show();
          return 0;
        case tray::CallbackAction::PopupMenu: PopUpTrayMenu(); return 0;
        case tray::CallbackAction::PassOn: break;
      }
    } catch (...) {
      return 0;
    }
  }
  if (!PrevTrayWndProc) return ::DefWindowProcA(hwnd, msg, wParam, lParam);
  return ::CallWindowProcA(PrevTrayWndProc, hwnd, msg, wParam, lParam);
}

void Command6_Click(MainWindow& form) {
  bool added = false;
  RunStep([] { RemoveTrayIcon(); });
  RunStep([&] { added = AddTrayIcon(form, form.fileMenu()); });
  RunStep([&] { SetTrayIconFromPicture(form.GetPicture()); });
  RunStep([] { SetTrayTip(tray::kTrayTip); });
  // Without an icon there would be no way back to a hidden window.
  RunStep([&] {
    if (added) form.Hide();
  });
}

}  // namespace fw
