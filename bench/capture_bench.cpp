// Capture timings: SnapDesktop, SnapForegroundWindow and a whole Ctrl+S
// capture (sound, capture, picture shown), median and minimum over many
// runs (the hotkey's figures, with their floors, are program_bench's). Prints a table; not a pass/fail test. Usage:
// fw_bench [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "bench_clock.h"

#include "app/program.h"
#include "capture/capture_commands.h"
#include "capture/capture_engine.h"
#include "platform/events.h"
#include "platform/ole.h"
#include "platform/window.h"

namespace {

using bench::NowMs;

struct Figures {
  double median, minimum;
};

Figures Measure(int runs, const std::function<void()>& prepare, const std::function<void()>& step) {
  prepare();
  step();  // warm-up
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    prepare();
    double t0 = NowMs();
    step();
    ms.push_back(NowMs() - t0);
  }
  std::sort(ms.begin(), ms.end());
  return {ms[ms.size() / 2], ms.front()};
}

Figures Measure(int runs, const std::function<void()>& step) {
  return Measure(
      runs, [] {}, step);
}

}  // namespace

int main(int argc, char** argv) {
  int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
  fw::ole::Session ole;
  if (!fw::ole::Start()) return 2;
  fw::Program program;
  fw::Form1& form = program.form1;
  if (!form.Create(::GetModuleHandleA(nullptr))) return 2;
  ::ShowWindow(form.hwnd(), SW_SHOWNORMAL);
  ::SetForegroundWindow(form.hwnd());
  fw::DoEvents();

  int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  Figures desktop = Measure(runs, [] { fw::SnapDesktop(); });
  Figures foreground = Measure(runs, [] { fw::SnapForegroundWindow(); });
  Figures whole = Measure(runs, [&] {
    fw::capensc_Click(form);
    ::RedrawWindow(form.picture1(), nullptr, nullptr, RDW_UPDATENOW);
    fw::DoEvents();
  });

  std::printf("capture timings, %d runs each, screen %dx%d\n", runs, w, h);
  std::printf("%-34s %10s %10s\n", "operation", "median ms", "min ms");
  std::printf("%-34s %10.2f %10.2f\n", "SnapDesktop", desktop.median, desktop.minimum);
  std::printf("%-34s %10.2f %10.2f\n", "SnapForegroundWindow (main window)", foreground.median, foreground.minimum);
  std::printf("%-34s %10.2f %10.2f\n", "capensc_Click (Ctrl+S), shown", whole.median, whole.minimum);
  std::printf("figure: snap_desktop %.2f %.2f\n", desktop.median, desktop.minimum);
  ::DestroyWindow(form.hwnd());
  return 0;
}
