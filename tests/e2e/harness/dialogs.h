// The program's dialogs and message boxes: reading and answering them.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace e2e {

enum class IconKind { None, Information, Error, Warning, Question, Unknown };
struct DialogInfo {
  HWND hwnd = nullptr;
  std::string title;
  std::string text;  // a message box's text
  IconKind icon = IconKind::None;
  std::vector<std::string> buttons;  // captions of the push buttons, in order
};
// Waits for a dialog (#32770) of the process to appear; with a title, only
// that one.
std::optional<DialogInfo> WaitForDialog(DWORD pid, DWORD timeoutMs, const char* title = nullptr);
// All dialogs of the process now shown.
std::vector<DialogInfo> OpenDialogs(DWORD pid);
// All dialogs of the process, also those created but not shown yet: a modal
// dialog shows once its loop first finds nothing to do. After a barrier
// (App::Sync) these are all the dialogs the program has opened.
std::vector<DialogInfo> DialogsIncludingUnshown(DWORD pid);
// Presses a dialog's button by id without blocking (IDOK, IDCANCEL, ...).
void PressDialogButton(HWND dialog, int id);
bool WaitDialogGone(HWND dialog, DWORD timeoutMs);
// Closes a dialog from its frame (the close box).
void CloseFromFrame(HWND window);

// The common Save dialog of the process (a dialog with a file-name box).
HWND WaitForSaveDialog(DWORD pid, DWORD timeoutMs);
// Types a name into the Save dialog and presses its Save button.
void ChooseFileName(HWND saveDialog, const std::string& path);

}  // namespace e2e
