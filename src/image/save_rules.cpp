#include "image/save_rules.h"

namespace fw {

std::string DialogFilter(std::string_view filter) {
  std::string out(filter);
  for (char& c : out) {
    if (c == '|') c = '\0';
  }
  out.push_back('\0');
  out.push_back('\0');
  return out;
}

}  // namespace fw
