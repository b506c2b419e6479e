// The program itself, with one difference for the tests of a failing
// capture: once told to (the registered message "FramewickTest.Refuse",
// posted to the main window with wParam 1; 0 ends it), every bitmap of the
// screen's size or larger that the program asks GDI for is refused, as a
// very large screen in a 32-bit process or a system low on memory refuses
// it. The refusal is made here, in this test build's own import table; the
// program that ships has no such switch.
#include <windows.h>

#include <cstring>

#include "app/startup.h"
#include "platform/events.h"

namespace {

using CreateBitmapFn = HBITMAP(WINAPI*)(HDC, int, int);
CreateBitmapFn g_create = nullptr;
bool g_refuse = false;

HBITMAP WINAPI RefusingCreateCompatibleBitmap(HDC dc, int width, int height) {
  long long screen = static_cast<long long>(::GetSystemMetrics(SM_CXSCREEN)) * ::GetSystemMetrics(SM_CYSCREEN);
  if (g_refuse && static_cast<long long>(width) * height >= screen) {
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return g_create(dc, width, height);
}

// Points this program's import of `function` from `dll` at `replacement`;
// returns what it pointed at, or null when there is no such import.
void* RedirectImport(const char* dll, const char* function, void* replacement) {
  auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleA(nullptr));
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!imports.VirtualAddress) return nullptr;
  for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name; ++d) {
    if (::lstrcmpiA(reinterpret_cast<const char*>(base + d->Name), dll) != 0 || !d->OriginalFirstThunk) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
      DWORD protection = 0;
      if (!::VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protection)) {
        return nullptr;
      }
      void* original = reinterpret_cast<void*>(slots->u1.Function);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      ::VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
      return original;
    }
  }
  return nullptr;
}

}  // namespace

int main() {
  g_create = reinterpret_cast<CreateBitmapFn>(
      RedirectImport("gdi32.dll", "CreateCompatibleBitmap", reinterpret_cast<void*>(&RefusingCreateCompatibleBitmap)));
  if (!g_create) return 3;
  const UINT refuse = ::RegisterWindowMessageA("FramewickTest.Refuse");
  fw::AddMessageFilter([refuse](MSG& msg) {
    if (refuse == 0 || msg.message != refuse) return false;
    g_refuse = msg.wParam != 0;
    return true;
  });

  return fw::RunProgram(::GetModuleHandleA(nullptr));
}
