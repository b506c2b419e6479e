#include "image/mail_rules.h"

namespace fw::mail {

std::string MailAddress(std::string_view path) {
  std::string address = "mailto:?subject=";
  address.append(path);
  address += "&body=";
  return address;
}

std::vector<Keystroke> AttachKeystrokes(std::string_view path) {
  return {
      Keystroke::Press(Key::I, /*alt=*/true),
      Keystroke::Press(Key::A),
      Keystroke::Type(path),
      Keystroke::Press(Key::Tab),
      Keystroke::Press(Key::Tab),
      Keystroke::Press(Key::Enter),
      Keystroke::Press(Key::Tab),
      Keystroke::Press(Key::Tab),
      Keystroke::Press(Key::A, /*alt=*/false, /*ctrl=*/true),
      Keystroke::Press(Key::Delete),
  };
}

std::string Notation(const std::vector<Keystroke>& keys) {
  std::string out;
  for (const auto& k : keys) {
    if (k.kind == Keystroke::Kind::Text) {
      out += k.text;
      continue;
    }
    if (k.alt) out += '%';
    if (k.ctrl) out += '^';
    switch (k.key) {
      case Key::I: out += 'i'; break;
      case Key::A: out += 'a'; break;
      case Key::Tab: out += "{TAB}"; break;
      case Key::Enter: out += "{ENTER}"; break;
      case Key::Delete: out += "{DEL}"; break;
    }
  }
  return out;
}

}  // namespace fw::mail
