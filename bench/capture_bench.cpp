// Capture timings: SnapDesktop, SnapForegroundWindow and a whole Ctrl+S
// capture (sound, capture, picture shown), median and minimum over many
// runs (the Ctrl+F10 figures, with their floors, are program_bench's). And,
// each timed in turn with its floor within every run:
//  - Ctrl+F11 to picture held, of a window as large as the screen, against
//    a bare BitBlt of the same rectangle from the screen;
//  - Ctrl+Shift+F10 to picture held, against a bare BitBlt of the virtual
//    screen (every monitor).
// The hotkeys go through the program's own window procedures and handler,
// in this process. Prints a table and "figure:" lines; not a pass/fail
// test. Usage: capture_bench [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "bare_capture.h"
#include "bench_clock.h"

#include "app/program.h"
#include "capture/capture_commands.h"
#include "capture/capture_engine.h"
#include "capture/hotkeys.h"
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

Figures Of(std::vector<double> ms) {
  if (ms.empty()) return {0, 0};
  std::sort(ms.begin(), ms.end());
  return {ms[ms.size() / 2], ms.front()};
}

// A hotkey message through the main window's procedures until the picture
// area holds the new picture; what the picture area does with it next
// (painting) is left to Settle, untimed.
double HotkeyToPicture(fw::Form1& form, WPARAM id) {
  fw::Picture before = form.GetPicture();
  double t0 = NowMs();
  ::PostMessageA(form.hwnd(), WM_HOTKEY, id, 0);
  MSG msg;
  while (form.GetPicture().SameObject(before)) {
    if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  return NowMs() - t0;
}

void Settle(HWND hwnd) {
  ::RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  fw::DoEvents();
}

// A window as large as the screen, in front: what Ctrl+F11 captures.
HWND ScreenSizedWindow() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = ::DefWindowProcA;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
  wc.lpszClassName = "FwBenchTarget";
  ::RegisterClassA(&wc);
  HWND w =
      ::CreateWindowExA(0, wc.lpszClassName, "target", WS_POPUP | WS_VISIBLE, 0, 0, ::GetSystemMetrics(SM_CXSCREEN),
                        ::GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, wc.hInstance, nullptr);
  ::SetForegroundWindow(w);
  fw::DoEvents();
  return w;
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

  // The hotkeys, each in turn with its floor.
  fw::InstallHotkeyWndProc(form.capturing());
  HWND target = ScreenSizedWindow();
  RECT window{};
  ::GetWindowRect(target, &window);
  int vx = ::GetSystemMetrics(SM_XVIRTUALSCREEN), vy = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
  RECT all{vx, vy, vx + ::GetSystemMetrics(SM_CXVIRTUALSCREEN), vy + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  const WPARAM kCtrlF11 = 1, kCtrlShiftF10 = 4;
  HotkeyToPicture(form, kCtrlF11);  // warm-up: the Options dialog, the sound
  HotkeyToPicture(form, kCtrlShiftF10);
  Settle(form.hwnd());
  std::vector<double> bareWindow, hotkeyWindow, bareAll, hotkeyAll;
  for (int i = 0; i < runs; ++i) {
    ::SetForegroundWindow(target);
    double t0 = NowMs();
    if (bench::BareBitBltOf(window)) bareWindow.push_back(NowMs() - t0);
    hotkeyWindow.push_back(HotkeyToPicture(form, kCtrlF11));
    Settle(form.hwnd());
    t0 = NowMs();
    if (bench::BareBitBltOf(all)) bareAll.push_back(NowMs() - t0);
    hotkeyAll.push_back(HotkeyToPicture(form, kCtrlShiftF10));
    Settle(form.hwnd());
  }
  ::DestroyWindow(target);

  std::printf("capture timings, %d runs each, screen %dx%d\n", runs, w, h);
  std::printf("%-34s %10s %10s\n", "operation", "median ms", "min ms");
  std::printf("%-34s %10.2f %10.2f\n", "SnapDesktop", desktop.median, desktop.minimum);
  std::printf("%-34s %10.2f %10.2f\n", "SnapForegroundWindow (main window)", foreground.median, foreground.minimum);
  std::printf("%-34s %10.2f %10.2f\n", "capensc_Click (Ctrl+S), shown", whole.median, whole.minimum);
  std::printf("figure: snap_desktop %.2f %.2f\n", desktop.median, desktop.minimum);
  auto figure = [](const char* name, const Figures& f) {
    std::printf("figure: %s %.2f %.2f\n", name, f.median, f.minimum);
  };
  std::printf("window %ldx%ld, virtual screen %ldx%ld at %ld,%ld\n", window.right - window.left,
              window.bottom - window.top, all.right - all.left, all.bottom - all.top, all.left, all.top);
  figure("bare_bitblt_window", Of(bareWindow));
  figure("hotkey_window_to_picture", Of(hotkeyWindow));
  figure("bare_bitblt_all_monitors", Of(bareAll));
  figure("hotkey_all_monitors_to_picture", Of(hotkeyAll));
  ::DestroyWindow(form.hwnd());
  return 0;
}
