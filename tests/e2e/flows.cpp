#include "flows.h"

#include <string>

#include "options_access.h"

namespace e2e {

long PatternDifferences(const Image& shown, const PatternWindow& pattern) {
  const Image& expected = pattern.expected();
  int h = expected.height - pattern.band();
  if (shown.width < expected.width || shown.height < h) return -1;
  long diff = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < expected.width; ++x) diff += shown.at(x, y) != expected.at(x, y);
  return diff;
}

bool CaptureScreenWithPattern(App& app, PatternWindow& pattern) {
  RECT p = ScreenRect(pattern.hwnd());
  ::SetWindowPos(app.main(), nullptr, p.right + 10, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  app.Shortcut('S');
  Image last;
  bool ok = WaitUntil(
      [&] {
        last = app.PictureArea();
        return PatternDifferences(last, pattern) == 0;
      },
      6000, 50);
  if (!ok) {
    static int n = 0;
    SaveBmp(last, app.dir() + "\\capture-failed-" + std::to_string(++n) + ".bmp");
    SaveBmp(GrabScreen(RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}),
            app.dir() + "\\screen-" + std::to_string(n) + ".bmp");
  }
  return ok;
}

bool WaitFirstCaptureTaken(App& app) {
  return WaitUntil([&] { return OptionsWindow(app) != nullptr; }, kButtonCaptureLimitMs);
}

void Restore(App& app) {
  ::ShowWindow(app.main(), SW_RESTORE);
  WaitUntil([&] { return !::IsIconic(app.main()); }, 3000);
  BringToFront(app.main());
  app.Sync();
}

HWND OpenVersionInfo(App& app) {
  app.Menu(kMenuVersion);
  HWND about = nullptr;
  WaitUntil(
      [&] {
        about = FindTopLevel(app.pid(), kAboutClass, nullptr, true);
        return about != nullptr;
      },
      5000);
  app.Sync();
  return about;
}

bool AreaBlank(App& app) {
  Image a = app.PictureArea();
  if (a.empty()) return false;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x)
      if (a.at(x, y) != 0xFFFFFF) return false;
  return true;
}

bool ScreenButtonCapture(App& app) {
  // A known picture at the screen's top-left, the program clear of it.
  PatternWindow pattern(0, 0, 160, 100, 97);
  RECT p = ScreenRect(pattern.hwnd());
  ::SetWindowPos(app.main(), nullptr, p.right + 10, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  bool first = OptionsWindow(app) == nullptr;
  app.Click("Screen");
  auto notice = WaitForDialog(app.pid(), 5000);
  if (!notice) return false;
  PressDialogButton(notice->hwnd, IDOK);
  if (!WaitUntil([&] { return ::IsIconic(app.main()) != FALSE; }, 3000)) return false;
  // The window stays minimised until the first capture has been taken; a
  // later one shows only in the picture, so the window comes back at once
  // (clear of the pattern) and the picture is waited for.
  if (first && !WaitFirstCaptureTaken(app)) return false;
  Restore(app);
  return WaitUntil([&] { return PatternDifferences(app.PictureArea(), pattern) == 0; }, kButtonCaptureLimitMs, 50);
}

std::string SettingsLine(int state1, int state2, const std::string& dir) {
  return std::to_string(state1) + "," + std::to_string(state2) + ",\"" + dir + "\"\r\n";
}

std::vector<std::string> SaveLeftovers(const std::string& dir) {
  std::vector<std::string> out;
  for (const auto& f : ListDir(dir))
    if (f.rfind("fw~", 0) == 0 || f.find(".tmp") != std::string::npos) out.push_back(f);
  return out;
}

bool PasteADrawing(App& app) {
  HDC ref = ::GetDC(nullptr);
  RECT frame{0, 0, 2540, 1270};  // in hundredths of a millimetre
  HDC mf = ::CreateEnhMetaFileA(ref, nullptr, &frame, nullptr);
  ::ReleaseDC(nullptr, ref);
  ::Rectangle(mf, 5, 5, 60, 30);
  HENHMETAFILE emf = ::CloseEnhMetaFile(mf);
  if (!::OpenClipboard(nullptr)) {
    ::DeleteEnhMetaFile(emf);
    return false;
  }
  ::EmptyClipboard();
  if (!::SetClipboardData(CF_ENHMETAFILE, emf)) ::DeleteEnhMetaFile(emf);
  ::CloseClipboard();
  app.Click("Paste");
  return app.Sync();
}

Image CopiedPicture(App& app) {
  EmptyTheClipboard();
  app.Click("Copy");
  Image copied;
  WaitUntil(
      [&] {
        copied = ClipboardBitmap();
        return !copied.empty();
      },
      5000);
  return copied;
}

}  // namespace e2e
