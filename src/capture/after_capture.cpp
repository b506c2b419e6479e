#include "capture/after_capture.h"

#include <windows.h>

#include "app/form1.h"
#include "app/shared_state.h"
#include "capture/auto_save_rules.h"
#include "capture/numbered_save.h"
#include "output/options_dialog.h"
#include "output/options_rules.h"
#include "platform/msgbox.h"

namespace fw {
namespace {

void ReportFailure(const std::string& path, const std::string& reason) {
  ShowMessage(autosave::FailureText(path, reason), MB_ICONEXCLAMATION | MB_OK);
}

}  // namespace

void RunAfterCaptureSteps() {
  if (Form4().Check1State() == options::kChecked) AutoSavePicture();
  if (Form4().Check2State() == options::kChecked) Form1().SetWindowState(WindowState::Normal);
}

bool AutoSavePicture() {
  NumberedSave saved =
      SaveUnderNextNumber(Form1().GetPicture(), Form4().Dir1Path(), Form4().Combo1Text(), AutoSaveCounter);
  if (!saved.ok) {
    ReportFailure(saved.path, saved.reason);
    return false;
  }
  AutoSaveCounter = autosave::CounterAfterSave(saved.number);
  return true;
}

}  // namespace fw
