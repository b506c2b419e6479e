#include "flows.h"

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
  return WaitUntil([&] { return PatternDifferences(app.PictureArea(), pattern) == 0; }, 4000, 50);
}

void Restore(App& app) {
  ::ShowWindow(app.main(), SW_RESTORE);
  WaitUntil([&] { return !::IsIconic(app.main()); }, 3000);
  BringToFront(app.main());
  app.Sync();
}

bool ScreenButtonCapture(App& app) {
  app.Click("Screen");
  auto notice = WaitForDialog(app.pid(), 5000);
  if (!notice) return false;
  PressDialogButton(notice->hwnd, IDOK);
  if (!WaitUntil([&] { return ::IsIconic(app.main()) != FALSE; }, 3000)) return false;
  Sleep(3300);  // the 2-second delay ends within 3 seconds
  Restore(app);
  return true;
}

}  // namespace e2e
