// What Mail hands to the mail program: the "mailto:" address and the
// keystrokes that attach the file and clear the subject again. Plain C++.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fw::mail {

inline constexpr std::string_view kNothingSaved = "No image is saved yet";
inline constexpr std::string_view kNoMailWindow = "No mail window appeared, so the image was not attached.";
inline constexpr std::string_view kNotInFront = "The mail window did not come to the front, so nothing was attached.";

// How long Mail looks for the message window before it gives up, and the
// pause between two looks (the program keeps handling its events then).
inline constexpr unsigned kWindowSearchLimitMs = 30000;
inline constexpr unsigned kWindowSearchPauseMs = 50;
// How long Mail waits, once the message window is there, for it to be the
// foreground window before it types anything: a mail program shows its
// window within a moment; one that stays behind (shown without being
// activated, or the user went on in another program) gets no keys at all.
inline constexpr unsigned kForegroundWaitLimitMs = 5000;

// The bytes of `text` (UTF-8) as a "mailto:" header value (RFC 6068,
// section 2): letters, digits, "-._~" and "!$'()*,;:@" stay as they are;
// every other byte (space, "&", "%", "#", "?", "=", "+", "\", each byte of
// a character past ASCII) is written as "%" and two upper-case hexadecimal
// digits, so a mail program decodes the UTF-8 name whole. "+" is encoded
// too, since some mail programs read it as a space.
std::string PercentEncode(std::string_view text);

// "mailto:?subject=" + the path, percent-encoded, + "&body=".
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
