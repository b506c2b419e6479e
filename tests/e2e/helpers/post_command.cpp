// Posts a menu command to a top-level window of a class, as choosing the
// menu item would: post_command <window class> <command id>
#include <windows.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR cmd, int) {
  char cls[256] = {};
  int id = 0;
  const char* p = cmd;
  int n = 0;
  while (*p && *p != ' ' && n < 255) cls[n++] = *p++;
  while (*p == ' ') ++p;
  id = std::atoi(p);
  for (int i = 0; i < 200; ++i) {
    if (HWND w = ::FindWindowA(cls, nullptr)) {
      ::PostMessageA(w, WM_COMMAND, MAKEWPARAM(id, 0), 0);
      return 0;
    }
    ::Sleep(25);
  }
  return 1;
}
