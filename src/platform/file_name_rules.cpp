#include "platform/file_name_rules.h"

namespace fw::files {
namespace {

constexpr std::string_view kTempPrefix = "~fw";
constexpr std::string_view kTempSuffix = ".tmp";
constexpr std::size_t kTempDigits = 16;

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

// Where the last part of a path starts: after the last separator, or after
// a drive's colon ("C:name").
std::size_t LastPartStart(std::string_view path) {
  std::size_t start = 0;
  if (path.size() >= 2 && path[1] == ':') start = 2;
  for (std::size_t i = start; i < path.size(); ++i) {
    if (IsSeparator(path[i])) start = i + 1;
  }
  return start;
}

}  // namespace

std::optional<std::string> NameWindowsGives(std::string_view path) {
  if (path.empty()) return std::nullopt;
  std::size_t start = LastPartStart(path);
  std::string_view last = path.substr(start);
  if (last.empty() || last == "." || last == "..") return std::string(path);
  std::size_t end = last.find_last_not_of(". ");
  if (end == std::string_view::npos) return std::nullopt;
  return std::string(path.substr(0, start + end + 1));
}

std::string JoinPath(std::string_view directory, std::string_view name) {
  std::string path(directory);
  if (!path.empty() && !IsSeparator(path.back())) path += '\\';
  path += name;
  return path;
}

std::string TempFileName(std::uint64_t random) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string name(kTempPrefix);
  for (int shift = 60; shift >= 0; shift -= 4) name += kHex[(random >> shift) & 0xF];
  name += kTempSuffix;
  return name;
}

bool IsTempFileName(std::string_view name) {
  if (name.size() != kTempPrefix.size() + kTempDigits + kTempSuffix.size()) return false;
  if (name.substr(0, kTempPrefix.size()) != kTempPrefix) return false;
  if (name.substr(name.size() - kTempSuffix.size()) != kTempSuffix) return false;
  for (char c : name.substr(kTempPrefix.size(), kTempDigits)) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

std::size_t Utf16Length(std::string_view utf8) {
  std::size_t units = 0;
  for (char ch : utf8) {
    auto c = static_cast<unsigned char>(ch);
    if ((c & 0xC0) == 0x80) continue;  // a continuation byte
    units += c >= 0xF0 && c <= 0xF4 ? 2 : 1;
  }
  return units;
}

bool LongPathsWork(const WindowsVersion& version, std::optional<unsigned long> policy) {
  constexpr unsigned long kFirstBuild = 14393;  // Windows 10, version 1607
  bool newEnough = version.major > 10 || (version.major == 10 && (version.minor > 0 || version.build >= kFirstBuild));
  return newEnough && policy == 1ul;
}

bool NameTooLong(std::string_view path, bool longPaths) {
  if (Utf16Length(path) > (longPaths ? kMaxLongPath : kMaxShortPath)) return true;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || IsSeparator(path[i])) {
      if (Utf16Length(path.substr(start, i - start)) > kMaxNamePart) return true;
      start = i + 1;
    }
  }
  return false;
}

}  // namespace fw::files
