#include "image/mail.h"

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "image/mail_rules.h"
#include "image/mapi_rules.h"
#include "image/simple_mapi.h"
#include "platform/events.h"
#include "platform/lazy_library.h"
#include "platform/msgbox.h"
#include "platform/text.h"

namespace fw {
namespace {

bool g_handingOff = false;  // a hand-off is waiting for the mail program

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

// The key events of the sequence: named keys as real key presses with their
// modifiers, text (UTF-8) as literal characters, one key event pair per
// UTF-16 unit, so nothing in a path is read as a key name or a modifier.
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

// Waits, handling the program's events, until `found` says yes or
// `limitMs` have passed. Abandoned when the program closes meanwhile.
template <typename Found>
Search WaitFor(const MainWindow& form, unsigned limitMs, Found found) {
  ULONGLONG start = ::GetTickCount64();
  while (!found()) {
    if (form.Closing()) return Search::Abandoned;
    if (::GetTickCount64() - start >= limitMs) return Search::TimedOut;
    WaitForEvents(mail::kWindowSearchPauseMs);
    DoEvents();
  }
  return form.Closing() ? Search::Abandoned : Search::Found;
}

// The message window is titled exactly `path`.
Search FindMessageWindow(const MainWindow& form, const std::string& path, HWND& window) {
  std::wstring title = Widen(path);
  return WaitFor(form, mail::kWindowSearchLimitMs, [&] {
    window = ::FindWindowW(nullptr, title.c_str());
    return window != nullptr;
  });
}

// The keys go to the foreground window, so they are sent only once the
// message window is that window: not when it was shown behind others, nor
// when the user has gone on in another program (an editor would have its
// document wiped by Ctrl+A and Delete; Framewick itself its picture area).
Search WaitUntilInFront(const MainWindow& form, HWND window) {
  return WaitFor(form, mail::kForegroundWaitLimitMs,
                 [&] { return ::IsWindow(window) && ::GetForegroundWindow() == window; });
}

}  // namespace

void Command10_Click(const MainWindow& form, const SharedState& state) {
  // A second click while a hand-off waits for the mail program is ignored.
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

  // The mail program registered for Simple MAPI first: it shows its own
  // message window with the file attached. The keystroke hand-off below
  // only where none takes the file up.
  if (simple_mapi::MailProgramRegistered()) {
    simple_mapi::Outcome sent = simple_mapi::SendWithMailProgram(form, path);
    if (sent.abandoned || form.Closing()) return;
    switch (sent.next) {
      case mapi::Next::Done: return;
      case mapi::Next::ReportFailure: ShowMessage(sent.message, MB_OK | MB_ICONEXCLAMATION); return;
      case mapi::Next::KeysHandOff: break;
    }
  }

  std::string address = mail::MailAddress(path);
  ShellExecuteLazily(form.hwnd(), "Open", address.c_str());
  DoEvents();
  if (form.Closing()) return;

  HWND window = nullptr;
  switch (FindMessageWindow(form, path, window)) {
    case Search::Found: break;
    case Search::TimedOut: ShowMessage(std::string(mail::kNoMailWindow), MB_OK | MB_ICONEXCLAMATION); return;
    case Search::Abandoned: return;
  }
  switch (WaitUntilInFront(form, window)) {
    case Search::Found: break;
    case Search::TimedOut: ShowMessage(std::string(mail::kNotInFront), MB_OK | MB_ICONEXCLAMATION); return;
    case Search::Abandoned: return;
  }
  std::vector<INPUT> events = KeyEvents(mail::AttachKeystrokes(path));
  // Once more right before the keys go: nothing has run in between but
  // this check, and the system does not mix the keys with other input.
  if (::GetForegroundWindow() != window) {
    ShowMessage(std::string(mail::kNotInFront), MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  ::SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
}

}  // namespace fw
