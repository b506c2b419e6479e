// The memory floor of a capture: the bare probes of bare_capture.h in a
// process of their own, which prints its peak working set once idle, after
// one bare BitBlt of the screen (the bitmap kept, as a picture holds it)
// and after the bare capture written to a file. Usage: bare_probe <dir>
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

#include "bare_capture.h"

namespace {
SIZE_T Peak() {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  return ::GetProcessMemoryInfo(::GetCurrentProcess(), &pmc, sizeof pmc) ? pmc.PeakWorkingSetSize : 0;
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  std::string dir = commandLine && *commandLine ? commandLine : ".";
  SIZE_T idle = Peak();
  HBITMAP kept = nullptr;
  bench::BareBitBlt(&kept);
  SIZE_T captured = Peak();
  ::DeleteObject(kept);
  bench::BareCaptureAndWrite(dir, "bare_probe.bmp");
  SIZE_T written = Peak();
  ::DeleteFileA((dir + "\\bare_probe.bmp").c_str());
  std::printf("figure: bare_peak_memory_idle %zu %zu\n", static_cast<size_t>(idle), static_cast<size_t>(idle));
  std::printf("figure: bare_peak_memory_bitblt %zu %zu\n", static_cast<size_t>(captured),
              static_cast<size_t>(captured));
  std::printf("figure: bare_peak_memory_written %zu %zu\n", static_cast<size_t>(written), static_cast<size_t>(written));
  std::fflush(stdout);
  return 0;
}
