// The system-wide hotkeys: which keys, what start-up says when they cannot
// be registered, and what each hotkey message asks for. Plain C++.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace fw::hotkeys {

inline constexpr unsigned kModControl = 0x0002;                       // MOD_CONTROL
inline constexpr unsigned kModShift = 0x0004;                         // MOD_SHIFT
inline constexpr unsigned kModNoRepeat = 0x4000;                      // MOD_NOREPEAT
inline constexpr unsigned kWmHotkey = 0x0312;                         // WM_HOTKEY
inline constexpr unsigned long kErrorHotkeyAlreadyRegistered = 1409;  // ERROR_HOTKEY_ALREADY_REGISTERED

// Each hotkey is registered first with its keys and MOD_NOREPEAT, so a key
// held down gives one press and not the keyboard's auto-repeat (about 30 a
// second). Windows Vista and earlier refuse that flag; where the first
// registration fails for any reason but the keys being taken by another
// program, the hotkey is registered again with its keys alone, and that
// result counts.
inline constexpr unsigned kPreferredModifiers = kModControl | kModNoRepeat;
inline constexpr unsigned kPlainModifiers = kModControl;
bool RetryWithoutNoRepeat(unsigned long error);

struct Hotkey {
  int id;
  unsigned virtualKey;
  unsigned modifiers = kModControl;  // without MOD_NOREPEAT
};
// Registered in this order; start-up reports on these three.
inline constexpr std::array<Hotkey, 3> kHotkeys{{
    {0, 0x79},  // Ctrl+F10: the whole screen
    {1, 0x7A},  // Ctrl+F11: the foreground window
    {2, 0x7B},  // Ctrl+F12: empty the picture area
}};
// Ctrl+Shift+F10, every monitor: registered after the three. Another
// program holding it is not reported and changes nothing in what start-up
// says of the three; the key then simply never arrives. (Id 3 stays
// without an action, as before.)
inline constexpr Hotkey kAllMonitorsHotkey{4, 0x79, kModControl | kModShift};

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

enum class Action { CaptureScreen, CaptureWindow, ClearPicture, CaptureAllMonitors, Nothing };
Action ActionFor(std::uint8_t id);

// Hotkey actions never run inside one another. A hotkey that arrives while
// an action runs (in the pending events the action first lets through, or
// in a message box it shows) waits until that action has returned and then
// runs, in the order the keys first arrived. A key that is already waiting
// takes further presses into that one wait: presses that pile up while an
// action runs (a key held down where the system repeats it, or a burst of
// presses) give the action that runs and one more of each key after it,
// not one per press. Two presses of a key in a row still give two
// captures: the second waits for the first.
class HotkeyQueue {
 public:
  // A hotkey arrives. True: nothing runs, so run it now and call Next once
  // it is done. False: it waits (or has joined the wait of its key).
  bool Arrive(std::uint8_t id);
  // The running action is done: the waiting key to run now, which then
  // counts as running; nothing when none waits.
  std::optional<std::uint8_t> Next();
  // The program is closing: nothing runs any more, and what waits is
  // dropped.
  void Drop();

  bool Running() const { return running_; }
  std::size_t Waiting() const { return waiting_.size(); }

 private:
  bool running_ = false;
  std::vector<std::uint8_t> waiting_;  // each key at most once, oldest first
};

}  // namespace fw::hotkeys
