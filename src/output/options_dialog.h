// The Options dialog (Form4) and its settings file. The dialog's controls
// are the program's live settings for automatic saving: the captures read
// them at the moment of use (LiveOptions), and a read loads the dialog,
// hidden, when it is not loaded (which reads the settings file).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "output/live_options.h"
#include "output/options_rules.h"
#include "platform/top_window.h"
#include "program/shared_state.h"

namespace fw {

class Form4 final : public TopWindow, public LiveOptions, private options::Controls {
 public:
  // `memory` carries the settings between the dialog's loads.
  explicit Form4(OptionsMemory& memory) : memory_(memory) {}

  // LiveOptions: each read loads the dialog first when it is not loaded.
  int Check1State() override;
  int Check2State() override;
  std::string Dir1Path() override;
  std::string Combo1Text() override;

  // Loads the dialog if needed, then shows it (modeless).
  void Show();
  // Loads the dialog without showing it; nothing when it is loaded.
  void Load();
  // Closes the dialog if it is loaded.
  void Unload();
  // Closes the dialog and keeps it from loading again: the main window has
  // closed. Reads then give unchecked boxes and no directory.
  void UnloadForGood();

 private:
  // options::Controls, as the load steps use the controls.
  int Check1() const override { return CheckState(check1_); }
  void SetCheck1(int state) override { SetCheckState(check1_, state, &Form4::Check1_Click); }
  int Check2() const override { return CheckState(check2_); }
  void SetCheck2(int state) override { SetCheckState(check2_, state, &Form4::Check2_Click); }
  std::string Dir() const override { return dir_; }
  bool SetDir(const std::string& path) override;
  void SetExtensionText(const std::string& text) override;
  void AttachSkin() override;

  // TopWindow
  void OnCommand(int id, int code) override;
  void OnClose() override { Unload(); }
  void OnDestroy() override { Forget(); }
  bool OnMeasureItem(MEASUREITEMSTRUCT& item) override;
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
  void OnDpiChanged() override;
  HWND FirstFocus() const override { return check1_; }
  int DefaultButtonId() const override;
  bool PreTranslateMessage(MSG& msg) override;

  // The dialog's handlers.
  void Check1_Click();
  void Check2_Click();
  void Combo1_Click();
  void Dir1_Change();
  void Command1_Click();  // "Apply"

  static int CheckState(HWND box);
  // Sets a box's state; a state that really changes runs its handler.
  void SetCheckState(HWND box, int state, void (Form4::*handler)());
  bool CreateWindowAndControls();
  void Forget();
  void ShowDir();
  void OpenSelectedEntry();
  std::string ComboText() const;
  // The text of the item chosen from the extension box's list.
  std::string ChosenItemText() const;

  OptionsMemory& memory_;
  HWND check1_ = nullptr;
  HWND check2_ = nullptr;
  HWND dir1_ = nullptr;
  HWND combo1_ = nullptr;
  std::string dir_;
  std::vector<options::DirEntry> entries_;
  bool retired_ = false;
};

// Options > Options: shows the dialog, loading it first.
void Options2_Click(Form4& form4);

}  // namespace fw
