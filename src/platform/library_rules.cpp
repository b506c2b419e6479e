#include "platform/library_rules.h"

namespace fw::library {

LoadRequest RequestFor(std::string_view name, bool searchFlagsKnown, std::string_view systemDir) {
  if (name.empty() || name.find_first_of("\\/:") != std::string_view::npos || name == "." || name == "..") {
    return {};
  }
  if (searchFlagsKnown) return {std::string(name), kSearchSystem32};
  // The system directory must be a full path of its own ("C:\Windows\system32").
  if (systemDir.size() < 3 || systemDir[1] != ':' || (systemDir[2] != '\\' && systemDir[2] != '/')) return {};
  std::string path(systemDir);
  if (path.back() != '\\' && path.back() != '/') path += '\\';
  path += name;
  return {path, 0};
}

}  // namespace fw::library
