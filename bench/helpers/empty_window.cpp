// The baseline for start-up time and memory: a Wine program that only opens
// an empty window, and then waits to be ended. With "--profile" it prints
// where its start went, as startup_profile does for the program, and ends
// once its window is painted.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {
LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcA(h, m, w, l);
}

double Ticks(const FILETIME& f) {
  return static_cast<double>((static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime);
}

double NowMs() {
  FILETIME now;
  ::GetSystemTimePreciseAsFileTime(&now);
  return Ticks(now) / 10000.0;
}

double CreatedMs() {
  FILETIME created, exited, kernel, user;
  ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
  return Ticks(created) / 10000.0;
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  const bool profile = commandLine && std::strstr(commandLine, "--profile");
  double start = NowMs();
  if (profile) std::printf("profile_empty: loader %.2f\n", start - CreatedMs());
  WNDCLASSA wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = "FwEmptyWindow";
  ::RegisterClassA(&wc);
  HWND w = ::CreateWindowExA(0, "FwEmptyWindow", "Empty", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640, 480,
                             nullptr, nullptr, instance, nullptr);
  ::ShowWindow(w, SW_SHOWNORMAL);
  ::UpdateWindow(w);
  if (profile) {
    std::printf("profile_empty: shown_and_painted %.2f\n", NowMs() - start);
    std::printf("profile_empty: total_to_painted %.2f\n", NowMs() - start);
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
