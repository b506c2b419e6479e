// The reason a window gives the system for holding up the end of the
// session (logoff, shutdown), shown on the system's screen of programs that
// prevent it. The functions (Windows Vista and later) are found in user32
// on first use; without them nothing is registered.
#pragma once

#include <windows.h>

namespace fw {

// Registers `reason` for the window, replacing an earlier one; null
// withdraws it. Only the thread that created the window may do this.
void SetShutdownBlockReason(HWND window, const wchar_t* reason) noexcept;

}  // namespace fw
