#include "about/about_rules.h"

namespace fw::about {

std::string HelpPagePath(const std::string& programDir) {
  return programDir + "\\help.htm";
}

std::string ValueBytesToText(const char* buffer, std::size_t size) {
  if (!buffer || size == 0) return {};
  if (buffer[size - 1] == '\0') --size;
  return std::string(buffer, size);
}

std::string ValueForType(std::uint32_t type, std::string_view text, std::string value) {
  if (type == kRegSz) return std::string(text);
  if (type != kRegDword) return value;
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (auto it = text.rbegin(); it != text.rend(); ++it) {
    unsigned byte = static_cast<unsigned char>(*it);
    if (byte >= 16) value.push_back(kDigits[byte >> 4]);
    value.push_back(kDigits[byte & 15]);
  }
  return "&h" + value;
}

std::optional<std::string> SysInfoPath(const std::optional<std::string>& toolPath,
                                       const std::optional<std::string>& toolDirectory,
                                       const std::function<bool(const std::string&)>& fileExists) {
  if (toolPath) return toolPath;
  if (toolDirectory) {
    std::string path = *toolDirectory + std::string(kSysInfoExe);
    if (fileExists && fileExists(path)) return path;
  }
  return std::nullopt;
}

std::string CommandLineFor(const std::string& path) {
  return "\"" + path + "\"";
}

}  // namespace fw::about
