// The system-wide hotkeys Ctrl+F10, Ctrl+F11 and Ctrl+F12 and the window
// procedure that receives them.
#pragma once

#include <windows.h>

namespace fw {

// The main window's procedure behind HotkeyWndProc.
extern WNDPROC PrevMainWndProc;

// Start-up steps 3 to 6: registers the hotkeys on the main window, reports
// failures and installs HotkeyWndProc. False means the program must end.
bool InstallHotkeys(HWND mainWindow);

LRESULT CALLBACK HotkeyWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void HandleHotkey(unsigned char id);

}  // namespace fw
