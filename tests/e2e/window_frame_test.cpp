// A capture of a whole window takes the window's visible frame where the
// desktop compositor reports one, and the whole window rectangle where it
// does not. Wine 8 has no compositor that answers (its dwmapi refuses the
// question), so there the whole rectangle must still be captured exactly,
// frame and caption included. Wine 10 composes the desktop and answers
// with the visible frame, so there the compositor's frame is what is
// captured, pixel for pixel, and a maximised window is cut to its monitor.
// The choice itself is covered by the unit tests of the rule.
#include <windows.h>
#include <dwmapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>

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

// The same, seen from outside the program: the compositor asked by the
// driver, and the screen read there.
RECT Intersect(const RECT& a, const RECT& b) {
  RECT r{};
  ::IntersectRect(&r, &a, &b);
  return r;
}

std::string Describe(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

// The screen at `r` once two reads in a row agree (the window's frame has
// been drawn).
Image SettledScreen(const RECT& r) {
  Image shown;
  WaitUntil(
      [&] {
        Image now = GrabScreen(r);
        bool settled = !shown.empty() && CountDifferences(now, shown) == 0;
        shown = std::move(now);
        return settled;
      },
      3000, 50);
  return shown;
}

// Presses Ctrl+F11 and waits for the capture, read back through Copy: a
// picture of the size wanted (the picture area may be smaller).
Image CaptureForeground(App& app, const Image& wanted) {
  SendCtrlKey(VK_F11);
  Image picture;
  WaitUntil(
      [&] {
        EmptyTheClipboard();
        app.Click("Copy");
        if (!app.Sync()) return false;
        picture = ClipboardBitmap();
        return picture.width == wanted.width && picture.height == wanted.height;
      },
      5000, 100);
  return picture;
}

// The compositor's visible frame of a window, as the driver asks for it;
// fails the test when the compositor that should answer does not.
std::optional<RECT> FrameBounds(HWND window) {
  std::optional<Rect> frame = CompositorFrame(window);
  EXPECT_TRUE(frame.has_value()) << EngineName() << " composes the desktop, but its compositor gave no frame";
  if (!frame) return std::nullopt;
  return RECT{frame->left, frame->top, frame->right, frame->bottom};
}

constexpr const char* kNoCompositor =
    " does not compose the desktop: DwmGetWindowAttribute(DWMWA_EXTENDED_FRAME_BOUNDS) answers E_NOTIMPL, so a "
    "window capture takes the whole window rectangle (the test above); Wine 10 answers";

TEST(WindowCapture, CtrlF11TakesTheCompositorsVisibleFramePixelForPixel) {
  if (!ComposesTheDesktop()) GTEST_SKIP() << EngineName() << kNoCompositor;
  App app;
  ::SetWindowPos(app.main(), nullptr, 360, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  app.Sync();
  PatternWindow window(10, 120, 300, 200, 84);
  HWND w = window.hwnd();
  ::SetWindowLongPtrA(w, GWL_STYLE, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  ::SetWindowPos(w, HWND_TOP, 10, 120, 300, 200, SWP_FRAMECHANGED);
  ASSERT_TRUE(BringToFront(w));
  std::optional<RECT> frame = FrameBounds(w);
  ASSERT_TRUE(frame);
  std::printf("window %s, visible frame %s\n", Describe(ScreenRect(w)).c_str(), Describe(*frame).c_str());
  Image expected = SettledScreen(*frame);
  ASSERT_FALSE(expected.empty());

  Image picture = CaptureForeground(app, expected);
  EXPECT_EQ(picture.width, frame->right - frame->left);
  EXPECT_EQ(picture.height, frame->bottom - frame->top);
  EXPECT_EQ(CountDifferences(picture, expected), 0) << "the capture is not the visible frame as it shows";
  if (CountDifferences(picture, expected) != 0) {
    SaveBmp(picture, app.dir() + "\\captured.bmp");
    SaveBmp(expected, app.dir() + "\\expected.bmp");
  }
}

// A maximised window's rectangle overhangs its monitor by its borders; the
// capture is the part on the monitor, which here is the whole screen, as the
// screen shows it. (Wine 10 without a window manager shows a maximised
// window with its frame's corner at the screen's, 4 pixels right of and
// below where it says the window is: what the user sees is still what the
// screen shows, so the screen is the reference, not the window's own idea
// of where its client area is.)
TEST(WindowCapture, CtrlF11CutsAMaximisedWindowToItsMonitor) {
  if (!ComposesTheDesktop()) GTEST_SKIP() << EngineName() << kNoCompositor;
  App app;
  PatternWindow window(40, 60, 300, 200, 85);
  HWND w = window.hwnd();
  ::SetWindowLongPtrA(w, GWL_STYLE, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  ::SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
  ::ShowWindow(w, SW_MAXIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return ::IsZoomed(w) != FALSE; }, 3000));
  ASSERT_TRUE(BringToFront(w));
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ASSERT_TRUE(::GetMonitorInfoA(::MonitorFromWindow(w, MONITOR_DEFAULTTONEAREST), &monitor));
  std::optional<RECT> frame = FrameBounds(w);
  ASSERT_TRUE(frame);
  RECT outer = ScreenRect(w);
  RECT shown = Intersect(*frame, monitor.rcMonitor);
  std::printf("maximised window %s, visible frame %s, monitor %s\n", Describe(outer).c_str(), Describe(*frame).c_str(),
              Describe(monitor.rcMonitor).c_str());
  ASSERT_LT(outer.left, monitor.rcMonitor.left) << "the maximised window does not overhang its monitor";
  Image expected = SettledScreen(shown);
  ASSERT_FALSE(expected.empty());
  // The screen shows the maximised window: its pattern lies within a few
  // pixels of where the window says its client area is.
  POINT client{0, 0};
  ::ClientToScreen(w, &client);
  const Image& pattern = window.expected();
  bool patternShown = false;
  for (int dy = -8; dy <= 8 && !patternShown; ++dy) {
    for (int dx = -8; dx <= 8 && !patternShown; ++dx) {
      int left = client.x - shown.left + dx, top = client.y - shown.top + dy;
      if (left < 0 || top < 0 || left + pattern.width > expected.width || top + pattern.height > expected.height)
        continue;
      long differences = 0;
      for (int y = 0; y < pattern.height && differences == 0; ++y)
        for (int x = 0; x < pattern.width && differences == 0; ++x)
          differences += expected.at(left + x, top + y) != pattern.at(x, y);
      patternShown = differences == 0;
    }
  }
  ASSERT_TRUE(patternShown) << "the screen does not show the maximised window's pattern";

  Image picture = CaptureForeground(app, expected);
  EXPECT_EQ(picture.width, monitor.rcMonitor.right - monitor.rcMonitor.left);
  EXPECT_EQ(picture.height, monitor.rcMonitor.bottom - monitor.rcMonitor.top);
  EXPECT_EQ(CountDifferences(picture, expected), 0) << "the capture is not the monitor as it shows the window";
  if (CountDifferences(picture, expected) != 0) {
    SaveBmp(picture, app.dir() + "\\captured.bmp");
    SaveBmp(expected, app.dir() + "\\expected.bmp");
  }
}

}  // namespace
}  // namespace e2e
