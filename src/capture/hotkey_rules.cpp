#include "capture/hotkey_rules.h"

#include <algorithm>

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

bool RetryWithoutNoRepeat(unsigned long error) {
  return error != kErrorHotkeyAlreadyRegistered;
}

Action ActionFor(std::uint8_t id) {
  switch (id) {
    case 0: return Action::CaptureScreen;
    case 1: return Action::CaptureWindow;
    case 2: return Action::ClearPicture;
    case kAllMonitorsHotkey.id: return Action::CaptureAllMonitors;
    default: return Action::Nothing;
  }
}

bool HotkeyQueue::Arrive(std::uint8_t id) {
  if (!running_) {
    running_ = true;
    return true;
  }
  if (std::find(waiting_.begin(), waiting_.end(), id) == waiting_.end()) waiting_.push_back(id);
  return false;
}

std::optional<std::uint8_t> HotkeyQueue::Next() {
  if (waiting_.empty()) {
    running_ = false;
    return std::nullopt;
  }
  std::uint8_t next = waiting_.front();
  waiting_.erase(waiting_.begin());
  running_ = true;
  return next;
}

void HotkeyQueue::Drop() {
  waiting_.clear();
  running_ = false;
}

}  // namespace fw::hotkeys
