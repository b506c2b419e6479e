// Fuzzes the settings file reader and what the Options dialog makes of a
// file: any bytes must read without a crash or a read past the input, and
// the results must keep their promises.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "capture/auto_save_rules.h"
#include "output/options_rules.h"
#include "output/settings_format.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

bool IsStateText(std::int64_t s) {
  return s >= 0 && s <= 2;
}

// ISO 8859-1 as the ANSI code page: every byte is the character of its
// number; characters past U+00FF (and bytes that are not UTF-8) have no
// equivalent.
class Latin1 final : public fw::settings::CodePage {
 public:
  std::optional<std::string> FromUtf8(std::string_view utf8) const override {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
      auto c = static_cast<unsigned char>(utf8[i]);
      if (c < 0x80) {
        out += static_cast<char>(c);
      } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size() &&
                 (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
        out += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
      } else {
        return std::nullopt;
      }
    }
    return out;
  }
  std::string ToUtf8(std::string_view text) const override {
    std::string out;
    for (char ch : text) {
      auto c = static_cast<unsigned char>(ch);
      if (c < 0x80) {
        out += ch;
      } else {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
      }
    }
    return out;
  }
};

bool StartsWithBom(std::string_view bytes) {
  return bytes.substr(0, fw::settings::kUtf8Bom.size()) == fw::settings::kUtf8Bom;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace fw;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  settings::ReadResult read = settings::ReadSettingsLine(bytes);
  if (read.status == settings::ReadStatus::Ok) {
    Check(read.state1 >= -settings::kStateLimit && read.state1 <= settings::kStateLimit);
    Check(read.state2 >= -settings::kStateLimit && read.state2 <= settings::kStateLimit);
    // The directory is a piece of the input.
    Check(read.directory.size() <= size);
    Check(bytes.find(read.directory) != std::string_view::npos);

    // What "Apply" writes from such values reads back the same.
    bool writable = IsStateText(read.state1) && IsStateText(read.state2) &&
                    read.directory.find_first_of("\"\r\n") == std::string::npos;
    if (writable) {
      std::string line =
          settings::FormatSettingsLine(static_cast<int>(read.state1), static_cast<int>(read.state2), read.directory);
      settings::ReadResult again = settings::ReadSettingsLine(line);
      Check(again.status == settings::ReadStatus::Ok);
      Check(again.state1 == read.state1 && again.state2 == read.state2);
      Check(again.directory == read.directory);
    }
  }

  // The file as the program reads it: the directory in UTF-8, from the
  // code page unless a byte-order mark says UTF-8. Whatever "Apply" writes
  // for it reads back whole, in the code page whenever that holds it.
  const Latin1 ansi;
  settings::ReadResult decoded = settings::ReadSettingsFile(bytes, ansi);
  Check(decoded.status == read.status);
  if (decoded.status == settings::ReadStatus::Ok) {
    Check(decoded.state1 == read.state1 && decoded.state2 == read.state2);
    if (StartsWithBom(bytes)) Check(decoded.directory == read.directory);
    if (!StartsWithBom(bytes)) Check(ansi.FromUtf8(decoded.directory) == read.directory);
    bool writable = IsStateText(decoded.state1) && IsStateText(decoded.state2) &&
                    decoded.directory.find_first_of("\"\r\n") == std::string::npos;
    if (writable) {
      std::string file = settings::SettingsFileBytes(static_cast<int>(decoded.state1), static_cast<int>(decoded.state2),
                                                     decoded.directory, ansi);
      Check(StartsWithBom(file) == !ansi.FromUtf8(decoded.directory).has_value());
      settings::ReadResult again = settings::ReadSettingsFile(file, ansi);
      Check(again.status == settings::ReadStatus::Ok);
      Check(again.state1 == decoded.state1 && again.state2 == decoded.state2);
      Check(again.directory == decoded.directory);
    }
  }

  options::FromFile given = options::WhatTheFileGives(read);
  if (!given.check1) Check(!given.check2 && !given.directory);
  if (given.check1) Check(IsStateText(*given.check1));
  if (given.check2) Check(IsStateText(*given.check2));
  if (given.directory) {
    Check(options::UsableDirectoryText(*given.directory));
    std::string dir = options::NormaliseDir(*given.directory);
    Check(options::IsFullPath(dir));
    Check(dir.size() <= given.directory->size());
    auto chain = options::PathChain(dir);
    Check(!chain.empty() && chain.back() == dir);
    auto entries = options::DirListEntries(dir, {"b", "A"});
    Check(entries.size() == chain.size() + 2);
    Check(options::CurrentEntryIndex(entries) == chain.size() - 1);
  }

  // The same bytes as a path or an extension typed by the user.
  std::string any(bytes);
  auto chain = options::PathChain(any);
  Check(!chain.empty());
  if (autosave::ExtensionProblem(any).empty()) {
    std::string name = autosave::FileName("C:\\P", 7, any);
    Check(name == "C:\\P\\snap7" + any);
    Check(name.find_first_of("\"*?<>|") == std::string::npos);
  }
  return 0;
}
