// The common Save dialog.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace fw {

// Shows the Save dialog (its wide form, so any name the user types comes
// back whole) with the given filter (name and pattern pieces, each ended
// by NUL, the whole ended by a second NUL) and initial directory, all
// UTF-8. Returns the chosen full path, an empty string when the user
// cancelled, or nothing when the dialog itself failed.
std::optional<std::string> ShowSaveDialog(HWND owner, const std::string& filter, const std::string& initialDir);

}  // namespace fw
