// Counting a process's own GDI and USER objects. Windows reports them with
// GetGuiResources; Wine stubs that call, so there the GDI handle space is
// walked instead (each live handle answers GetObjectType) and the USER
// count is the number of windows the process owns.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <cstddef>

namespace e2e {

inline BOOL CALLBACK CountWindow(HWND h, LPARAM lp) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(h, &pid);
  if (pid == ::GetCurrentProcessId()) {
    ++*reinterpret_cast<long*>(lp);
    ::EnumChildWindows(h, CountWindow, lp);
  }
  return TRUE;
}

inline long GdiObjects() {
  long reported = static_cast<long>(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS));
  if (reported > 0) return reported;
  long count = 0;
  for (unsigned gen = 0; gen < 256; ++gen) {
    for (unsigned index = 0x10; index <= 0xFFFF; ++index) {
      HGDIOBJ h = reinterpret_cast<HGDIOBJ>(static_cast<ULONG_PTR>((gen << 16) | index));
      if (::GetObjectType(h) != 0) ++count;
    }
  }
  return count;
}

inline long UserObjects() {
  long reported = static_cast<long>(::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS));
  if (reported > 0) return reported;
  long count = 0;
  ::EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

inline std::size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX pmc{};
  pmc.cb = sizeof pmc;
  if (!::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc))
    return 0;
  // Wine does not fill in the private bytes; the pagefile figure is the same.
  return pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage;
}

}  // namespace e2e
