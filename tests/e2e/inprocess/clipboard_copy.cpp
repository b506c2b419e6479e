// Runs the program's Copy in a process of its own, where the failures that
// no user can bring about on purpose can be: the program's GDI objects used
// up (the copy of the picture cannot be made), and an owner window that is
// not the program's. Either way the user's clipboard must stay as it was:
// everything is made ready before the clipboard is emptied. Prints one
// line per check and exits with the number of failed checks.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "image/clipboard.h"
#include "platform/handles.h"
#include "platform/picture.h"

namespace {

int g_failed = 0;

void Check(bool ok, const char* what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
  std::fflush(stdout);
  if (!ok) ++g_failed;
}

bool PutText(const char* text) {
  if (!::OpenClipboard(nullptr)) return false;
  ::EmptyClipboard();
  std::size_t n = std::strlen(text) + 1;
  HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, n);
  bool ok = false;
  if (mem) {
    std::memcpy(::GlobalLock(mem), text, n);
    ::GlobalUnlock(mem);
    ok = ::SetClipboardData(CF_TEXT, mem) != nullptr;
    if (!ok) ::GlobalFree(mem);
  }
  ::CloseClipboard();
  return ok;
}

bool HasFormat(UINT format) {
  return ::IsClipboardFormatAvailable(format) != FALSE;
}

// A 64 x 48 screen bitmap in one colour.
fw::Picture MakePicture() {
  HDC screen = ::GetDC(nullptr);
  fw::UniqueBitmap bmp(::CreateCompatibleBitmap(screen, 64, 48));
  HDC mem = ::CreateCompatibleDC(screen);
  HGDIOBJ old = ::SelectObject(mem, bmp.get());
  RECT r{0, 0, 64, 48};
  HBRUSH brush = ::CreateSolidBrush(RGB(200, 30, 90));
  ::FillRect(mem, &r, brush);
  ::DeleteObject(brush);
  ::SelectObject(mem, old);
  ::DeleteDC(mem);
  ::ReleaseDC(nullptr, screen);
  return fw::Picture::FromBitmap(std::move(bmp), fw::UniquePalette());
}

}  // namespace

int main() {
  HWND owner = ::CreateWindowExA(0, "STATIC", "clipboard owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 ::GetModuleHandleA(nullptr), nullptr);
  fw::Picture picture = MakePicture();
  Check(owner != nullptr && picture.HasImage(), "a window and a picture to copy");

  // The program's GDI objects used up: the copy cannot be made.
  Check(PutText("the user's text"), "text on the clipboard");
  std::vector<HBRUSH> brushes;
  while (brushes.size() < 200000) {
    HBRUSH b = ::CreateSolidBrush(RGB(brushes.size() & 0xFF, 0, 0));
    if (!b) break;
    brushes.push_back(b);
  }
  std::printf("     %zu brushes made the GDI objects run out\n", brushes.size());
  Check(brushes.size() < 200000, "the GDI objects ran out");
  bool copied = fw::PutPictureOnClipboard(owner, picture);
  for (HBRUSH b : brushes) ::DeleteObject(b);
  Check(!copied, "no copy without GDI objects");
  Check(HasFormat(CF_TEXT) && !HasFormat(CF_BITMAP), "the user's text is still on the clipboard");

  // An owner that is not a window of this thread: the data could not be
  // handed over once the clipboard was emptied.
  Check(!fw::PutPictureOnClipboard(nullptr, picture), "no copy without an owner window");
  Check(!fw::PutPictureOnClipboard(::GetDesktopWindow(), picture), "no copy with another thread's window as owner");
  Check(HasFormat(CF_TEXT) && !HasFormat(CF_BITMAP), "the user's text is still on the clipboard");

  // With what it needs, the copy replaces the text.
  Check(fw::PutPictureOnClipboard(owner, picture), "the copy is made");
  Check(HasFormat(CF_BITMAP) && !HasFormat(CF_TEXT), "the clipboard holds the picture");

  ::DestroyWindow(owner);
  std::printf("result %d failed\n", g_failed);
  return g_failed;
}
