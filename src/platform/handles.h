// RAII owners for the Win32 handles the program uses. Every GDI, USER,
// kernel and registry handle the program obtains is held by one of these, so
// each is released exactly once, on every path.
#pragma once

#include <windows.h>

#include <utility>

namespace fw {

// A move-only owner of one handle; Traits supplies the null value and the
// release function.
template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() noexcept = default;
  explicit UniqueHandle(Handle h) noexcept : h_(h) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& o) noexcept : h_(o.release()) {}
  UniqueHandle& operator=(UniqueHandle&& o) noexcept {
    if (this != &o) reset(o.release());
    return *this;
  }
  ~UniqueHandle() { reset(); }

  Handle get() const noexcept { return h_; }
  explicit operator bool() const noexcept { return h_ != Traits::null(); }
  Handle release() noexcept { return std::exchange(h_, Traits::null()); }
  void reset(Handle h = Traits::null()) noexcept {
    Handle old = std::exchange(h_, h);
    if (old != Traits::null()) Traits::close(old);
  }

 private:
  Handle h_ = Traits::null();
};

template <typename H, auto Close>
struct SimpleTraits {
  using Handle = H;
  static constexpr H null() noexcept { return nullptr; }
  static void close(H h) noexcept { Close(h); }
};

inline void DeleteGdiObject(HGDIOBJ h) noexcept {
  ::DeleteObject(h);
}

using UniqueBitmap = UniqueHandle<SimpleTraits<HBITMAP, DeleteGdiObject>>;
using UniquePalette = UniqueHandle<SimpleTraits<HPALETTE, DeleteGdiObject>>;
using UniqueFont = UniqueHandle<SimpleTraits<HFONT, DeleteGdiObject>>;
using UniqueBrush = UniqueHandle<SimpleTraits<HBRUSH, DeleteGdiObject>>;
using UniquePen = UniqueHandle<SimpleTraits<HPEN, DeleteGdiObject>>;
using UniqueRgn = UniqueHandle<SimpleTraits<HRGN, DeleteGdiObject>>;
using UniqueMemDC = UniqueHandle<SimpleTraits<HDC, ::DeleteDC>>;
// A device context made by CreateDC (a printer's).
using UniqueDC = UniqueHandle<SimpleTraits<HDC, ::DeleteDC>>;
using UniqueIcon = UniqueHandle<SimpleTraits<HICON, ::DestroyIcon>>;
using UniqueMenu = UniqueHandle<SimpleTraits<HMENU, ::DestroyMenu>>;
using UniqueAccel = UniqueHandle<SimpleTraits<HACCEL, ::DestroyAcceleratorTable>>;
using UniqueEnhMetafile = UniqueHandle<SimpleTraits<HENHMETAFILE, ::DeleteEnhMetaFile>>;
using UniqueMetafile = UniqueHandle<SimpleTraits<HMETAFILE, ::DeleteMetaFile>>;
using UniqueGlobal = UniqueHandle<SimpleTraits<HGLOBAL, ::GlobalFree>>;
using UniqueHKey = UniqueHandle<SimpleTraits<HKEY, ::RegCloseKey>>;

inline void DestroyWindowIfAlive(HWND h) noexcept {
  if (::IsWindow(h)) ::DestroyWindow(h);
}
// A window the program created and destroys itself (not one that a parent
// destroys with its children).
using UniqueWindow = UniqueHandle<SimpleTraits<HWND, DestroyWindowIfAlive>>;

inline void CloseKernelHandle(HANDLE h) noexcept {
  ::CloseHandle(h);
}
using UniqueKernelHandle = UniqueHandle<SimpleTraits<HANDLE, CloseKernelHandle>>;

struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle null() noexcept { return INVALID_HANDLE_VALUE; }
  static void close(Handle h) noexcept { ::CloseHandle(h); }
};
using UniqueFile = UniqueHandle<FileHandleTraits>;

struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle null() noexcept { return INVALID_HANDLE_VALUE; }
  static void close(Handle h) noexcept { ::FindClose(h); }
};
using UniqueFind = UniqueHandle<FindHandleTraits>;

// A device context obtained from GetDC or GetWindowDC, given back to its
// window with ReleaseDC.
class WindowDC {
 public:
  enum class Area { Client, Whole };
  WindowDC(HWND hwnd, Area area) noexcept
      : hwnd_(hwnd), dc_(area == Area::Client ? ::GetDC(hwnd) : ::GetWindowDC(hwnd)) {}
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  ~WindowDC() {
    if (dc_) ::ReleaseDC(hwnd_, dc_);
  }
  HDC get() const noexcept { return dc_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// The device context of a window between BeginPaint and EndPaint.
class PaintDC {
 public:
  explicit PaintDC(HWND hwnd) noexcept : hwnd_(hwnd) { dc_ = ::BeginPaint(hwnd, &ps_); }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  ~PaintDC() { ::EndPaint(hwnd_, &ps_); }
  HDC get() const noexcept { return dc_; }
  const PAINTSTRUCT& paint() const noexcept { return ps_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// Selects an object into a DC for the guard's lifetime and selects the
// previous one back afterwards.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), old_(dc && obj ? ::SelectObject(dc, obj) : nullptr) {}
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;
  ~SelectGuard() {
    if (old_) ::SelectObject(dc_, old_);
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// Selects a palette into a DC (foreground) and realises it; restores the
// previous palette afterwards.
class PaletteGuard {
 public:
  PaletteGuard(HDC dc, HPALETTE pal) noexcept : dc_(dc) {
    if (dc && pal) {
      old_ = ::SelectPalette(dc, pal, FALSE);
      ::RealizePalette(dc);
    }
  }
  PaletteGuard(const PaletteGuard&) = delete;
  PaletteGuard& operator=(const PaletteGuard&) = delete;
  ~PaletteGuard() {
    if (old_) ::SelectPalette(dc_, old_, FALSE);
  }

 private:
  HDC dc_;
  HPALETTE old_ = nullptr;
};

// Locks a global memory block for the guard's lifetime.
template <typename T>
class GlobalLock {
 public:
  explicit GlobalLock(HGLOBAL h) noexcept : h_(h), p_(h ? static_cast<T*>(::GlobalLock(h)) : nullptr) {}
  GlobalLock(const GlobalLock&) = delete;
  GlobalLock& operator=(const GlobalLock&) = delete;
  ~GlobalLock() {
    if (p_) ::GlobalUnlock(h_);
  }
  T* get() const noexcept { return p_; }
  SIZE_T size() const noexcept { return h_ ? ::GlobalSize(h_) : 0; }

 private:
  HGLOBAL h_;
  T* p_;
};

// One print job with one page on a printer DC: started by Start, sent by
// Finish; a job still open when the guard goes is withdrawn (AbortDoc), so
// a failure never leaves a half-printed job behind. The DC must outlive it.
class PrintDocument {
 public:
  PrintDocument() noexcept = default;
  PrintDocument(const PrintDocument&) = delete;
  PrintDocument& operator=(const PrintDocument&) = delete;
  ~PrintDocument() { Abort(); }

  bool started() const noexcept { return dc_ != nullptr; }
  bool Start(HDC dc, const char* name) noexcept {
    DOCINFOA info{};
    info.cbSize = sizeof info;
    info.lpszDocName = name;
    if (::StartDocA(dc, &info) <= 0) return false;
    dc_ = dc;
    if (::StartPage(dc) <= 0) {
      Abort();
      return false;
    }
    return true;
  }
  // Ends the page and the document; on failure the job is withdrawn.
  bool Finish() noexcept {
    if (!dc_) return false;
    if (::EndPage(dc_) <= 0) {
      Abort();
      return false;
    }
    HDC dc = std::exchange(dc_, nullptr);
    if (::EndDoc(dc) <= 0) {
      ::AbortDoc(dc);
      return false;
    }
    return true;
  }
  void Abort() noexcept {
    if (HDC dc = std::exchange(dc_, nullptr)) ::AbortDoc(dc);
  }

 private:
  HDC dc_ = nullptr;
};

// Holds the clipboard open for the guard's lifetime.
class ClipboardSession {
 public:
  explicit ClipboardSession(HWND owner) noexcept {
    // Another program may hold the clipboard for a moment; try a few times.
    for (int i = 0; i < 10 && !open_; ++i) {
      open_ = ::OpenClipboard(owner) != FALSE;
      if (!open_) ::Sleep(10);
    }
  }
  ClipboardSession(const ClipboardSession&) = delete;
  ClipboardSession& operator=(const ClipboardSession&) = delete;
  ~ClipboardSession() {
    if (open_) ::CloseClipboard();
  }
  explicit operator bool() const noexcept { return open_; }

 private:
  bool open_ = false;
};

}  // namespace fw
