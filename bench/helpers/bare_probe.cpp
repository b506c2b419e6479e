// The memory floor of captures: the bare probes of bare_capture.h in a
// process of their own, which prints its peak working set once idle, after
// as many bare BitBlts of the screen as the program is given in the bench
// (each bitmap kept until the next capture, as a picture is held), and
// after as many bare captures written to a file.
// Usage: bare_probe <dir> <captures>
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bare_capture.h"

namespace {
SIZE_T Peak() {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  return ::GetProcessMemoryInfo(::GetCurrentProcess(), &pmc, sizeof pmc) ? pmc.PeakWorkingSetSize : 0;
}

void Print(const char* name, SIZE_T bytes) {
  std::printf("figure: %s %zu %zu\n", name, static_cast<size_t>(bytes), static_cast<size_t>(bytes));
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  std::string dir = __argc > 1 ? __argv[1] : ".";
  int captures = __argc > 2 ? std::max(1, std::atoi(__argv[2])) : 1;
  SIZE_T idle = Peak();
  HBITMAP kept = nullptr;
  for (int i = 0; i < captures; ++i) {
    if (kept) ::DeleteObject(kept);
    kept = nullptr;
    bench::BareBitBlt(&kept);
  }
  SIZE_T captured = Peak();
  if (kept) ::DeleteObject(kept);
  for (int i = 0; i < captures; ++i) {
    bench::BareCaptureAndWrite(dir, "bare_probe.bmp");
    ::DeleteFileA((dir + "\\bare_probe.bmp").c_str());
  }
  SIZE_T written = Peak();
  Print("bare_peak_memory_idle", idle);
  Print("bare_peak_memory_bitblt", captured);
  Print("bare_peak_memory_written", written);
  std::fflush(stdout);
  return 0;
}
