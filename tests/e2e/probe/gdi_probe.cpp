// Loaded into a running Framewick by the end-to-end driver, so the driver
// can count the program's GDI objects: Windows reports them through
// GetGuiResources, but Wine stubs that call and keeps each process's GDI
// handles to itself. The driver starts CountGdiObjects as a thread in the
// program; the thread's exit code is the count.
#include <windows.h>

#include "../inprocess/gui_resources.h"

extern "C" __declspec(dllexport) DWORD WINAPI CountGdiObjects(LPVOID) {
  return static_cast<DWORD>(e2e::GdiObjects());
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
