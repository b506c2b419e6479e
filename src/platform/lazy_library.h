// Functions of the system libraries the program needs only now and then
// (the Save dialog, printing, mail and help, the tray icon, the camera
// sound, OLE for the picture objects), found when they are first called so
// that start-up does not load those libraries. A library that cannot be
// loaded, or lacks the function, gives a null function; callers treat that
// as the call failing.
#pragma once

#include <windows.h>

namespace fw::lazy {

// Makes every later library load, the system's own on the program's behalf
// included, search only the system directory, where the system understands
// that (SetDefaultDllDirectories). Called first thing at start.
void RestrictLibrarySearch() noexcept;

// The named function of the named library; loads the library on first use
// and keeps it for the program's life.
FARPROC Find(const char* library, const char* function) noexcept;

template <typename Fn>
Fn* Function(const char* library, const char* function) noexcept {
  return reinterpret_cast<Fn*>(reinterpret_cast<void*>(Find(library, function)));
}

}  // namespace fw::lazy

namespace fw {

// ShellExecuteW(owner, verb, file, no parameters, no directory,
// SW_SHOWNORMAL) for a verb and file in UTF-8, with shell32 loaded on
// first use; false when it could not be started.
bool ShellExecuteLazily(HWND owner, const char* verb, const char* file) noexcept;

}  // namespace fw
