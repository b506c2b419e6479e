#include "capture/hotkeys.h"

namespace fw {

WNDPROC PrevMainWndProc = nullptr;

bool InstallHotkeys(HWND) {
  return true;
}

LRESULT CALLBACK HotkeyWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcA(PrevMainWndProc, hwnd, msg, wParam, lParam);
}

void HandleHotkey(unsigned char) {}

}  // namespace fw
