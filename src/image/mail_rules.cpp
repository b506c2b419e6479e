#include "image/mail_rules.h"

namespace fw::mail {

namespace {

bool StaysAsItIs(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  return std::string_view("-._~!$'()*,;:@").find(static_cast<char>(c)) != std::string_view::npos;
}

}  // namespace

std::string PercentEncode(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    auto c = static_cast<unsigned char>(ch);
    if (StaysAsItIs(c)) {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    }
  }
  return out;
}

std::string MailAddress(std::string_view path) {
  std::string address = "mailto:?subject=";
  address += PercentEncode(path);
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
