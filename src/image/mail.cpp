#include "image/mail.h"

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "image/mail_rules.h"
#include "platform/events.h"
#include "platform/lazy_library.h"
#include "platform/msgbox.h"

namespace fw {
namespace {

bool g_handingOff = false;  // a hand-off is waiting for its message window

WORD VirtualKey(mail::Key key) {
  switch (key) {
    case mail::Key::I: return 'I';
    case mail::Key::A: return 'A';
    case mail::Key::Tab: return VK_TAB;
    case mail::Key::Enter: return VK_RETURN;
    case mail::Key::Delete: return VK_DELETE;
  }
  return 0;
}

INPUT KeyEvent(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  if (vk == VK_DELETE) in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
  return in;
}

INPUT CharEvent(wchar_t unit, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wScan = unit;
  in.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
  return in;
}

// Text in the ANSI code page as UTF-16, one key event pair per unit.
std::wstring Widen(const std::string& text) {
  if (text.empty()) return {};
  int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

// The key events of the sequence: named keys as real key presses with their
// modifiers, text as literal characters, so nothing in a path is read as a
// key name or a modifier.
std::vector<INPUT> KeyEvents(const std::vector<mail::Keystroke>& keys) {
  std::vector<INPUT> out;
  for (const auto& k : keys) {
    if (k.kind == mail::Keystroke::Kind::Text) {
      for (wchar_t unit : Widen(k.text)) {
        out.push_back(CharEvent(unit, false));
        out.push_back(CharEvent(unit, true));
      }
      continue;
    }
    if (k.ctrl) out.push_back(KeyEvent(VK_CONTROL, false));
    if (k.alt) out.push_back(KeyEvent(VK_MENU, false));
    WORD vk = VirtualKey(k.key);
    out.push_back(KeyEvent(vk, false));
    out.push_back(KeyEvent(vk, true));
    if (k.alt) out.push_back(KeyEvent(VK_MENU, true));
    if (k.ctrl) out.push_back(KeyEvent(VK_CONTROL, true));
  }
  return out;
}

enum class Search { Found, TimedOut, Abandoned };

// Looks for the message window, titled exactly `path`, for a bounded time,
// handling the program's events between looks.
Search FindMessageWindow(const MainWindow& form, const std::string& path) {
  ULONGLONG start = ::GetTickCount64();
  while (!::FindWindowA(nullptr, path.c_str())) {
    if (!::IsWindow(form.hwnd())) return Search::Abandoned;  // the program is closing
    if (::GetTickCount64() - start >= mail::kWindowSearchLimitMs) return Search::TimedOut;
    WaitForEvents(mail::kWindowSearchPauseMs);
    DoEvents();
  }
  return Search::Found;
}

}  // namespace

void Command10_Click(const MainWindow& form, const SharedState& state) {
  // A second click while a hand-off waits for its window is ignored.
  if (g_handingOff) return;
  if (state.LastSavedPath.empty()) {
    ShowMessage(std::string(mail::kNothingSaved), MB_OK);
    return;
  }
  const std::string path = state.LastSavedPath;
  struct Busy {
    Busy() { g_handingOff = true; }
    ~Busy() { g_handingOff = false; }
  } busy;

  std::string address = mail::MailAddress(path);
  ShellExecuteLazily(form.hwnd(), "Open", address.c_str());
  DoEvents();

  switch (FindMessageWindow(form, path)) {
    case Search::Found: break;
    case Search::TimedOut: ShowMessage(std::string(mail::kNoMailWindow), MB_OK | MB_ICONEXCLAMATION); return;
    case Search::Abandoned: return;
  }
  // The message window is taken to be in front with the keyboard focus.
  std::vector<INPUT> events = KeyEvents(mail::AttachKeystrokes(path));
  ::SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
}

}  // namespace fw
