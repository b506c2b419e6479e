#include "harness/engine.h"

#include <windows.h>
#include <dwmapi.h>

#include <cstdlib>

namespace e2e {

std::string WineVersion() {
  // Wine's ntdll says which Wine it is; Windows' has no such export.
  using VersionFn = const char* CDECL();
  HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
  auto* get = ntdll ? reinterpret_cast<VersionFn*>(reinterpret_cast<void*>(::GetProcAddress(ntdll, "wine_get_version")))
                    : nullptr;
  const char* version = get ? get() : nullptr;
  return version ? version : "";
}

int WineMajor() {
  std::string version = WineVersion();
  return version.empty() ? 0 : std::atoi(version.c_str());
}

std::string EngineName() {
  std::string version = WineVersion();
  return version.empty() ? "Windows" : "Wine " + version;
}

bool ScalesProgramsUnawareOfScaling() {
  int wine = WineMajor();
  return wine == 0 || wine >= 10;
}

bool MovingAWindowUnderThePointerSendsAMouseMove() {
  int wine = WineMajor();
  return wine == 0 || wine >= 10;
}

bool ComposesTheDesktop() {
  int wine = WineMajor();
  if (wine != 0) return wine >= 10;
  using EnabledFn = HRESULT WINAPI(BOOL*);
  HMODULE dwm = ::LoadLibraryA("dwmapi.dll");
  auto* enabled =
      dwm ? reinterpret_cast<EnabledFn*>(reinterpret_cast<void*>(::GetProcAddress(dwm, "DwmIsCompositionEnabled")))
          : nullptr;
  BOOL on = FALSE;
  bool composed = enabled && SUCCEEDED(enabled(&on)) && on;
  if (dwm) ::FreeLibrary(dwm);
  return composed;
}

}  // namespace e2e
