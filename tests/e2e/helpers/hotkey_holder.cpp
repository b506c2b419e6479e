// Holds system-wide hotkeys so that another program cannot register them.
// Each argument is a function key number held with Ctrl ("10" for
// Ctrl+F10), or with Ctrl and Shift after an "s" ("s10" for Ctrl+Shift+F10). Once every registration has been tried,
// its hidden window's title becomes "hotkey holder:" followed by the keys it holds; it then waits until it is closed or
// ended, counting in its title the presses of those keys that reach it: "hotkey holder: 10 (pressed 2)".
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

std::string g_held = "hotkey holder:";
int g_pressed = 0;

LRESULT CALLBACK HolderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_HOTKEY) {
    std::string title = g_held + " (pressed " + std::to_string(++g_pressed) + ")";
    ::SetWindowTextA(hwnd, title.c_str());
    return 0;
  }
  if (msg == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = HolderProc;
  wc.hInstance = instance;
  wc.lpszClassName = "FwHotkeyHolder";
  ::RegisterClassA(&wc);
  HWND hwnd = ::CreateWindowExA(0, "FwHotkeyHolder", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  if (!hwnd) return 1;
  const char* p = commandLine;
  int id = 100;
  while (*p) {
    bool shift = *p == 's';
    if (shift) ++p;
    char* end = nullptr;
    long key = std::strtol(p, &end, 10);
    if (end == p) {
      if (!shift) ++p;
      continue;
    }
    p = end;
    UINT modifiers = MOD_CONTROL | (shift ? MOD_SHIFT : 0);
    if (key >= 1 && key <= 24 && ::RegisterHotKey(hwnd, id++, modifiers, VK_F1 + static_cast<UINT>(key) - 1)) {
      g_held.append(shift ? " s" : " ");
      g_held.append(std::to_string(key));
    }
  }
  ::SetWindowTextA(hwnd, g_held.c_str());
  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) ::DispatchMessageA(&msg);
  return 0;
}
