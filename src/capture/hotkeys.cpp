#include "capture/hotkeys.h"

#include <array>

#include "capture/after_capture.h"
#include "capture/capture_commands.h"
#include "capture/capture_engine.h"
#include "capture/hotkey_rules.h"
#include "output/options_rules.h"
#include "platform/events.h"
#include "platform/msgbox.h"
#include "platform/window.h"

namespace fw {

WNDPROC PrevMainWndProc = nullptr;

namespace {

// What HotkeyWndProc acts on.
const CaptureContext* g_hotkeyTarget = nullptr;

static_assert(hotkeys::kModControl == MOD_CONTROL && hotkeys::kWmHotkey == WM_HOTKEY);
static_assert(hotkeys::kHotkeys[0].virtualKey == VK_F10 && hotkeys::kHotkeys[1].virtualKey == VK_F11 &&
              hotkeys::kHotkeys[2].virtualKey == VK_F12);

}  // namespace

bool InstallHotkeys(const CaptureContext& c) {
  HWND mainWindow = c.form.hwnd();
  std::array<bool, 3> registered{};
  for (const auto& key : hotkeys::kHotkeys) {
    registered[static_cast<std::size_t>(key.id)] =
        ::RegisterHotKey(mainWindow, key.id, hotkeys::kModControl, key.virtualKey) != FALSE;
  }
  hotkeys::StartupReport report = hotkeys::ReportRegistration(registered);
  if (report.hotkeyFault) ShowMessage(hotkeys::kHotkeyFaultText, MB_ICONERROR | MB_OK, kAppTitle);
  if (report.hkFault) ShowMessage(hotkeys::kHkFaultText, MB_ICONERROR | MB_OK, kAppTitle);
  if (report.endProgram) return false;
  InstallHotkeyWndProc(c);
  return true;
}

void InstallHotkeyWndProc(const CaptureContext& c) {
  g_hotkeyTarget = &c;
  PrevMainWndProc = SetWindowProc(c.form.hwnd(), HotkeyWndProc);
}

LRESULT CALLBACK HotkeyWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_HOTKEY) {
    try {
      // Ids that do not fit in 8 bits (the system's own are negative) are
      // taken in and dropped.
      auto id = hotkeys::HotkeyId(static_cast<std::uint64_t>(wParam));
      if (id && g_hotkeyTarget) HandleHotkey(*g_hotkeyTarget, *id);
    } catch (...) {
      // A failed hotkey action must not end the program.
    }
    return 1;
  }
  return ::CallWindowProcA(PrevMainWndProc, hwnd, msg, wParam, lParam);
}

void HandleHotkey(const CaptureContext& c, unsigned char id) {
  MainWindow& form = c.form;
  DoEvents();
  // The program may have been closed by something handled just now.
  if (!form.hwnd() || !::IsWindow(form.hwnd())) return;
  // Clears what has been drawn on the main window itself; its controls
  // repaint themselves.
  ::InvalidateRect(form.hwnd(), nullptr, TRUE);

  switch (hotkeys::ActionFor(id)) {
    case hotkeys::Action::CaptureScreen:
    case hotkeys::Action::CaptureWindow:
      form.SetPictureFrom(hotkeys::ActionFor(id) == hotkeys::Action::CaptureScreen ? SnapDesktop
                                                                                   : SnapForegroundWindow);
      PlayCameraSound();
      if (c.options.Check2State() == options::kChecked) {
        form.SetWindowState(WindowState::Normal);
        form.Show();
      }
      if (c.options.Check1State() == options::kChecked) AutoSavePicture(c);
      break;
    case hotkeys::Action::ClearPicture: form.SetPicture(Picture::Empty()); break;
    case hotkeys::Action::Nothing: break;
  }
}

}  // namespace fw
