// The driver's text is UTF-8, as the program's is; the system's wide
// functions take UTF-16. These convert, with the system's own converter.
#pragma once

#include <string>
#include <vector>

namespace e2e {

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);

// The lines of a text, each without its CR LF or LF.
std::vector<std::string> Lines(const std::string& text);

}  // namespace e2e
