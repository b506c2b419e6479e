// Text inside the program is UTF-8 (std::string); the system's wide
// functions take and give UTF-16. These convert at that boundary, and
// nowhere else.
#pragma once

#include <string>
#include <string_view>

namespace fw {

// UTF-8 to UTF-16. Bytes that are not UTF-8 become U+FFFD.
std::wstring Widen(std::string_view utf8);
// UTF-16 to UTF-8. A lone surrogate becomes U+FFFD.
std::string Narrow(std::wstring_view wide);

}  // namespace fw
