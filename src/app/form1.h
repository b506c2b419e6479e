// The main window: its controls, its menus, its load, resize and unload
// handling, and the exit commands.
#pragma once

#include <windows.h>

#include "control_ids.h"
#include "platform/picture.h"

namespace fw {

// Menu item identifiers of the main window.
using ids::kMenuNew, ids::kMenuExit, ids::kMenuCaptureScreen, ids::kMenuCaptureForm, ids::kMenuCaptureClient,
    ids::kMenuCaptureWindow, ids::kMenuClearPicture, ids::kMenuOptions, ids::kMenuConfigureKeys, ids::kMenuHelp,
    ids::kMenuVersion;
using ids::MenuId;

// Window states of the main window.
enum class WindowState { Normal = 0, Minimised = 1 };

class MainWindow {
 public:
  HWND hwnd() const { return hwnd_; }
  HWND picture1() const { return picture1_; }
  HWND picture2() const { return picture2_; }
  HWND image1() const { return image1_; }
  HWND command13() const { return command13_; }
  HMENU fileMenu() const { return fileMenu_; }
  HICON icon() const { return icon_; }

  // The picture area's picture.
  Picture GetPicture() const;
  void SetPicture(Picture picture);
  // Puts a new capture in the picture area. The old picture is let go
  // before the capture is taken, so two screen-sized bitmaps are never held
  // at once (nothing is drawn in between).
  void SetPictureFrom(Picture (*capture)());

  WindowState GetWindowState() const;
  void SetWindowState(WindowState state);
  // Makes the window visible (a hidden window comes back in its last state).
  void Show();
  void Hide();
  // Closes the window as its close box does (the unload handling runs).
  void Close();

  // Creates the window, hidden, with its controls and menus.
  bool Create(HINSTANCE instance);

 private:
  friend LRESULT CALLBACK Form1Proc(HWND, UINT, WPARAM, LPARAM);
  HWND hwnd_ = nullptr;
  HWND picture1_ = nullptr;
  HWND picture2_ = nullptr;
  HWND image1_ = nullptr;
  HWND command13_ = nullptr;
  HMENU fileMenu_ = nullptr;
  HICON icon_ = nullptr;
};

// The one main window.
MainWindow& Form1();

// The load handler; false means that the program must end at once.
bool Form_Load();
void Form_Resize();
// Returns true when the close should go ahead.
bool Form_Unload();

void exity_Click();
void Command12_Click();

}  // namespace fw
