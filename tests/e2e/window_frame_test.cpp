// A capture of a whole window takes the window's visible frame where the
// desktop compositor reports one, and the whole window rectangle where it
// does not. Wine has no compositor that answers (its dwmapi refuses the
// question), so here the whole rectangle must still be captured exactly,
// frame and caption included; the choice itself is covered by the unit
// tests of the rule.
#include <windows.h>
#include <dwmapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>

#include "capture/window_area_rules.h"
#include "harness.h"

namespace e2e {
namespace {

using fw::capture::CaptureArea;
using Rect = fw::capture::ScreenRect;

Rect FromRect(const RECT& r) {
  return Rect{r.left, r.top, r.right, r.bottom};
}

// What this system's compositor says of the window's visible frame.
std::optional<Rect> CompositorFrame(HWND window) {
  using Fn = HRESULT WINAPI(HWND, DWORD, PVOID, DWORD);
  HMODULE dwm = ::LoadLibraryA("dwmapi.dll");
  auto* get =
      dwm ? reinterpret_cast<Fn*>(reinterpret_cast<void*>(::GetProcAddress(dwm, "DwmGetWindowAttribute"))) : nullptr;
  RECT frame{};
  HRESULT hr = get ? get(window, DWMWA_EXTENDED_FRAME_BOUNDS, &frame, sizeof frame) : E_NOTIMPL;
  std::printf("DwmGetWindowAttribute(DWMWA_EXTENDED_FRAME_BOUNDS) here: %s, 0x%08lX\n", get ? "present" : "missing",
              static_cast<unsigned long>(hr));
  if (dwm) ::FreeLibrary(dwm);
  if (FAILED(hr)) return std::nullopt;
  return FromRect(frame);
}

bool White(const Image& img, int x0, int y0, int x1, int y1) {
  for (int y = y0; y < y1 && y < img.height; ++y)
    for (int x = x0; x < x1 && x < img.width; ++x)
      if (img.at(x, y) != 0xFFFFFF) return false;
  return true;
}

TEST(WindowCapture, CtrlF11TakesAFramedWindowExactlyAsTheRuleChoosesIt) {
  App app;
  ::SetWindowPos(app.main(), nullptr, 360, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  app.Sync();

  // A window with a caption and a sizing frame in front of the program.
  PatternWindow window(10, 120, 300, 200, 83);
  HWND w = window.hwnd();
  ::SetWindowLongPtrA(w, GWL_STYLE, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  ::SetWindowPos(w, HWND_TOP, 10, 120, 300, 200, SWP_FRAMECHANGED);
  ASSERT_TRUE(BringToFront(w));
  RECT outer = ScreenRect(w);

  CaptureArea area = fw::capture::WindowCaptureArea(FromRect(outer), CompositorFrame(w), false, Rect{});
  RECT shown{outer.left + area.left, outer.top + area.top, outer.left + area.left + area.width,
             outer.top + area.top + area.height};
  // The window as it shows, once its frame has been drawn.
  Image expected;
  ASSERT_TRUE(WaitUntil(
      [&] {
        Image now = GrabScreen(shown);
        bool settled = !expected.empty() && CountDifferences(now, expected) == 0;
        expected = now;
        return settled;
      },
      3000, 50));

  SendCtrlKey(VK_F11);
  Image picture;
  bool same = WaitUntil(
      [&] {
        picture = app.PictureArea();
        return TopLeftDifferences(picture, expected) == 0;
      },
      5000, 50);
  EXPECT_TRUE(same) << "the capture is not the window as it shows";
  // Not a pixel more: beside and below it the picture area is empty.
  EXPECT_TRUE(White(picture, expected.width, 0, expected.width + 4, expected.height + 4));
  EXPECT_TRUE(White(picture, 0, expected.height, expected.width + 4, expected.height + 4));
  if (!same) {
    SaveBmp(picture, app.dir() + "\\shown.bmp");
    SaveBmp(expected, app.dir() + "\\expected.bmp");
  }
}

}  // namespace
}  // namespace e2e
