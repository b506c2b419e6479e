// Capture timings: SnapDesktop, SnapForegroundWindow and a whole Ctrl+S
// capture (sound, capture, picture shown), median and minimum over many
// runs. Prints a table; not a pass/fail test. Usage: fw_bench [runs]
#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "app/form1.h"
#include "capture/capture_commands.h"
#include "capture/capture_engine.h"
#include "platform/events.h"

namespace {

double NowMs() {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  ::QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

struct Figures {
  double median, minimum;
};

Figures Measure(int runs, const std::function<void()>& step) {
  step();  // warm-up
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    double t0 = NowMs();
    step();
    ms.push_back(NowMs() - t0);
  }
  std::sort(ms.begin(), ms.end());
  return {ms[ms.size() / 2], ms.front()};
}

}  // namespace

int main(int argc, char** argv) {
  int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
  if (FAILED(::OleInitialize(nullptr))) return 2;
  fw::MainWindow& form = fw::Form1();
  if (!form.Create(::GetModuleHandleA(nullptr))) return 2;
  ::ShowWindow(form.hwnd(), SW_SHOWNORMAL);
  ::SetForegroundWindow(form.hwnd());
  fw::DoEvents();

  int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  Figures desktop = Measure(runs, [] { fw::SnapDesktop(); });
  Figures foreground = Measure(runs, [] { fw::SnapForegroundWindow(); });
  Figures whole = Measure(runs, [&] {
    fw::capensc_Click();
    ::RedrawWindow(form.picture1(), nullptr, nullptr, RDW_UPDATENOW);
    fw::DoEvents();
  });

  std::printf("capture timings, %d runs each, screen %dx%d\n", runs, w, h);
  std::printf("%-34s %10s %10s\n", "operation", "median ms", "min ms");
  std::printf("%-34s %10.2f %10.2f\n", "SnapDesktop", desktop.median, desktop.minimum);
  std::printf("%-34s %10.2f %10.2f\n", "SnapForegroundWindow (main window)", foreground.median, foreground.minimum);
  std::printf("%-34s %10.2f %10.2f\n", "capensc_Click (Ctrl+S), shown", whole.median, whole.minimum);
  ::DestroyWindow(form.hwnd());
  ::OleUninitialize();
  return 0;
}
