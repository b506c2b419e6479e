// The windows the start-up figures are read against (bench/helpers): a
// window of their own, shown and painted, that then waits to be ended.
// With "--profile" on the command line each prints where its start went,
// as startup_profile does for the program ("<prefix>: <step> <ms>" lines),
// and ends once its window is painted.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>

namespace bench {

inline double SystemTicks(const FILETIME& f) {
  return static_cast<double>((static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime);
}

// The system clock, which the process's creation time is read on.
inline double SystemMs() {
  FILETIME now;
  ::GetSystemTimePreciseAsFileTime(&now);
  return SystemTicks(now) / 10000.0;
}

inline LRESULT CALLBACK FloorWindowProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_DESTROY) ::PostQuitMessage(0);
  return ::DefWindowProcA(h, m, w, l);
}

// Registers the class, opens its window (640 x 480), lets `fill` add to it
// before it shows, then shows and paints it.
inline int RunFloorWindow(HINSTANCE instance, const char* commandLine, const char* prefix, const char* className,
                          const std::function<void(HWND)>& fill) {
  const bool profile = commandLine && std::strstr(commandLine, "--profile");
  double start = SystemMs();
  if (profile) {
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    std::printf("%s: loader %.2f\n", prefix, start - SystemTicks(created) / 10000.0);
  }
  WNDCLASSA wc{};
  wc.lpfnWndProc = FloorWindowProc;
  wc.hInstance = instance;
  wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = className;
  ::RegisterClassA(&wc);
  HWND w = ::CreateWindowExA(0, className, className, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640, 480,
                             nullptr, nullptr, instance, nullptr);
  if (fill) fill(w);
  ::ShowWindow(w, SW_SHOWNORMAL);
  ::UpdateWindow(w);
  if (profile) {
    double painted = SystemMs() - start;
    std::printf("%s: shown_and_painted %.2f\n%s: total_to_painted %.2f\n", prefix, painted, prefix, painted);
    std::fflush(stdout);
    ::DestroyWindow(w);
    return 0;
  }
  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return 0;
}

}  // namespace bench
