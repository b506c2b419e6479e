// Figures of another running process for the soak tests: its GDI and USER
// objects and its private memory.
#pragma once

#include <windows.h>

#include <cstddef>

namespace e2e {

// The process's GDI objects; -1 when they cannot be counted. Under Wine
// this loads a small counting library into the process (once) and runs it.
long ProcessGdiObjects(HANDLE process);
// Its USER objects: as reported, or else the windows it owns.
long ProcessUserObjects(HANDLE process, DWORD pid);
// Its private bytes (0 when unknown).
std::size_t ProcessPrivateBytes(HANDLE process);

}  // namespace e2e
