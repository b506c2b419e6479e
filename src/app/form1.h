// The main window Form1: its controls, its menus and shortcut keys, its
// load, resize and unload handling, and the exit commands. It is the
// MainWindow the features are handed, and it runs their handlers for its
// buttons and menu items (form1_commands.cpp).
#pragma once

#include <windows.h>

#include <vector>

#include "about/about.h"
#include "capture/capture_context.h"
#include "output/options_dialog.h"
#include "platform/handles.h"
#include "platform/top_window.h"
#include "program/main_window.h"
#include "program/shared_state.h"

namespace fw {

class Form1 final : public TopWindow, public MainWindow {
 public:
  // The state and the other two windows are the program's (app/program.h).
  Form1(SharedState& state, Form4& form4, FrmAbout& frmAbout)
      : state_(state), form4_(form4), frmAbout_(frmAbout), capture_{*this, state, form4} {}

  // Creates the window, hidden, with its controls and menus.
  bool Create(HINSTANCE instance);

  // MainWindow
  HWND hwnd() const override { return TopWindow::hwnd(); }
  HICON icon() const override { return bigIcon_.get(); }
  HMENU fileMenu() const override { return fileMenu_; }
  HWND image1() const override { return image1_; }
  Picture GetPicture() const override;
  void SetPicture(Picture picture) override;
  bool Closing() const override { return closing_ || !hwnd(); }
  WindowState GetWindowState() const override;
  void SetWindowState(WindowState state) override;
  void Show() override;
  void Hide() override;

  HWND picture1() const { return picture1_; }
  // What the captures (and the hotkeys) are handed.
  const CaptureContext& capturing() const { return capture_; }
  // Closes the window as its close box does (the unload handling runs).
  void Close();

  // The load handler; false means that the program must end at once.
  bool Form_Load();
  void Form_Resize();
  // Returns true when the close should go ahead.
  bool Form_Unload();
  void exity_Click();
  void Command12_Click();

 private:
  // TopWindow
  void OnCommand(int id, int code) override;  // form1_commands.cpp
  void OnSize() override { Form_Resize(); }
  void OnTimer(UINT_PTR id) override;
  void OnClose() override;
  bool OnOtherMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  // Logoff and shutdown, the shell's restart (form1_session.cpp).
  bool OnQueryEndSession(LPARAM reasons) override;
  void OnEndSession(bool ending, LPARAM reasons) override;
  void OnTaskbarCreated() override;
  void OnDpiChanged() override;
  HWND FirstFocus() const override;
  bool PreTranslateMessage(MSG& msg) override;

  bool CreateFrame(HINSTANCE instance);
  HWND CreateTooltips(HINSTANCE instance);
  void CreateStrip(HWND tips);
  void CreatePictureArea(HWND tips);
  void CutStripToPictureArea();
  void MoveFocusAlongTabOrder(bool back);

  SharedState& state_;
  Form4& form4_;
  FrmAbout& frmAbout_;
  CaptureContext capture_;

  UniqueIcon bigIcon_;
  UniqueIcon smallIcon_;
  UniqueAccel shortcuts_;
  HMENU fileMenu_ = nullptr;  // owned by the window's menu bar
  HWND picture1_ = nullptr;
  HWND picture2_ = nullptr;
  HWND image1_ = nullptr;
  HWND command13_ = nullptr;
  std::vector<HWND> tabOrder_;  // the strip's buttons, then Command13
  bool closing_ = false;
};

}  // namespace fw
