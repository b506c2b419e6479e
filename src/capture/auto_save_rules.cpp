#include "capture/auto_save_rules.h"

namespace fw::autosave {

std::string FileName(std::string_view directory, std::int64_t counter, std::string_view extension) {
  std::string name(directory);
  name += "\\snap";
  name += std::to_string(counter);
  name += extension;
  return name;
}

std::string ExtensionProblem(std::string_view extension) {
  for (char ch : extension) {
    unsigned char c = static_cast<unsigned char>(ch);
    bool bad = c < 0x20;
    switch (c) {
      case '<':
      case '>':
      case ':':
      case '"':
      case '/':
      case '\\':
      case '|':
      case '?':
      case '*': bad = true; break;
      default: break;
    }
    if (bad) return "The extension \"" + std::string(extension) + "\" holds characters that a file name cannot hold.";
  }
  if (!extension.empty() && (extension.back() == '.' || extension.back() == ' ')) {
    return "The extension \"" + std::string(extension) + "\" ends with a dot or a space, which a file name cannot.";
  }
  return {};
}

NameChoice ClaimNextName(std::string_view directory, std::int64_t start, std::string_view extension,
                         const std::function<Claim(const std::string& path)>& claim, int maxTries) {
  NameChoice choice;
  choice.number = start;
  for (int tries = 0; tries < maxTries; ++tries) {
    choice.path = FileName(directory, choice.number, extension);
    choice.outcome = claim(choice.path);
    if (choice.outcome != Claim::Taken) return choice;
    if (choice.number == INT64_MAX || tries + 1 == maxTries) break;
    ++choice.number;
  }
  choice.outcome = Claim::Taken;
  return choice;
}

std::string FailureText(const std::string& path, const std::string& reason) {
  std::string text = "The capture could not be saved automatically as " + path + ".";
  if (!reason.empty()) text += "\n\n" + reason;
  text += "\n\nThe picture is still in the picture area.";
  return text;
}

std::string AllNamesTakenReason(std::int64_t first, std::int64_t last) {
  return "Every name from snap" + std::to_string(first) + " to snap" + std::to_string(last) +
         " is already taken in that directory.";
}

}  // namespace fw::autosave
