#include "platform/system_error.h"

#include <windows.h>

namespace fw {

std::string SystemErrorText(unsigned long code) {
  char buf[512] = {};
  DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buf,
                             sizeof buf, nullptr);
  std::string text(buf, n);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
  if (text.empty()) text = "Windows error " + std::to_string(code) + ".";
  return text;
}

}  // namespace fw
