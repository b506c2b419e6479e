// Finding the program's windows and reading them, as assistive technology
// does: by class, caption and control id.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

std::vector<HWND> TopLevelWindows(DWORD pid, bool visibleOnly = false);
HWND FindTopLevel(DWORD pid, const char* className, const char* title = nullptr, bool visibleOnly = true);
HWND FindChildByText(HWND parent, const std::string& text, const char* className = nullptr);
HWND FindChildById(HWND parent, int id);
// A window's text, in UTF-8.
std::string Text(HWND hwnd);
std::string ClassOf(HWND hwnd);
RECT ScreenRect(HWND hwnd);
// Counts the windows (top-level and child) a process owns.
int CountWindows(DWORD pid);
// The window that has the keyboard focus in the thread of `window`.
HWND FocusOf(HWND window);

}  // namespace e2e
