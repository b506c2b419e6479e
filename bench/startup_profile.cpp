// Where a cold start's time goes: the program's start-up (app/startup.cpp),
// step by step, in a process of its own that links what the program links.
// "loader" is the time from the process's creation to WinMain: Wine's own
// start and the libraries the executable imports. The bench starts it many
// times, taking turns with the empty window's own profile, and prints the
// medians. Prints "profile: <step> <ms>" lines, then ends.
#include <windows.h>

#include <cstdio>

#include "bench_clock.h"

#include "app/startup.h"

namespace {

// Milliseconds from this process's creation to now, on the system clock.
double SinceProcessCreated() {
  FILETIME created, exited, kernel, user, now;
  ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
  ::GetSystemTimePreciseAsFileTime(&now);
  auto ticks = [](const FILETIME& f) {
    return static_cast<double>((static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime);
  };
  return (ticks(now) - ticks(created)) / 10000.0;
}

double last = 0;
void Step(const char* name) {
  double now = bench::NowMs();
  std::printf("profile: %s %.2f\n", name, now - last);
  last = now;
}

// What follows the first paint (the sample photograph, on a timer): until
// the queue has stayed empty for a while, which the timer of a millisecond
// cannot outlast; the step ends with the last message.
int AfterPaint(fw::Program& program, double start) {
  std::printf("profile: total_to_painted %.2f\n", bench::NowMs() - start);
  MSG msg;
  double lastHandled = bench::NowMs();
  while (bench::NowMs() - start < 10000) {
    if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
      lastHandled = bench::NowMs();
    } else if (::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT) == WAIT_TIMEOUT) {
      break;
    }
  }
  std::printf("profile: after_paint_sample_photo %.2f\n", lastHandled - last);
  std::fflush(stdout);
  ::DestroyWindow(program.form1.hwnd());
  return 0;
}

}  // namespace

// The program's own start (app/startup.cpp), with a clock between its steps.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  std::printf("profile: loader %.2f\n", SinceProcessCreated());
  last = bench::NowMs();
  double start = last;
  return fw::RunProgram(
      instance, {.stepDone = Step, .run = [start](fw::Program& program) { return AfterPaint(program, start); }});
}
