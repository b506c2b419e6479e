#include "process_figures.h"

#include <psapi.h>

#include <string>

#include "harness.h"

namespace e2e {
namespace {

constexpr const char* kProbe = "gdi_probe.dll";

// Runs `start(arg)` as a thread in the process; its exit code, or -1.
long RunRemote(HANDLE process, LPTHREAD_START_ROUTINE start, LPVOID arg) {
  HANDLE thread = ::CreateRemoteThread(process, nullptr, 0, start, arg, 0, nullptr);
  if (!thread) return -1;
  long result = -1;
  if (::WaitForSingleObject(thread, 20000) == WAIT_OBJECT_0) {
    DWORD code = 0;
    if (::GetExitCodeThread(thread, &code)) result = static_cast<long>(code);
  }
  ::CloseHandle(thread);
  return result;
}

HMODULE RemoteModule(HANDLE process, const char* name) {
  HMODULE modules[512];
  DWORD needed = 0;
  if (!::EnumProcessModules(process, modules, sizeof modules, &needed)) return nullptr;
  for (DWORD i = 0; i < needed / sizeof(HMODULE) && i < 512; ++i) {
    char base[MAX_PATH] = {};
    if (::GetModuleBaseNameA(process, modules[i], base, sizeof base) && lstrcmpiA(base, name) == 0) return modules[i];
  }
  return nullptr;
}

// Loads the probe into the process unless it is there already.
HMODULE LoadProbe(HANDLE process) {
  if (HMODULE m = RemoteModule(process, kProbe)) return m;
  std::string path = BinDir() + "\\" + kProbe;
  void* remote = ::VirtualAllocEx(process, nullptr, path.size() + 1, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!remote) return nullptr;
  if (::WriteProcessMemory(process, remote, path.c_str(), path.size() + 1, nullptr)) {
    // kernel32 lies at the same address in every process of a session.
    auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "LoadLibraryA")));
    RunRemote(process, load, remote);
  }
  ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return RemoteModule(process, kProbe);
}

}  // namespace

long ProcessGdiObjects(HANDLE process) {
  DWORD reported = ::GetGuiResources(process, GR_GDIOBJECTS);
  if (reported > 0) return static_cast<long>(reported);
  static HMODULE local = ::LoadLibraryA((BinDir() + "\\" + kProbe).c_str());
  FARPROC count = local ? ::GetProcAddress(local, "CountGdiObjects") : nullptr;
  HMODULE remote = count ? LoadProbe(process) : nullptr;
  if (!remote) return -1;
  // The same offset into the library in the other process.
  auto offset = reinterpret_cast<ULONG_PTR>(reinterpret_cast<void*>(count)) - reinterpret_cast<ULONG_PTR>(local);
  auto start = reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<ULONG_PTR>(remote) + offset);
  return RunRemote(process, start, nullptr);
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
