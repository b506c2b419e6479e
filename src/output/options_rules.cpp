#include "output/options_rules.h"

#include <algorithm>

#include "platform/file_name_rules.h"

namespace fw::options {
namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsDriveRoot(std::string_view p) {
  return p.size() == 3 && p[1] == ':' && p[2] == '\\';
}

bool IsValidState(std::int64_t s) {
  return s >= kUnchecked && s <= kDimmed;
}

// The length of the path's root: "C:\" (3) or "\\server\share"; 0 when it
// is not a full path.
std::size_t RootLength(std::string_view p) {
  if (p.size() >= 3 && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z')) && p[1] == ':' &&
      IsSeparator(p[2])) {
    return 3;
  }
  if (p.size() >= 5 && IsSeparator(p[0]) && IsSeparator(p[1]) && !IsSeparator(p[2])) {
    std::size_t server_end = 2;
    while (server_end < p.size() && !IsSeparator(p[server_end])) ++server_end;
    if (server_end + 1 >= p.size() || IsSeparator(p[server_end + 1])) return 0;
    std::size_t share_end = server_end + 1;
    while (share_end < p.size() && !IsSeparator(p[share_end])) ++share_end;
    return share_end;
  }
  return 0;
}

}  // namespace

void Check1Changed(OptionsMemory& memory, int state) {
  if (state == kChecked) memory.AutoSaveEnabled = true;
  if (state == kUnchecked) memory.AutoSaveEnabled = false;
}

void Check2Changed(OptionsMemory& memory, int state) {
  if (state == kChecked) memory.ShowAfterSnap = true;
  if (state == kUnchecked) memory.ShowAfterSnap = false;
}

void DirChanged(OptionsMemory& memory, const std::string& dir) {
  memory.AutoSaveDir = dir;
}

void ExtensionChosen(OptionsMemory& memory, const std::string& text) {
  memory.AutoSaveExtension = text;
}

FromFile WhatTheFileGives(const settings::ReadResult& read) {
  FromFile given;
  if (read.status != settings::ReadStatus::Ok || !IsValidState(read.state1)) return given;
  given.check1 = static_cast<int>(read.state1);
  if (!IsValidState(read.state2)) return given;
  given.check2 = static_cast<int>(read.state2);
  if (UsableDirectoryText(read.directory)) given.directory = read.directory;
  return given;
}

void RunLoadSteps(Controls& form, OptionsMemory& memory, const std::optional<std::string>& settingsFile,
                  const settings::CodePage& ansi, const std::string& programDir) {
  // 1. The settings file; a failure ends this step where it happens.
  if (settingsFile) {
    FromFile given = WhatTheFileGives(settings::ReadSettingsFile(*settingsFile, ansi));
    if (given.check1) {
      form.SetCheck1(*given.check1);
      if (given.check2) {
        form.SetCheck2(*given.check2);
        if (given.directory && form.SetDir(*given.directory)) memory.AutoSaveDir = form.Dir();
      }
    }
  }
  // 2.
  form.AttachSkin();
  // 3. No directory chosen yet: the program's own.
  if (memory.AutoSaveDir.empty()) {
    form.SetDir(programDir);
    memory.AutoSaveDir = programDir;
  }
  // 4. A remembered directory that has gone since: back to the program's.
  if (!form.SetDir(memory.AutoSaveDir)) {
    form.SetDir(programDir);
    memory.AutoSaveDir = form.Dir();
  }
  // 5. to 7.
  form.SetExtensionText(memory.AutoSaveExtension);
  form.SetCheck2(memory.ShowAfterSnap ? kChecked : kUnchecked);
  form.SetCheck1(memory.AutoSaveEnabled ? kChecked : kUnchecked);
}

ComesBack WhatComesBack(const FromFile& file, int check1, int check2, const std::string& directory,
                        const std::function<std::optional<std::string>(const std::string&)>& shownAs) {
  ComesBack back;
  back.check1 = file.check1 == kChecked && check1 != kChecked;
  back.check2 = file.check2 == kChecked && check2 != kChecked;
  if (file.directory) {
    std::optional<std::string> shown = shownAs(*file.directory);
    if (shown && !SamePath(*shown, directory)) back.directory = *shown;
  }
  return back;
}

std::string ApplyFailureText(const std::string& path, const std::string& reason, const ComesBack& back) {
  std::string text = "The settings could not be written to " + path + ".";
  if (!reason.empty()) text += "\n\n" + reason;
  if (back.count() == 0) {
    text += "\n\nThey stay in effect until Framewick ends, but will not be remembered.";
    return text;
  }
  std::vector<std::string> items;
  if (back.check1) items.push_back("\"Auto save to file\" checked");
  if (back.check2) items.push_back("\"Show program after each snap\" checked");
  if (back.directory) items.push_back("the folder " + *back.directory);
  text +=
      "\n\nThey apply while this window stays open. Once it is closed, the next time Options opens or a "
      "capture needs the settings, the older settings in that file come back: ";
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) text += i + 1 == items.size() ? " and " : ", ";
    text += items[i];
  }
  text += ".";
  if (back.count() < 3) text += " The rest stays in effect until Framewick ends, but will not be remembered.";
  return text;
}

bool IsFullPath(std::string_view path) {
  return RootLength(path) != 0;
}

bool UsableDirectoryText(std::string_view path) {
  if (!IsFullPath(path) || files::NameTooLong(path, /*longPaths=*/true)) return false;
  for (std::size_t i = 0; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (c < 0x20) return false;
    switch (c) {
      case '<':
      case '>':
      case '"':
      case '|':
      case '?':
      case '*': return false;
      case ':':
        if (i != 1) return false;
        break;
      default: break;
    }
  }
  return true;
}

std::string NormaliseDir(std::string_view path) {
  std::string out;
  out.reserve(path.size());
  bool unc = path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
  for (std::size_t i = 0; i < path.size(); ++i) {
    char c = IsSeparator(path[i]) ? '\\' : path[i];
    bool keepDouble = unc && i == 1;
    if (c == '\\' && !out.empty() && out.back() == '\\' && !keepDouble) continue;
    out.push_back(c);
  }
  while (out.size() > 1 && out.back() == '\\' && !IsDriveRoot(out) && !(unc && out.size() <= 2)) out.pop_back();
  return out;
}

bool SamePath(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

std::vector<std::string> PathChain(std::string_view dir) {
  std::string path = NormaliseDir(dir);
  std::size_t root = RootLength(path);
  if (root == 0) return {path};
  std::vector<std::string> chain{path.substr(0, root)};
  std::size_t pos = root;
  while (pos < path.size()) {
    if (path[pos] == '\\') ++pos;
    std::size_t end = path.find('\\', pos);
    if (end == std::string::npos) end = path.size();
    if (end > pos) chain.push_back(path.substr(0, end));
    pos = end;
  }
  return chain;
}

std::string ChildPath(std::string_view dir, std::string_view name) {
  std::string path(dir);
  if (path.empty() || path.back() != '\\') path.push_back('\\');
  path.append(name);
  return path;
}

std::vector<DirEntry> DirListEntries(std::string_view current, std::vector<std::string> subdirectories) {
  std::vector<DirEntry> entries;
  std::vector<std::string> chain = PathChain(current);
  for (std::size_t i = 0; i < chain.size(); ++i) {
    DirEntry e;
    e.path = chain[i];
    e.text = i == 0 ? chain[i] : chain[i].substr(chain[i].rfind('\\') + 1);
    e.depth = static_cast<int>(i);
    e.open = true;
    entries.push_back(std::move(e));
  }
  std::sort(subdirectories.begin(), subdirectories.end(), [](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return LowerAscii(x) < LowerAscii(y); });
  });
  const std::string& here = chain.back();
  for (auto& name : subdirectories) {
    DirEntry e;
    e.path = ChildPath(here, name);
    e.text = std::move(name);
    e.depth = static_cast<int>(chain.size());
    entries.push_back(std::move(e));
  }
  return entries;
}

}  // namespace fw::options
