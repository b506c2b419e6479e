#include "image/save.h"

#include "app/form1.h"
#include "app/shared_state.h"
#include "image/picture_file.h"
#include "platform/app_path.h"
#include "platform/file_dialog.h"
#include "platform/msgbox.h"

namespace fw {
namespace {

constexpr const char* kSaveFailed = "Could Not Save, No Image Snapped Yet";
constexpr const char* kPromptText = " You have not saved your file. Click OK to save, Cancel to Discard";
constexpr const char* kPromptTitle = "Save?";

std::optional<std::string> AskForFileName() {
  return ShowSaveDialog(Form1().hwnd(), DialogFilter(kImageFileFilter), ProgramDir());
}

}  // namespace

void Command4_Click() {
  std::optional<std::string> name = AskForFileName();
  if (name && name->empty()) return;  // cancelled: nothing changes
  if (name) {
    // The file may carry the name Windows gives the chosen one ("shot.bmp."
    // is written as "shot.bmp"): Mail offers the file that was written.
    WriteResult written = WritePictureFile(Form1().GetPicture(), *name);
    if (written.ok) {
      ImageSaved = true;
      LastSavedPath = written.path;
      return;
    }
  }
  ShowMessage(kSaveFailed, MB_ICONINFORMATION | MB_OK);
}

PromptOutcome PromptToSave() {
  if (ImageSaved) return PromptOutcome::NothingToAsk;
  if (ShowMessage(kPromptText, MB_OKCANCEL, kPromptTitle) != IDOK) return PromptOutcome::Discarded;
  std::optional<std::string> name = AskForFileName();
  if (!name) return PromptOutcome::SaveFailed;
  if (name->empty()) return PromptOutcome::DialogCancelled;
  if (!WritePictureFile(Form1().GetPicture(), *name).ok) return PromptOutcome::SaveFailed;
  ImageSaved = true;
  return PromptOutcome::Saved;
}

void New_Click() {
  if (!NewClearsPicture(PromptToSave())) return;
  Form1().SetPicture(Picture());
  ImageSaved = true;
}

}  // namespace fw
