#include "image/save.h"

#include "image/picture_file.h"
#include "platform/app_path.h"
#include "platform/file_dialog.h"
#include "platform/msgbox.h"

namespace fw {
namespace {

constexpr const char* kSaveFailed = "Could Not Save, No Image Snapped Yet";
constexpr const char* kPromptText = " You have not saved your file. Click OK to save, Cancel to Discard";
constexpr const char* kPromptTitle = "Save?";

std::optional<std::string> AskForFileName(const MainWindow& form) {
  return ShowSaveDialog(form.hwnd(), DialogFilter(kImageFileFilter), ProgramDir());
}

}  // namespace

void Command4_Click(const MainWindow& form, SharedState& state) {
  std::optional<std::string> name = AskForFileName(form);
  if (name && name->empty()) return;  // cancelled: nothing changes
  if (name) {
    // The file may carry the name Windows gives the chosen one ("shot.bmp."
    // is written as "shot.bmp"): Mail offers the file that was written.
    WriteResult written = WritePictureFile(form.GetPicture(), *name);
    if (written.ok) {
      state.ImageSaved = true;
      state.LastSavedPath = written.path;
      return;
    }
  }
  ShowMessage(kSaveFailed, MB_ICONINFORMATION | MB_OK);
}

PromptOutcome PromptToSave(const MainWindow& form, SharedState& state) {
  if (state.ImageSaved) return PromptOutcome::NothingToAsk;
  if (ShowMessage(kPromptText, MB_OKCANCEL, kPromptTitle) != IDOK) return PromptOutcome::Discarded;
  std::optional<std::string> name = AskForFileName(form);
  if (!name) return PromptOutcome::SaveFailed;
  if (name->empty()) return PromptOutcome::DialogCancelled;
  if (!WritePictureFile(form.GetPicture(), *name).ok) return PromptOutcome::SaveFailed;
  state.ImageSaved = true;
  return PromptOutcome::Saved;
}

void New_Click(MainWindow& form, SharedState& state) {
  if (!NewClearsPicture(PromptToSave(form, state))) return;
  form.SetPicture(Picture());
  state.ImageSaved = true;
}

}  // namespace fw
