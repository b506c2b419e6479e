// The Options dialog (Form4) and its settings file. The dialog's controls
// are the program's live settings for automatic saving: the captures read
// them at the moment of use, and a read loads the dialog, hidden, when it
// is not loaded (which reads the settings file).
#pragma once

#include <windows.h>

#include <string>

namespace fw {

void Options2_Click();  // Options > Options: shows the dialog, loading it first
// Closes the dialog if it is loaded (the main window's unload).
void UnloadForm4();

class OptionsDialog {
 public:
  // The controls' current values; each read loads the dialog first when
  // it is not loaded.
  int Check1State();         // "Auto save to file": 0, 1 or 2
  int Check2State();         // "Show program after each snap"
  std::string Dir1Path();    // the directory list's current directory
  std::string Combo1Text();  // the extension box's text

  bool IsLoaded() const;
  HWND hwnd() const;
  // Loads the dialog if needed, then shows it (modeless).
  void Show();
  // Loads the dialog without showing it; nothing when it is loaded.
  void Load();
  void Unload();
};

OptionsDialog& Form4();

}  // namespace fw
