// The program itself, with one difference for the tests of window captures:
// the device context of every window but the desktop holds nothing of the
// window's pixels, as the context of a window drawn through the compositor
// (DirectX, DirectComposition) does on Windows 10 and 11. The screen's
// contexts (GetDC(NULL), the desktop window's) are the system's own.
//
// The program's imports of GetDC, GetWindowDC and ReleaseDC from user32
// point here, in this test build's own import table: for any other window
// GetDC and GetWindowDC give a memory context compatible with the screen
// that holds a black bitmap of the window's client or whole size, and
// ReleaseDC deletes it. What the system and its libraries draw is not
// touched.
#include <windows.h>

#include <algorithm>
#include <map>

#include "app/startup.h"
#include "import_redirect.h"

namespace {

using GetDCFn = HDC(WINAPI*)(HWND);
using ReleaseDCFn = int(WINAPI*)(HWND, HDC);
GetDCFn g_getDC = nullptr;
GetDCFn g_getWindowDC = nullptr;
ReleaseDCFn g_releaseDC = nullptr;
// The blank contexts handed out, with the bitmap each holds and the one
// it replaced.
struct Blank {
  HBITMAP bitmap;
  HGDIOBJ replaced;
};
std::map<HDC, Blank> g_blanks;

bool IsScreen(HWND hwnd) {
  return hwnd == nullptr || hwnd == ::GetDesktopWindow();
}

HDC BlankContext(HWND hwnd, bool whole) {
  RECT r{};
  if (whole) {
    ::GetWindowRect(hwnd, &r);
  } else {
    ::GetClientRect(hwnd, &r);
  }
  HDC screen = g_getDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, std::max(1L, r.right - r.left), std::max(1L, r.bottom - r.top));
  g_releaseDC(nullptr, screen);
  if (!dc || !bitmap) {
    if (dc) ::DeleteDC(dc);
    if (bitmap) ::DeleteObject(bitmap);
    return nullptr;
  }
  HGDIOBJ replaced = ::SelectObject(dc, bitmap);
  ::PatBlt(dc, 0, 0, r.right - r.left, r.bottom - r.top, BLACKNESS);
  g_blanks[dc] = Blank{bitmap, replaced};
  return dc;
}

HDC WINAPI BlankGetDC(HWND hwnd) {
  return IsScreen(hwnd) ? g_getDC(hwnd) : BlankContext(hwnd, false);
}

HDC WINAPI BlankGetWindowDC(HWND hwnd) {
  return IsScreen(hwnd) ? g_getWindowDC(hwnd) : BlankContext(hwnd, true);
}

int WINAPI BlankReleaseDC(HWND hwnd, HDC dc) {
  auto blank = g_blanks.find(dc);
  if (blank == g_blanks.end()) return g_releaseDC(hwnd, dc);
  ::SelectObject(dc, blank->second.replaced);
  ::DeleteObject(blank->second.bitmap);
  ::DeleteDC(dc);
  g_blanks.erase(blank);
  return 1;
}

}  // namespace

int main() {
  g_getDC = reinterpret_cast<GetDCFn>(
      test_build::RedirectImport("user32.dll", "GetDC", reinterpret_cast<void*>(&BlankGetDC)));
  g_getWindowDC = reinterpret_cast<GetDCFn>(
      test_build::RedirectImport("user32.dll", "GetWindowDC", reinterpret_cast<void*>(&BlankGetWindowDC)));
  g_releaseDC = reinterpret_cast<ReleaseDCFn>(
      test_build::RedirectImport("user32.dll", "ReleaseDC", reinterpret_cast<void*>(&BlankReleaseDC)));
  if (!g_getDC || !g_getWindowDC || !g_releaseDC) return 3;
  return fw::RunProgram(::GetModuleHandleA(nullptr));
}
