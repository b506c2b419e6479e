// Fuzzes the settings file reader and what the Options dialog makes of a
// file: any bytes must read without a crash or a read past the input, and
// the results must keep their promises.
#include <cstddef>
#include <cstdint>
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
