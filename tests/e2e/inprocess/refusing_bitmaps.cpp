// The program itself, with one difference for the tests of a failing
// capture: once told to (the registered message "FramewickTest.Refuse",
// posted to the main window with wParam 1; 0 ends it), every bitmap of the
// screen's size or larger that the program asks GDI for is refused, as a
// very large screen in a 32-bit process or a system low on memory refuses
// it. The refusal is made here, in this test build's own import table; the
// program that ships has no such switch.
#include <windows.h>

#include "app/startup.h"
#include "import_redirect.h"
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

}  // namespace

int main() {
  g_create = reinterpret_cast<CreateBitmapFn>(test_build::RedirectImport(
      "gdi32.dll", "CreateCompatibleBitmap", reinterpret_cast<void*>(&RefusingCreateCompatibleBitmap)));
  if (!g_create) return 3;
  const UINT refuse = ::RegisterWindowMessageA("FramewickTest.Refuse");
  fw::AddMessageFilter([refuse](MSG& msg) {
    if (refuse == 0 || msg.message != refuse) return false;
    g_refuse = msg.wParam != 0;
    return true;
  });

  return fw::RunProgram(::GetModuleHandleA(nullptr));
}
