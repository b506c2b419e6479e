#include "platform/app_path.h"

#include <windows.h>

#include "platform/text.h"

namespace fw {

std::string ProgramDir() {
  // The whole path, however long: the buffer grows until the name fits.
  std::wstring buf(MAX_PATH, L'\0');
  DWORD n = 0;
  while (true) {
    n = ::GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return ".";
    if (n < buf.size()) break;
    if (buf.size() >= 32768) return ".";
    buf.resize(buf.size() * 2);
  }
  std::string path = Narrow(std::wstring_view(buf.data(), n));
  std::size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return ".";
  if (slash == 2 && path[1] == ':') return path.substr(0, 3);  // "C:\"
  return path.substr(0, slash);
}

bool FileExists(const std::string& path) {
  DWORD attr = ::GetFileAttributesW(Widen(path).c_str());
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
  DWORD attr = ::GetFileAttributesW(Widen(path).c_str());
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace fw
