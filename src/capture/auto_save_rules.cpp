#include "capture/auto_save_rules.h"

#include <algorithm>

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

namespace {

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

}  // namespace

std::optional<std::int64_t> NumberInName(std::string_view name, std::string_view extension) {
  constexpr std::string_view kStem = "snap";
  if (name.size() <= kStem.size() + extension.size()) return std::nullopt;
  if (!SameLetters(name.substr(0, kStem.size()), kStem)) return std::nullopt;
  if (!SameLetters(name.substr(name.size() - extension.size()), extension)) return std::nullopt;
  std::string_view digits = name.substr(kStem.size(), name.size() - kStem.size() - extension.size());
  if (digits.size() > 1 && digits[0] == '0') return std::nullopt;  // "snap01" is no number's name
  std::int64_t number = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    int digit = c - '0';
    if (number > (INT64_MAX - digit) / 10) return std::nullopt;
    number = number * 10 + digit;
  }
  return number;
}

std::vector<std::int64_t> TakenNumbers(const std::vector<std::string>& names, std::string_view extension,
                                       std::int64_t from) {
  std::vector<std::int64_t> taken;
  for (const std::string& name : names) {
    std::optional<std::int64_t> number = NumberInName(name, extension);
    if (number && *number >= from) taken.push_back(*number);
  }
  std::sort(taken.begin(), taken.end());
  taken.erase(std::unique(taken.begin(), taken.end()), taken.end());
  return taken;
}

std::optional<std::int64_t> FirstFreeNumber(const std::vector<std::int64_t>& taken, std::int64_t from) {
  auto it = std::lower_bound(taken.begin(), taken.end(), from);
  std::int64_t number = from;
  for (; it != taken.end() && *it == number; ++it) {
    if (number == INT64_MAX) return std::nullopt;
    ++number;
  }
  return number;
}

NameChoice ClaimNextName(std::string_view directory, std::int64_t start, std::string_view extension,
                         const std::function<std::vector<std::int64_t>()>& listTaken,
                         const std::function<Claim(const std::string& path)>& claim, int maxTries) {
  NameChoice choice;
  choice.number = start;
  std::optional<std::vector<std::int64_t>> taken;  // listed once, when first needed
  std::optional<std::int64_t> next = start;
  for (int tries = 0; next && tries < maxTries; ++tries) {
    choice.number = *next;
    choice.path = FileName(directory, choice.number, extension);
    choice.outcome = claim(choice.path);
    if (choice.outcome != Claim::Taken) return choice;
    if (!taken) taken = listTaken();
    next = choice.number == INT64_MAX ? std::nullopt : FirstFreeNumber(*taken, choice.number + 1);
  }
  if (!next) {
    // Every number up to the largest is taken.
    choice.number = INT64_MAX;
    choice.path = FileName(directory, choice.number, extension);
  }
  choice.outcome = Claim::Taken;
  return choice;
}

std::string FailureText(const std::string& path, const std::string& reason, bool pictureShown) {
  std::string text = "The capture could not be saved automatically as " + path + ".";
  if (!reason.empty()) text += "\n\n" + reason;
  text += pictureShown ? "\n\nThe picture is still in the picture area." : "\n\nThe picture area holds no picture.";
  return text;
}

std::string AllNamesTakenReason(std::int64_t first, std::int64_t last) {
  return "Every name from snap" + std::to_string(first) + " to snap" + std::to_string(last) +
         " is already taken in that directory.";
}

}  // namespace fw::autosave
