// What the features may ask of the main window: its handle, its icon and
// File menu, the picture area and Image1, its window state, showing and
// hiding it. The main window (app/form1.*) implements this and hands it to
// the features; they never see the window class itself.
#pragma once

#include <windows.h>

#include "platform/picture.h"

namespace fw {

// Window states of the main window.
enum class WindowState { Normal = 0, Minimised = 1 };

class MainWindow {
 public:
  // The window's handle: the owner of the dialogs, the clipboard and the
  // hotkeys; null once the window has closed.
  virtual HWND hwnd() const = 0;
  // Its own 48 x 48 icon (the notification icon, the Version Info window).
  virtual HICON icon() const = 0;
  // The "File" menu (popped up by the notification icon).
  virtual HMENU fileMenu() const = 0;
  // The image control Image1 inside the picture area.
  virtual HWND image1() const = 0;

  // The picture area's picture.
  virtual Picture GetPicture() const = 0;
  virtual void SetPicture(Picture picture) = 0;

  // True once the window is closing for good (Exit, its close box, the end
  // of the session) or has closed. A handler that let other handlers run
  // inside it (a wait that processes events, a message box) stops when it
  // finds this: it captures, saves, types and loads nothing more.
  virtual bool Closing() const = 0;

  virtual WindowState GetWindowState() const = 0;
  virtual void SetWindowState(WindowState state) = 0;
  // Makes the window visible (a hidden window comes back in its last state).
  virtual void Show() = 0;
  virtual void Hide() = 0;

 protected:
  ~MainWindow() = default;
};

}  // namespace fw
