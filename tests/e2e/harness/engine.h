// The system the driver runs on: Windows, or Wine and its version. Where
// Wine models less of Windows than a test needs, the test asks here and
// skips (or expects what that engine does), saying why.
#pragma once

#include <string>

namespace e2e {

// Wine's version as it reports it ("8.0", "10.0"); empty on Windows.
std::string WineVersion();
// Wine's major version; 0 on Windows.
int WineMajor();
// A name for messages: "Wine 8.0", or "Windows".
std::string EngineName();

// Whether the system scales the screen for a program unaware of the
// display scaling (smaller metrics, a 96-dpi screen): Windows does from
// Vista on, Wine 10 does; Wine 8 gives every program the real pixels and
// the system DPI.
bool ScalesProgramsUnawareOfScaling();

// Whether the desktop is composed and the compositor answers for a
// window's visible frame (DwmGetWindowAttribute with
// DWMWA_EXTENDED_FRAME_BOUNDS): on Windows when composition is on (always
// from 8 on), under Wine 10; Wine 8's dwmapi answers E_NOTIMPL.
bool ComposesTheDesktop();

// Whether a window that moves under a still pointer gets a mouse move
// (WM_MOUSEMOVE) at the pointer's new place in it, as Windows sends one:
// Wine 10 does, Wine 8 does not.
bool MovingAWindowUnderThePointerSendsAMouseMove();

}  // namespace e2e
