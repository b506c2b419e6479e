// The screen's resolution, and the one Windows gives a window.
#pragma once

#include <windows.h>

namespace fw {

// Pixels per inch of the screen, horizontally and vertically (96 when it
// cannot be read): the system's scaling, read once.
int ScreenDpiX();
int ScreenDpiY();

// The DPI Windows gives `window`: that of its monitor (GetDpiForWindow,
// Windows 10 1607 and later, found on first use), else the screen's, the
// one scaling older systems have.
int SystemDpiOf(HWND window);

}  // namespace fw
