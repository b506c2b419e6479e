// Loaded into a running Framewick by the end-to-end driver, so the driver
// can count the program's GDI objects: Windows reports them through
// GetGuiResources, but Wine stubs that call and keeps each process's GDI
// handles to itself. The driver starts CountGdiObjects as a thread in the
// program; the thread's exit code is the count.
#include <windows.h>

extern "C" __declspec(dllexport) DWORD WINAPI CountGdiObjects(LPVOID) {
  DWORD reported = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  if (reported > 0) return reported;
  // Every live handle answers GetObjectType: walk the index and generation
  // space of Wine's handle layout.
  DWORD count = 0;
  for (unsigned gen = 0; gen < 256; ++gen) {
    for (unsigned index = 0x10; index <= 0xFFFF; ++index) {
      HGDIOBJ h = reinterpret_cast<HGDIOBJ>(static_cast<ULONG_PTR>((gen << 16) | index));
      if (::GetObjectType(h) != 0) ++count;
    }
  }
  return count;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
  return TRUE;
}
