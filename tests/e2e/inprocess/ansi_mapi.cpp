// The program itself, as on a system whose mapi32.dll has only the ANSI
// MAPISendMail (Windows 7 and earlier; Wine's always has MAPISendMailW
// too): the program's look-up of "MAPISendMailW" finds nothing. The
// difference is made here, in this test build's own import table of
// GetProcAddress; the program that ships has no such switch.
#include <windows.h>

#include <cstring>

#include "app/startup.h"
#include "import_redirect.h"

namespace {

using GetProcAddressFn = FARPROC(WINAPI*)(HMODULE, LPCSTR);
GetProcAddressFn g_getProcAddress = nullptr;

FARPROC WINAPI WithoutWideSendMail(HMODULE module, LPCSTR name) {
  // A name, not an ordinal (which fits in the low 16 bits).
  if (reinterpret_cast<ULONG_PTR>(name) > 0xFFFF && std::strcmp(name, "MAPISendMailW") == 0) {
    ::SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return g_getProcAddress(module, name);
}

}  // namespace

int main() {
  g_getProcAddress = reinterpret_cast<GetProcAddressFn>(
      test_build::RedirectImport("kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(&WithoutWideSendMail)));
  if (!g_getProcAddress) return 3;
  return fw::RunProgram(::GetModuleHandleA(nullptr));
}
