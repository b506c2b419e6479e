// The Options dialog's decisions: what its change handlers do with its
// memory of the settings (OptionsMemory, handed in), its load steps, what a settings file
// gives, and the directory list's paths and entries. Plain C++; the dialog
// itself (options_dialog.cpp) supplies the controls.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "output/settings_format.h"
#include "program/shared_state.h"

namespace fw::options {

// Check box states.
inline constexpr int kUnchecked = 0;
inline constexpr int kChecked = 1;
inline constexpr int kDimmed = 2;

// The state a user's click gives a check box: checked becomes unchecked,
// anything else checked.
inline int ClickedState(int state) {
  return state == kChecked ? kUnchecked : kChecked;
}

// The dialog's controls as its load steps use them. Assigning a state that
// differs from the current one runs the control's change handler before
// the assignment returns; an assignment that changes nothing runs none.
class Controls {
 public:
  virtual ~Controls() = default;
  virtual int Check1() const = 0;
  virtual void SetCheck1(int state) = 0;
  virtual int Check2() const = 0;
  virtual void SetCheck2(int state) = 0;
  // The directory list's current directory.
  virtual std::string Dir() const = 0;
  // Makes `path` the list's current directory; false (and nothing
  // changes) when it cannot be shown, for example because it does not
  // exist.
  virtual bool SetDir(const std::string& path) = 0;
  // Sets the extension box's text; runs no handler.
  virtual void SetExtensionText(const std::string& text) = 0;
  virtual void AttachSkin() = 0;
};

// What the change handlers do with the dialog's memory.
void Check1Changed(OptionsMemory& memory, int state);  // 1: AutoSaveEnabled true, 0: false, 2: no change
void Check2Changed(OptionsMemory& memory, int state);  // likewise for ShowAfterSnap
void DirChanged(OptionsMemory& memory, const std::string& dir);
void ExtensionChosen(OptionsMemory& memory, const std::string& text);

// What a settings file gives the load, in the order the load applies it:
// nothing when the read failed or field 1 is not a state (0 to 2); only
// Check1 when field 2 is not a state; the directory only when its text can
// name a directory at all (see UsableDirectoryText).
struct FromFile {
  std::optional<int> check1;
  std::optional<int> check2;
  std::optional<std::string> directory;
};
FromFile WhatTheFileGives(const settings::ReadResult& read);

// The load steps, in order. `settingsFile` holds the file's bytes, or
// nothing when the file is absent or could not be opened or read; `ansi`
// reads a file without a byte-order mark (settings::ReadSettingsFile).
// `programDir` is the program's directory. When the remembered directory
// can no longer be shown (it has been removed), the list falls back to the
// program's directory and the memory follows it.
void RunLoadSteps(Controls& form, OptionsMemory& memory, const std::optional<std::string>& settingsFile,
                  const settings::CodePage& ansi, const std::string& programDir);

// When "Apply" cannot write the settings file, an older file that can
// still be read is read again at the dialog's next load (opening Options,
// or a capture that needs the settings once the dialog has been closed),
// and some of its values come back. Which, for the states and directory
// "Apply" tried to write: a box comes back checked when the file has it
// checked and the user had cleared it (a box the user checked stays
// checked), and the file's directory comes back when the list can show it
// and it is not the one chosen. `file` is what the file gives as it stands
// now (nothing when it is absent or unreadable); `shownAs` gives the
// directory the list shows for a path, or nothing when it cannot show it.
struct ComesBack {
  bool check1 = false;                   // "Auto save to file" comes back checked
  bool check2 = false;                   // "Show program after each snap" comes back checked
  std::optional<std::string> directory;  // the directory that comes back
  int count() const { return int{check1} + int{check2} + int{directory.has_value()}; }
};
ComesBack WhatComesBack(const FromFile& file, int check1, int check2, const std::string& directory,
                        const std::function<std::optional<std::string>(const std::string&)>& shownAs);

// The message shown when "Apply" cannot write the settings file: which
// file, why, and what becomes of the settings.
std::string ApplyFailureText(const std::string& path, const std::string& reason, const ComesBack& back);

// ---- paths and the directory list ----

// True for a full path: a drive letter, a colon and a separator
// ("C:\Shots"), or a UNC share ("\\server\share").
bool IsFullPath(std::string_view path);

// True when a directory from the settings file may be shown at all: a full
// path within the limits of the longest paths Windows takes (32767
// characters, 255 to a part; whether this system takes one that long is
// for the list to find out), without NUL bytes or characters that no path
// can hold.
bool UsableDirectoryText(std::string_view path);

// '/' becomes '\', repeated separators collapse, and a trailing separator
// goes, except at a drive's root ("C:\"). Expects a full path.
std::string NormaliseDir(std::string_view path);

// Paths compare without regard to ASCII case, as Windows does.
bool SamePath(std::string_view a, std::string_view b);

// The directory, its parent and so on up to its root, root first:
// "C:\A\B" gives "C:\", "C:\A", "C:\A\B".
std::vector<std::string> PathChain(std::string_view dir);

// A subdirectory's path; no doubled separator at a root.
std::string ChildPath(std::string_view dir, std::string_view name);

// One line of the directory list.
struct DirEntry {
  std::string text;   // what the line shows: the root's path or a name
  std::string path;   // the directory it opens
  int depth = 0;      // indentation level
  bool open = false;  // the current directory and its parents
};

// The lines of the list for a current directory: the chain from the root
// to it (open folders), then its subdirectories one level deeper, in
// case-insensitive order of name.
std::vector<DirEntry> DirListEntries(std::string_view current, std::vector<std::string> subdirectories);

// The line of the current directory in the list.
inline std::size_t CurrentEntryIndex(const std::vector<DirEntry>& entries) {
  std::size_t i = 0;
  while (i + 1 < entries.size() && entries[i + 1].open) ++i;
  return i;
}

}  // namespace fw::options
