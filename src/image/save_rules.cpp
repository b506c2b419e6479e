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

std::string PromptSaveFailedText(const std::string& path, const std::string& reason, bool pictureShown) {
  std::string text = "The picture could not be saved as " + path + ".";
  if (!reason.empty()) text += "\n\n" + reason;
  if (pictureShown) text += "\n\nIt is still in the picture area, not saved.";
  return text;
}

}  // namespace fw
