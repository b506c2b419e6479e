// Modal message boxes with the program's title.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

inline constexpr const char* kAppTitle = "Framewick";

// Shows a modal message box owned by the program's visible main window (or
// task-modal when the main window is hidden or minimised) and returns the
// button chosen. Without a title it carries the program's title.
// The texts are UTF-8.
int ShowMessage(const std::string& text, UINT style, const char* title = nullptr);

// Registers the window that owns message boxes (the main window).
void SetMessageOwner(HWND owner);

}  // namespace fw
