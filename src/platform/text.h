// Text inside the program is UTF-8 (std::string); the system's wide
// functions take and give UTF-16. These convert at that boundary, and
// nowhere else.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fw {

// UTF-8 to UTF-16. Bytes that are not UTF-8 become U+FFFD.
std::wstring Widen(std::string_view utf8);
// UTF-16 to UTF-8. A lone surrogate becomes U+FFFD.
std::string Narrow(std::wstring_view wide);

// UTF-8 text in the system's ANSI code page, or nothing when one of its
// characters has no exact equivalent there (no "best fit" stand-in, no
// default character).
std::optional<std::string> ToAnsi(std::string_view utf8);
// Text in the ANSI code page (what the system's ...A functions give) as
// UTF-8.
std::string FromAnsi(std::string_view ansi);

}  // namespace fw
