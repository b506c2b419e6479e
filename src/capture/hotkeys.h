// The system-wide hotkeys Ctrl+F10, Ctrl+F11, Ctrl+F12 and Ctrl+Shift+F10
// and the window procedure that receives them, chained in front of the
// main window's own.
#pragma once

#include <windows.h>

#include "capture/capture_context.h"

namespace fw {

// The main window's procedure behind HotkeyWndProc.
extern WNDPROC PrevMainWndProc;

// Start-up steps 3 to 6: registers the hotkeys on the main window, reports
// failures and installs HotkeyWndProc. False means the program must end.
// The context must outlive the main window.
bool InstallHotkeys(const CaptureContext& c);
// Step 6 alone: puts HotkeyWndProc in front of the main window's procedure,
// acting on the given context.
void InstallHotkeyWndProc(const CaptureContext& c);

LRESULT CALLBACK HotkeyWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void HandleHotkey(const CaptureContext& c, unsigned char id);

}  // namespace fw
