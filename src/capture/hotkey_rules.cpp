#include "capture/hotkey_rules.h"

namespace fw::hotkeys {

StartupReport ReportRegistration(const std::array<bool, 3>& registered) {
  StartupReport report;
  report.hotkeyFault = !registered[0];
  report.hkFault = !registered[0] && !registered[1] && !registered[2];
  report.endProgram = report.hkFault;
  return report;
}

std::optional<std::uint8_t> HotkeyId(std::uint64_t wParam) {
  if (wParam > 0xFF) return std::nullopt;
  return static_cast<std::uint8_t>(wParam);
}

Action ActionFor(std::uint8_t id) {
  switch (id) {
    case 0: return Action::CaptureScreen;
    case 1: return Action::CaptureWindow;
    case 2: return Action::ClearPicture;
    default: return Action::Nothing;
  }
}

}  // namespace fw::hotkeys
