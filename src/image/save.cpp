#include "image/save.h"

#include "image/picture_file.h"
#include "platform/app_path.h"
#include "platform/file_dialog.h"
#include "platform/msgbox.h"
#include "platform/safe_file.h"

namespace fw {
namespace {

constexpr const char* kSaveFailed = "Could Not Save, No Image Snapped Yet";
constexpr const char* kPromptText = " You have not saved your file. Click OK to save, Cancel to Discard";
constexpr const char* kPromptTitle = "Save?";

// The prompt is open (its question, its Save dialog or its failure
// message): whoever asks next (Exit, New, the end of the session) is not
// asked a second time.
bool g_prompting = false;

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
    Picture picture = form.GetPicture();
    WriteResult written = WritePictureFile(picture, *name);
    if (written.ok) {
      state.ImageSaved = true;
      state.LastSavedPath = written.path;
      return;
    }
    // A name too long for Windows is said as such, with the limits: the one
    // message below would blame a picture that is there.
    if (written.error == ERROR_FILENAME_EXCED_RANGE) {
      ShowMessage(PromptSaveFailedText(*name, ErrorText(written.error), picture.HasImage()),
                  MB_ICONEXCLAMATION | MB_OK);
      return;
    }
  }
  ShowMessage(kSaveFailed, MB_ICONINFORMATION | MB_OK);
}

PromptOutcome PromptToSave(const MainWindow& form, SharedState& state) {
  if (state.ImageSaved) return PromptOutcome::NothingToAsk;
  if (g_prompting) return PromptOutcome::AlreadyAsking;
  struct Prompting {
    Prompting() { g_prompting = true; }
    ~Prompting() { g_prompting = false; }
  } prompting;

  int answer = ShowMessage(kPromptText, MB_OKCANCEL, kPromptTitle);
  // The session ended while the question was open: nothing can be saved
  // any more, and nothing more is asked.
  if (form.Closing()) return PromptOutcome::DialogCancelled;
  if (answer != IDOK) return PromptOutcome::Discarded;
  std::optional<std::string> name = AskForFileName(form);
  if (form.Closing()) return PromptOutcome::DialogCancelled;
  if (!name) {
    ShowMessage(std::string(kPromptDialogFailedText), MB_ICONEXCLAMATION | MB_OK);
    return PromptOutcome::SaveFailed;
  }
  if (name->empty()) return PromptOutcome::DialogCancelled;
  Picture picture = form.GetPicture();
  WriteResult written = WritePictureFile(picture, *name);
  if (!written.ok) {
    // The user chose to keep the picture: a save that failed is said, with
    // its reason, and the picture stays unsaved.
    std::string reason = !written.reason.empty() ? written.reason : written.error ? ErrorText(written.error) : "";
    ShowMessage(PromptSaveFailedText(*name, reason, picture.HasImage()), MB_ICONEXCLAMATION | MB_OK);
    return PromptOutcome::SaveFailed;
  }
  state.ImageSaved = true;
  return PromptOutcome::Saved;
}

void New_Click(MainWindow& form, SharedState& state) {
  if (!NewClearsPicture(PromptToSave(form, state))) return;
  form.SetPicture(Picture());
  state.ImageSaved = true;
}

}  // namespace fw
