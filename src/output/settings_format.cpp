#include "output/settings_format.h"

#include <optional>

namespace fw::settings {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

bool IsLineBreak(char c) {
  return c == '\r' || c == '\n';
}

// Walks the bytes one field at a time.
class FieldReader {
 public:
  explicit FieldReader(std::string_view bytes) : s_(bytes) {
    if (s_.substr(0, kUtf8Bom.size()) == kUtf8Bom) p_ = kUtf8Bom.size();
  }

  // The next field, or nothing when the input holds no more.
  std::optional<std::string> Next() {
    while (p_ < s_.size() && (IsBlank(s_[p_]) || IsLineBreak(s_[p_]))) ++p_;
    if (p_ >= s_.size()) return std::nullopt;
    std::string field;
    if (s_[p_] == '"') {
      std::size_t start = ++p_;
      while (p_ < s_.size() && s_[p_] != '"' && !IsLineBreak(s_[p_])) ++p_;
      field.assign(s_.substr(start, p_ - start));
      if (p_ < s_.size() && s_[p_] == '"') ++p_;
      while (p_ < s_.size() && s_[p_] != ',' && !IsLineBreak(s_[p_])) ++p_;
    } else {
      std::size_t start = p_;
      while (p_ < s_.size() && s_[p_] != ',' && !IsLineBreak(s_[p_])) ++p_;
      std::size_t end = p_;
      while (end > start && IsBlank(s_[end - 1])) --end;
      field.assign(s_.substr(start, end - start));
    }
    SkipDelimiter();
    return field;
  }

 private:
  void SkipDelimiter() {
    if (p_ >= s_.size()) return;
    if (s_[p_] == ',') {
      ++p_;
    } else if (s_[p_] == '\r') {
      ++p_;
      if (p_ < s_.size() && s_[p_] == '\n') ++p_;
    } else if (s_[p_] == '\n') {
      ++p_;
    }
  }

  std::string_view s_;
  std::size_t p_ = 0;
};

// A whole number: an optional sign and one or more decimal digits. Values
// beyond the limit are clamped to it.
std::optional<std::int64_t> WholeNumber(std::string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i >= text.size()) return std::nullopt;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    if (value < kStateLimit) value = value * 10 + (c - '0');
    if (value > kStateLimit) value = kStateLimit;
  }
  return negative ? -value : value;
}

}  // namespace

std::string SettingsPath(const std::string& programDir) {
  return programDir + "\\" + std::string(kFileName);
}

std::string FormatSettingsLine(int check1, int check2, std::string_view directory) {
  std::string line = std::to_string(check1);
  line += ',';
  line += std::to_string(check2);
  line += ",\"";
  line += directory;
  line += "\"\r\n";
  return line;
}

ReadResult ReadSettingsLine(std::string_view bytes) {
  ReadResult result;
  FieldReader reader(bytes);
  std::optional<std::string> fields[3];
  for (auto& f : fields) {
    f = reader.Next();
    if (!f) {
      result.status = ReadStatus::TooFewFields;
      return result;
    }
  }
  std::optional<std::int64_t> state1 = WholeNumber(*fields[0]);
  std::optional<std::int64_t> state2 = WholeNumber(*fields[1]);
  if (!state1 || !state2) {
    result.status = ReadStatus::NotAWholeNumber;
    return result;
  }
  result.status = ReadStatus::Ok;
  result.state1 = *state1;
  result.state2 = *state2;
  result.directory = std::move(*fields[2]);
  return result;
}

std::string SettingsFileBytes(int check1, int check2, std::string_view directory, const CodePage& ansi) {
  if (std::optional<std::string> inAnsi = ansi.FromUtf8(directory)) return FormatSettingsLine(check1, check2, *inAnsi);
  std::string bytes(kUtf8Bom);
  bytes += FormatSettingsLine(check1, check2, directory);
  return bytes;
}

ReadResult ReadSettingsFile(std::string_view bytes, const CodePage& ansi) {
  ReadResult read = ReadSettingsLine(bytes);
  bool utf8 = bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom;
  if (read.status == ReadStatus::Ok && !utf8) read.directory = ansi.ToUtf8(read.directory);
  return read;
}

}  // namespace fw::settings
