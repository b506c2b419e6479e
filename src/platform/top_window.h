// The one shape of the program's top-level windows (the main window, the
// Options dialog, the Version Info window).
//
// A window is a C++ object deriving from TopWindow. Create() registers its
// class (once) and creates the window with the object as its creation
// parameter; the object is bound to the handle at WM_NCCREATE through
// GWLP_USERDATA and unbound at WM_NCDESTROY. Every message then goes
// through one procedure that never lets an exception out, gives the skin
// the first look, and calls the typed On... handler the window overrides.
// What every window does alike is written here once: the keyboard focus
// kept across deactivation, dialog keys (Tab, Enter, Escape), the end of
// the program when the last counted window is destroyed, and display
// scaling: each window knows the DPI it is laid out at (dpi()); when
// Windows says it has changed (WM_DPICHANGED), the window takes the
// rectangle Windows suggests, its controls' fonts are made again at the new
// DPI and OnDpiChanged lays the controls out again.
//
// Adding a handler for another message: declare a virtual On... below with
// a default that changes nothing, add its case to Dispatch() in
// top_window.cpp, and override it where it is needed. A registered message
// (RegisterWindowMessage) goes to OnOtherMessage, but for the shell's
// "TaskbarCreated", which has OnTaskbarCreated.
#pragma once

#include <windows.h>

namespace fw {

// The message a newly started shell (Explorer after a crash or a restart)
// broadcasts to every top-level window, registered as "TaskbarCreated":
// every notification icon is gone. 0 if it could not be registered.
UINT TaskbarCreatedMessage() noexcept;

class TopWindow {
 public:
  TopWindow() = default;
  TopWindow(const TopWindow&) = delete;
  TopWindow& operator=(const TopWindow&) = delete;
  // The object owns its window: a window still open when the object goes is
  // destroyed (without running its handlers).
  virtual ~TopWindow();

  // The window's handle while it exists; null before Create and after the
  // window has been destroyed.
  HWND hwnd() const noexcept { return hwnd_; }
  bool IsLoaded() const noexcept { return hwnd_ != nullptr; }
  // The DPI the window is laid out at: what Windows gave it when it was
  // created, then what the last WM_DPICHANGED said.
  int dpi() const noexcept { return dpi_; }
  // The DPI of the top-level window that holds `window` (or is it): its
  // TopWindow's dpi(), or what Windows gives it when it has no TopWindow.
  static int DpiOf(HWND window);

  // Destroys the window if it exists (WM_DESTROY runs OnDestroy).
  void Destroy() noexcept;

  // Gives the keyboard focus back to the control that had it when the
  // window was last deactivated, or to FirstFocus().
  void RestoreFocus();

 protected:
  // Filled with designated initializers, naming what differs from these.
  struct ClassSpec {
    const char* name = "";
    HBRUSH background = nullptr;
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
  };
  struct WindowSpec {
    DWORD exStyle = 0;
    const char* title = "";
    DWORD style = 0;
    int width = 0;  // pixels; the window is placed later
    int height = 0;
    HWND owner = nullptr;
    // Destroyed with the window once it exists; until then the caller's.
    HMENU menu = nullptr;
    // The program ends when the last window that counts is destroyed.
    bool keepsProgramRunning = false;
  };
  // Registers the class on first use and creates the window, hidden.
  bool Create(const ClassSpec& cls, const WindowSpec& window) noexcept;

  // ---- typed handlers; the defaults change nothing ----
  // WM_COMMAND from a control (code is its notification), a menu (0) or a
  // shortcut key (1).
  virtual void OnCommand(int /*id*/, int /*code*/) {}
  virtual void OnSize() {}
  virtual void OnTimer(UINT_PTR /*id*/) {}
  // WM_CLOSE (the close box, Alt+F4, a close from code). The default
  // destroys the window.
  virtual void OnClose() { Destroy(); }
  // WM_DESTROY: the window and its controls still exist.
  virtual void OnDestroy() {}
  // WM_QUERYENDSESSION: the user is logging off or the system shutting down
  // (`reasons`: the ENDSESSION_ flags). True lets the session end, as the
  // default does.
  virtual bool OnQueryEndSession(LPARAM /*reasons*/) { return true; }
  // WM_ENDSESSION: whether the session really ends after the question.
  virtual void OnEndSession(bool /*ending*/, LPARAM /*reasons*/) {}
  // The shell has (re)started: notification icons must be added again.
  virtual void OnTaskbarCreated() {}
  // The window's DPI has changed to dpi(): it has taken the rectangle
  // Windows suggested and its controls their fonts at the new DPI; the
  // controls must be placed again.
  virtual void OnDpiChanged() {}
  // Owner-drawn controls; true when the window drew or measured the item.
  virtual bool OnMeasureItem(MEASUREITEMSTRUCT& /*item*/) { return false; }
  virtual bool OnDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
  // Any message without a typed handler of its own (registered messages
  // included). Return true with `result` set when handled.
  virtual bool OnOtherMessage(UINT /*msg*/, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT& /*result*/) { return false; }

  // ---- keyboard ----
  // The control that takes the focus when none had it before.
  virtual HWND FirstFocus() const { return nullptr; }
  // The button Enter presses (DM_GETDEFID); 0 for none.
  virtual int DefaultButtonId() const { return 0; }
  // Sees every key message meant for this window or one of its controls
  // before it is dispatched; true when it was handled. The default gives
  // dialog keys: Tab and Shift+Tab, the arrows within a group, Enter (the
  // default button), Escape (IDCANCEL) and access keys.
  virtual bool PreTranslateMessage(MSG& msg);

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  static bool RouteKeyMessage(MSG& msg);
  LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
  void OnActivate(WPARAM wParam);
  void ChangeDpi(int dpi, const RECT* suggested);

  HWND hwnd_ = nullptr;
  int dpi_ = 0;
  HWND lastFocus_ = nullptr;  // the control to give the focus back to
  bool keepsProgramRunning_ = false;
};

}  // namespace fw
