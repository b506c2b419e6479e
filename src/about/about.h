// The help page and the Version Info window (frmAbout) with its System
// Information button.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

void he_Click();       // Help > Help: opens help.htm beside the program
void version_Click();  // Help > Version Info: shows frmAbout, modeless

// The Version Info window while it is loaded; null otherwise. There is at
// most one, independent of the main window: closing the main window leaves
// it open, and the program runs on until it is closed too.
HWND frmAbout();

// frmAbout's handlers and public methods.
void cmdOK_Click();       // closes (unloads) the window; also Enter and Escape
void cmdSysInfo_Click();  // "&System Info..."
// Starts the System Information tool, or says that it is unavailable.
void StartSysInfo();
// Reads one registry value as text into `value`; false (and `value` empty)
// when the key cannot be opened or the value cannot be read.
bool GetKeyValue(HKEY root, const std::string& keyName, const std::string& valueName, std::string& value);

}  // namespace fw
