#include "capture/hotkeys.h"

#include <array>

#include "app/form1.h"
#include "capture/after_capture.h"
#include "capture/capture_commands.h"
#include "capture/capture_engine.h"
#include "capture/hotkey_rules.h"
#include "output/options_dialog.h"
#include "output/options_rules.h"
#include "platform/events.h"
#include "platform/msgbox.h"
#include "platform/window.h"

namespace fw {

WNDPROC PrevMainWndProc = nullptr;

bool InstallHotkeys(HWND mainWindow) {
  std::array<bool, 3> registered{};
  for (const auto& key : hotkeys::kHotkeys) {
    registered[static_cast<std::size_t>(key.id)] =
        ::RegisterHotKey(mainWindow, key.id, hotkeys::kModControl, key.virtualKey) != FALSE;
  }
  hotkeys::StartupReport report = hotkeys::ReportRegistration(registered);
  if (report.hotkeyFault) ShowMessage(hotkeys::kHotkeyFaultText, MB_ICONERROR | MB_OK, kAppTitle);
  if (report.hkFault) ShowMessage(hotkeys::kHkFaultText, MB_ICONERROR | MB_OK, kAppTitle);
  if (report.endProgram) return false;
  PrevMainWndProc = SetWindowProc(mainWindow, HotkeyWndProc);
  return true;
}

LRESULT CALLBACK HotkeyWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_HOTKEY) {
    try {
      // Ids that do not fit in 8 bits (the system's own are negative) are
      // taken in and dropped.
      if (auto id = hotkeys::HotkeyId(static_cast<std::uint64_t>(wParam))) HandleHotkey(*id);
    } catch (...) {
      // A failed hotkey action must not end the program.
    }
    return 1;
  }
  return ::CallWindowProcA(PrevMainWndProc, hwnd, msg, wParam, lParam);
}

void HandleHotkey(unsigned char id) {
  MainWindow& form = Form1();
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
      if (Form4().Check2State() == options::kChecked) {
        form.SetWindowState(WindowState::Normal);
        form.Show();
      }
      if (Form4().Check1State() == options::kChecked) AutoSavePicture();
      break;
    case hotkeys::Action::ClearPicture: form.SetPicture(Picture::Empty()); break;
    case hotkeys::Action::Nothing: break;
  }
}

}  // namespace fw
