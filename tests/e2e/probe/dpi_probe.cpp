// Loaded into a running Framewick by the end-to-end driver for the display
// scaling tests. Windows sends WM_DPICHANGED itself when a window moves to
// a monitor of another scaling or the scaling changes; Wine never does, so
// the driver plays the system: the message's lParam points to a rectangle,
// which must lie in the program's memory, so it is sent from a thread in
// the program. The fonts a control draws with are GDI objects of the
// program's own, which only the program can read.
#include <windows.h>

#include "dpi_probe.h"

// Sends WM_DPICHANGED as Windows does (the DPI in both words of wParam,
// lParam the suggested rectangle) and waits until the window has handled
// it. Returns 1 once sent.
extern "C" __declspec(dllexport) DWORD WINAPI SendDpiChanged(LPVOID argument) {
  const auto* change = static_cast<const e2e::DpiChange*>(argument);
  RECT suggested = change->suggested;
  DWORD_PTR result = 0;
  LRESULT sent = ::SendMessageTimeoutA(change->window, WM_DPICHANGED, MAKEWPARAM(change->dpi, change->dpi),
                                       reinterpret_cast<LPARAM>(&suggested), SMTO_NORMAL, 15000, &result);
  return sent ? 1 : 0;
}

// The font of the control `argument` (a window handle): its requested
// height (-lfHeight) in the low word, the height of its characters as
// realised (tmHeight less the internal leading) in the high word; 0 when
// the control has no font of its own.
extern "C" __declspec(dllexport) DWORD WINAPI FontHeights(LPVOID argument) {
  HWND control = static_cast<HWND>(argument);
  HFONT font = reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
  LOGFONTA lf{};
  if (!font || ::GetObjectA(font, sizeof lf, &lf) != sizeof lf) return 0;
  HDC screen = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(screen, font);
  TEXTMETRICA tm{};
  long realised = ::GetTextMetricsA(screen, &tm) ? tm.tmHeight - tm.tmInternalLeading : 0;
  ::SelectObject(screen, old);
  ::ReleaseDC(nullptr, screen);
  long requested = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
  return MAKELONG(static_cast<WORD>(requested), static_cast<WORD>(realised));
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
  return TRUE;
}
