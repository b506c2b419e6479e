// The shell's notification area as the tests see it.
//
// Without a desktop window Wine 8 keeps the notification area in a window
// of its own (class __winex11_standalone_tray), with one child window per
// icon (__winex11_tray_icon); Wine 10 keeps the icons (__wine_tray_icon) in
// the shell's taskbar window, Shell_TrayWnd, which Wine 8 also has but
// leaves empty and hidden. Either way each icon's tip lives in a tooltip
// window it owns, its tool the icon window itself.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "harness/app.h"

namespace e2e {

HWND TrayWindow();
// The icons the notification area shows now.
std::vector<HWND> TrayIcons();
// The one icon that is not among `before`, or null (none or several).
HWND NewIcon(const std::vector<HWND>& before);
// Whether the icon is still shown.
bool Shows(HWND icon);
// The tip of an icon, read from the shell's tooltips as a screen reader
// reads them: the request and its answer live in the shell's own memory.
std::string TipOf(HWND icon);

// Whether the program's main window is hidden (in the notification area).
bool Hidden(App& app);
// Presses "Tray" and waits until the window has gone into the notification
// area; returns the new icon (null if none came).
HWND GoToTray(App& app);

}  // namespace e2e
