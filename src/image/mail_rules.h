// What Mail hands to the mail program: the "mailto:" address and the
// keystrokes that attach the file and clear the subject again. Plain C++.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fw::mail {

inline constexpr std::string_view kNothingSaved = "No image is saved yet";
inline constexpr std::string_view kNoMailWindow = "No mail window appeared, so the image was not attached.";

// How long Mail looks for the message window before it gives up, and the
// pause between two looks (the program keeps handling its events then).
inline constexpr unsigned kWindowSearchLimitMs = 30000;
inline constexpr unsigned kWindowSearchPauseMs = 50;

// "mailto:?subject=" + the path exactly as it is + "&body=".
std::string MailAddress(std::string_view path);

enum class Key { I, A, Tab, Enter, Delete };

// One step of the sequence: a key pressed with modifiers held, or text
// typed as literal characters.
struct Keystroke {
  enum class Kind { Key, Text };
  Kind kind = Kind::Key;
  Key key = Key::A;
  bool alt = false;
  bool ctrl = false;
  std::string text;

  static Keystroke Press(Key k, bool alt = false, bool ctrl = false) { return {Kind::Key, k, alt, ctrl, {}}; }
  static Keystroke Type(std::string_view s) { return {Kind::Text, Key::A, false, false, std::string(s)}; }
  bool operator==(const Keystroke&) const = default;
};

// Alt+I, A; the path; Tab, Tab, Enter; Tab, Tab; Ctrl+A, Delete.
std::vector<Keystroke> AttachKeystrokes(std::string_view path);

// The sequence in the classic keystroke notation ("%" Alt, "^" Ctrl, braces
// for named keys, text as it is), for logs and tests:
// "%ia<path>{TAB}{TAB}{ENTER}{TAB}{TAB}^a{DEL}".
std::string Notation(const std::vector<Keystroke>& keys);

}  // namespace fw::mail
