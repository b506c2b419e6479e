// The system-wide hotkeys: which keys, what start-up says when they cannot
// be registered, and what each hotkey message asks for. Plain C++.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace fw::hotkeys {

inline constexpr unsigned kModControl = 0x0002;  // MOD_CONTROL
inline constexpr unsigned kWmHotkey = 0x0312;    // WM_HOTKEY

struct Hotkey {
  int id;
  unsigned virtualKey;
};
// Registered in this order.
inline constexpr std::array<Hotkey, 3> kHotkeys{{
    {0, 0x79},  // Ctrl+F10: the whole screen
    {1, 0x7A},  // Ctrl+F11: the foreground window
    {2, 0x7B},  // Ctrl+F12: empty the picture area
}};

inline constexpr const char* kHotkeyFaultText = "Hotkey Fault";
inline constexpr const char* kHkFaultText = "HK Fault";

// What start-up says and does after registering: "Hotkey Fault" when id 0
// failed; "HK Fault" and the end of the program when all three failed.
struct StartupReport {
  bool hotkeyFault = false;
  bool hkFault = false;
  bool endProgram = false;
};
StartupReport ReportRegistration(const std::array<bool, 3>& registered);

// The hotkey id a WM_HOTKEY message carries in its wParam, when it fits in
// 8 bits. The platform's own hotkeys have negative ids (a huge unsigned
// wParam), and no id is cut down to 8 bits: such messages carry none.
std::optional<std::uint8_t> HotkeyId(std::uint64_t wParam);

enum class Action { CaptureScreen, CaptureWindow, ClearPicture, Nothing };
Action ActionFor(std::uint8_t id);

}  // namespace fw::hotkeys
