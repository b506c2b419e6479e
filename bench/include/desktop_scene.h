// A desktop to capture: a window over the whole screen that shows what a
// user's screen shows (windows with title bars and lines of text, buttons,
// photographs), so that the times and sizes of compressed captures are
// those of a screenshot rather than of an empty black screen. The same
// scene on every run (a fixed sequence of sizes and places).
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "resource_ids.h"

namespace bench {

class DesktopScene {
 public:
  DesktopScene() {
    int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    HDC screen = ::GetDC(nullptr);
    dc_ = ::CreateCompatibleDC(screen);
    bitmap_ = ::CreateCompatibleBitmap(screen, w, h);
    ::ReleaseDC(nullptr, screen);
    old_ = ::SelectObject(dc_, bitmap_);
    Paint(w, h);

    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "FwBenchDesktop";
    ::RegisterClassA(&wc);
    hwnd_ = ::CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "Desktop", WS_POPUP, 0, 0, w, h, nullptr, nullptr,
                              wc.hInstance, nullptr);
    ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(dc_));
    ::ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    ::UpdateWindow(hwnd_);
    Pump();
  }
  ~DesktopScene() {
    if (hwnd_) ::DestroyWindow(hwnd_);
    ::SelectObject(dc_, old_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(dc_);
  }
  DesktopScene(const DesktopScene&) = delete;
  DesktopScene& operator=(const DesktopScene&) = delete;

  static void Pump() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd, &ps);
      HDC scene = reinterpret_cast<HDC>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
      if (scene) {
        ::BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
                 ps.rcPaint.bottom - ps.rcPaint.top, scene, ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
      }
      ::EndPaint(hwnd, &ps);
      return 0;
    }
    if (msg == WM_ERASEBKGND) return 1;
    return ::DefWindowProcA(hwnd, msg, wp, lp);
  }

  unsigned Next() {
    seed_ = seed_ * 1103515245u + 12345u;
    return (seed_ >> 8) & 0xFFFFFF;
  }

  void Fill(int l, int t, int r, int b, COLORREF colour) {
    HBRUSH brush = ::CreateSolidBrush(colour);
    RECT rc{l, t, r, b};
    ::FillRect(dc_, &rc, brush);
    ::DeleteObject(brush);
  }

  void Paint(int w, int h) {
    // The background: a gradient, as wallpapers go.
    for (int y = 0; y < h; y += 4) Fill(0, y, w, y + 4, RGB(20, 60 + 80 * y / h, 110 + 60 * y / h));
    HBITMAP photo = static_cast<HBITMAP>(
        ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_SAMPLE_PHOTO), IMAGE_BITMAP, 0, 0, 0));
    HDC photoDc = ::CreateCompatibleDC(dc_);
    HGDIOBJ oldPhoto = photo ? ::SelectObject(photoDc, photo) : nullptr;
    HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    HGDIOBJ oldFont = ::SelectObject(dc_, font);
    ::SetBkMode(dc_, TRANSPARENT);
    static const char* const kLines[] = {
        "The quick brown fox jumps over the lazy dog. 0123456789",
        "File  Edit  View  Insert  Format  Tools  Window  Help",
        "Build succeeded: 0 errors, 0 warnings (elapsed 00:00:12.48)",
        "Subject: Re: the figures for the third quarter are attached",
        "int main(int argc, char** argv) { return Run(argc, argv); }",
        "C:\\Users\\Public\\Documents\\Reports\\2024\\summary-final.docx",
    };
    int windows = std::max(6, w * h / (420 * 300));
    for (int i = 0; i < windows; ++i) {
      int ww = 320 + static_cast<int>(Next() % 420), wh = 220 + static_cast<int>(Next() % 300);
      int x = static_cast<int>(Next() % static_cast<unsigned>(std::max(1, w - ww / 2))) - ww / 4;
      int y = static_cast<int>(Next() % static_cast<unsigned>(std::max(1, h - wh / 2))) - wh / 4;
      Fill(x - 1, y - 1, x + ww + 1, y + wh + 1, RGB(90, 90, 90));
      Fill(x, y, x + ww, y + 24, RGB(0, 84, 166));
      Fill(x, y + 24, x + ww, y + wh, RGB(240, 240, 240));
      ::SetTextColor(dc_, RGB(255, 255, 255));
      char title[64];
      std::snprintf(title, sizeof title, "Document %d - Editor", i + 1);
      ::TextOutA(dc_, x + 8, y + 5, title, static_cast<int>(std::strlen(title)));
      if (photo && i % 3 == 0) {
        ::BitBlt(dc_, x + 10, y + 34, std::min(350, ww - 20), std::min(290, wh - 44), photoDc, 0, 0, SRCCOPY);
        continue;
      }
      ::SetTextColor(dc_, RGB(20, 20, 20));
      for (int line = 0; y + 34 + line * 16 < y + wh - 40; ++line) {
        const char* text = kLines[(i + line) % 6];
        ::TextOutA(dc_, x + 10, y + 34 + line * 16, text, static_cast<int>(std::strlen(text)));
      }
      Fill(x + ww - 170, y + wh - 34, x + ww - 95, y + wh - 10, RGB(225, 225, 225));
      Fill(x + ww - 85, y + wh - 34, x + ww - 10, y + wh - 10, RGB(225, 225, 225));
      ::TextOutA(dc_, x + ww - 148, y + wh - 29, "OK", 2);
      ::TextOutA(dc_, x + ww - 70, y + wh - 29, "Cancel", 6);
    }
    ::SelectObject(dc_, oldFont);
    if (oldPhoto) ::SelectObject(photoDc, oldPhoto);
    ::DeleteDC(photoDc);
    if (photo) ::DeleteObject(photo);
  }

  HWND hwnd_ = nullptr;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  unsigned seed_ = 20240611u;
};

}  // namespace bench
