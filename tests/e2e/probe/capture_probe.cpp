// Loaded into a running Framewick by the end-to-end driver to watch its
// captures from inside: how many it makes (copies out of the screen's or a
// window's device context, which only a capture makes: painting copies out
// of memory contexts), how deeply hotkey messages were nested when each
// was made, and how many sounds it asked for. Each function runs as a
// thread the driver starts in the program; its exit code is the answer.
#include <windows.h>

#include <cstring>

#include "../inprocess/import_redirect.h"
#include "capture_probe.h"

namespace {

using BitBltFn = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, DWORD);
using GetProcAddressFn = FARPROC(WINAPI*)(HMODULE, LPCSTR);
using SoundAFn = BOOL(WINAPI*)(LPCSTR, UINT);
using SoundWFn = BOOL(WINAPI*)(LPCWSTR, UINT);

BitBltFn g_bitBlt = nullptr;
GetProcAddressFn g_getProcAddress = nullptr;
SoundAFn g_soundA = nullptr;
SoundWFn g_soundW = nullptr;
WNDPROC g_next = nullptr;
UINT g_postHotkeys = 0;

// The user-interface thread changes these; the driver's threads read them.
volatile LONG g_captures = 0;
volatile LONG g_deepestCapture = 0;
volatile LONG g_sounds = 0;
LONG g_hotkeyDepth = 0;  // hotkey messages being handled, one inside another

BOOL WINAPI WatchingBitBlt(HDC target, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop) {
  if (source && ::GetObjectType(source) == OBJ_DC) {
    ::InterlockedIncrement(&g_captures);
    if (g_hotkeyDepth > g_deepestCapture) ::InterlockedExchange(&g_deepestCapture, g_hotkeyDepth);
  }
  return g_bitBlt(target, x, y, width, height, source, sx, sy, rop);
}

BOOL WINAPI CountingSndPlaySoundA(LPCSTR sound, UINT flags) {
  ::InterlockedIncrement(&g_sounds);
  return g_soundA ? g_soundA(sound, flags) : FALSE;
}

BOOL WINAPI CountingSndPlaySoundW(LPCWSTR sound, UINT flags) {
  ::InterlockedIncrement(&g_sounds);
  return g_soundW ? g_soundW(sound, flags) : FALSE;
}

// The program finds the sound's function when it first plays one (winmm is
// loaded then): it is handed the counting one in its place.
FARPROC WINAPI WatchingGetProcAddress(HMODULE module, LPCSTR name) {
  FARPROC found = g_getProcAddress(module, name);
  if (!found || IS_INTRESOURCE(name)) return found;
  if (std::strcmp(name, "sndPlaySoundA") == 0) {
    g_soundA = reinterpret_cast<SoundAFn>(reinterpret_cast<void*>(found));
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&CountingSndPlaySoundA));
  }
  if (std::strcmp(name, "sndPlaySoundW") == 0) {
    g_soundW = reinterpret_cast<SoundWFn>(reinterpret_cast<void*>(found));
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&CountingSndPlaySoundW));
  }
  return found;
}

// In front of the main window's procedures.
LRESULT CALLBACK WatchingWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == g_postHotkeys && msg != 0) {
    for (LPARAM i = 0; i < lParam; ++i) ::PostMessageA(hwnd, WM_HOTKEY, wParam, 0);
    return 0;
  }
  if (msg != WM_HOTKEY) return ::CallWindowProcA(g_next, hwnd, msg, wParam, lParam);
  ++g_hotkeyDepth;
  LRESULT result = ::CallWindowProcA(g_next, hwnd, msg, wParam, lParam);
  --g_hotkeyDepth;
  return result;
}

}  // namespace

// Starts watching the program whose main window is `argument`: before its
// first capture and its first sound. Returns 1 when every part is in place.
extern "C" __declspec(dllexport) DWORD WINAPI Watch(LPVOID argument) {
  HWND main = static_cast<HWND>(argument);
  if (g_next) return 1;  // watching already
  g_postHotkeys = ::RegisterWindowMessageA(e2e::kPostHotkeysMessage);
  g_bitBlt = reinterpret_cast<BitBltFn>(
      test_build::RedirectImport("gdi32.dll", "BitBlt", reinterpret_cast<void*>(&WatchingBitBlt)));
  g_getProcAddress = reinterpret_cast<GetProcAddressFn>(
      test_build::RedirectImport("kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(&WatchingGetProcAddress)));
  g_next =
      reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchingWndProc)));
  return g_bitBlt && g_getProcAddress && g_postHotkeys && g_next ? 1 : 0;
}

extern "C" __declspec(dllexport) DWORD WINAPI Captures(LPVOID) {
  return static_cast<DWORD>(g_captures);
}

// The most hotkey messages that were being handled, one inside another,
// when a capture was made: 1 when every hotkey capture ran at the outer
// level; 0 when none ran inside a hotkey message at all.
extern "C" __declspec(dllexport) DWORD WINAPI DeepestCapture(LPVOID) {
  return static_cast<DWORD>(g_deepestCapture);
}

extern "C" __declspec(dllexport) DWORD WINAPI Sounds(LPVOID) {
  return static_cast<DWORD>(g_sounds);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
  return TRUE;
}
