#include "process_figures.h"

#include <psapi.h>

#include "harness.h"

namespace e2e {
namespace {

constexpr const char* kProbe = "gdi_probe.dll";

}  // namespace

long ProcessGdiObjects(HANDLE process) {
  DWORD reported = ::GetGuiResources(process, GR_GDIOBJECTS);
  if (reported > 0) return static_cast<long>(reported);
  return RunInProgram(process, kProbe, "CountGdiObjects");
}

long ProcessUserObjects(HANDLE process, DWORD pid) {
  DWORD reported = ::GetGuiResources(process, GR_USEROBJECTS);
  return reported > 0 ? static_cast<long>(reported) : CountWindows(pid);
}

std::size_t ProcessPrivateBytes(HANDLE process) {
  PROCESS_MEMORY_COUNTERS_EX pmc{};
  pmc.cb = sizeof pmc;
  if (!::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc)) return 0;
  return pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage;
}

}  // namespace e2e
