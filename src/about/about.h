// The help page and the Version Info window (frmAbout) with its System
// Information button.
#pragma once

#include <windows.h>

#include <string>

#include "platform/top_window.h"
#include "program/main_window.h"

namespace fw {

// The Version Info window. There is at most one, independent of the main
// window: closing the main window leaves it open, and the program runs on
// until it is closed too. The object owns the window while it is loaded.
class FrmAbout final : public TopWindow {
 public:
  // Loads the window when it is not loaded (with `icon` as its class
  // icon), then shows it, modeless, in front.
  void Show(HICON icon);

  void cmdOK_Click();       // closes (unloads) the window; also Enter and Escape
  void cmdSysInfo_Click();  // "&System Info..."
  // Starts the System Information tool, or says that it is unavailable.
  void StartSysInfo();
  // Reads one registry value as text (its bytes in the ANSI code page, as
  // RegQueryValueExA gives them) into `value`; false (and `value`
  // empty) when the key cannot be opened or the value cannot be read.
  static bool GetKeyValue(HKEY root, const std::string& keyName, const std::string& valueName, std::string& value);

 private:
  bool CreateWindowAndControls(HICON icon);
  void Form_Load();

  // TopWindow
  void OnCommand(int id, int code) override;
  void OnClose() override { cmdOK_Click(); }
  void OnDpiChanged() override;
  HWND FirstFocus() const override;
  int DefaultButtonId() const override;
};

void he_Click(const MainWindow& form);                           // Help > Help: opens help.htm beside the program
void version_Click(FrmAbout& frmAbout, const MainWindow& form);  // Help > Version Info: shows it, modeless

}  // namespace fw
