#include "capture/hotkeys.h"

#include <array>

#include "capture/after_capture.h"
#include "capture/capture_engine.h"
#include "capture/hotkey_rules.h"
#include "platform/events.h"
#include "platform/msgbox.h"
#include "platform/window.h"

namespace fw {

WNDPROC PrevMainWndProc = nullptr;

namespace {

// What HotkeyWndProc acts on.
const CaptureContext* g_hotkeyTarget = nullptr;
// The hotkey action that runs and the keys that wait for it.
hotkeys::HotkeyQueue g_queue;

static_assert(hotkeys::kModControl == MOD_CONTROL && hotkeys::kModShift == MOD_SHIFT &&
              hotkeys::kWmHotkey == WM_HOTKEY);
static_assert(hotkeys::kModNoRepeat == MOD_NOREPEAT &&
              hotkeys::kErrorHotkeyAlreadyRegistered == ERROR_HOTKEY_ALREADY_REGISTERED);

// Registers one hotkey, without auto-repeat where the system allows it.
bool Register(HWND window, const hotkeys::Hotkey& key) {
  if (::RegisterHotKey(window, key.id, key.modifiers | hotkeys::kModNoRepeat, key.virtualKey)) return true;
  if (!hotkeys::RetryWithoutNoRepeat(::GetLastError())) return false;
  return ::RegisterHotKey(window, key.id, key.modifiers, key.virtualKey) != FALSE;
}

// Runs one hotkey action; a failure in it must not end the program or stop
// the keys that wait.
void RunAction(const CaptureContext& c, std::uint8_t id) {
  try {
    HandleHotkey(c, id);
  } catch (...) {
  }
}
static_assert(hotkeys::kHotkeys[0].virtualKey == VK_F10 && hotkeys::kHotkeys[1].virtualKey == VK_F11 &&
              hotkeys::kHotkeys[2].virtualKey == VK_F12 && hotkeys::kAllMonitorsHotkey.virtualKey == VK_F10);

}  // namespace

bool InstallHotkeys(const CaptureContext& c) {
  HWND mainWindow = c.form.hwnd();
  std::array<bool, 3> registered{};
  for (const auto& key : hotkeys::kHotkeys) registered[static_cast<std::size_t>(key.id)] = Register(mainWindow, key);
  hotkeys::StartupReport report = hotkeys::ReportRegistration(registered);
  if (report.hotkeyFault) ShowMessage(hotkeys::kHotkeyFaultText, MB_ICONERROR | MB_OK, kAppTitle);
  if (report.hkFault) ShowMessage(hotkeys::kHkFaultText, MB_ICONERROR | MB_OK, kAppTitle);
  if (report.endProgram) return false;
  Register(mainWindow, hotkeys::kAllMonitorsHotkey);  // held elsewhere: silent
  InstallHotkeyWndProc(c);
  return true;
}

void InstallHotkeyWndProc(const CaptureContext& c) {
  g_hotkeyTarget = &c;
  PrevMainWndProc = SetWindowProc(c.form.hwnd(), HotkeyWndProc);
}

// A hotkey that arrives while a hotkey action runs (in the events the
// action lets through first, or in a message box it shows) waits for that
// action to return and runs after it, here, at the outer level: actions
// never run inside one another, however many presses pile up.
LRESULT CALLBACK HotkeyWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_HOTKEY) return ::CallWindowProcA(PrevMainWndProc, hwnd, msg, wParam, lParam);
  // Ids that do not fit in 8 bits (the system's own are negative), and ids
  // with no action, are taken in and dropped.
  auto id = hotkeys::HotkeyId(static_cast<std::uint64_t>(wParam));
  if (!id || hotkeys::ActionFor(*id) == hotkeys::Action::Nothing || !g_hotkeyTarget) return 1;
  if (!g_queue.Arrive(*id)) return 1;
  for (std::optional<std::uint8_t> next = *id; next; next = g_queue.Next()) {
    RunAction(*g_hotkeyTarget, *next);
    if (g_hotkeyTarget->form.Closing()) {
      g_queue.Drop();
      break;
    }
  }
  return 1;
}

void HandleHotkey(const CaptureContext& c, unsigned char id) {
  MainWindow& form = c.form;
  if (form.Closing()) return;
  DoEvents();
  // The program may have been closed by something handled just now.
  if (form.Closing()) return;
  // Clears what has been drawn on the main window itself; its controls
  // repaint themselves.
  ::InvalidateRect(form.hwnd(), nullptr, TRUE);

  switch (hotkeys::ActionFor(id)) {
    case hotkeys::Action::CaptureScreen: CaptureWithSteps(c, capture::CaptureBy::Hotkey, SnapDesktop); break;
    case hotkeys::Action::CaptureWindow: CaptureWithSteps(c, capture::CaptureBy::Hotkey, SnapForegroundWindow); break;
    case hotkeys::Action::CaptureAllMonitors: CaptureWithSteps(c, capture::CaptureBy::Hotkey, SnapAllMonitors); break;
    case hotkeys::Action::ClearPicture: form.SetPicture(Picture::Empty()); break;
    case hotkeys::Action::Nothing: break;
  }
}

}  // namespace fw
