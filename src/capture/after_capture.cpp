#include "capture/after_capture.h"

#include <windows.h>

#include "capture/auto_save_rules.h"
#include "capture/numbered_save.h"
#include "output/options_rules.h"
#include "platform/msgbox.h"

namespace fw {
namespace {

void ReportFailure(const std::string& path, const std::string& reason) {
  ShowMessage(autosave::FailureText(path, reason), MB_ICONEXCLAMATION | MB_OK);
}

}  // namespace

void RunAfterCaptureSteps(const CaptureContext& c) {
  if (c.options.Check1State() == options::kChecked) AutoSavePicture(c);
  if (c.options.Check2State() == options::kChecked) c.form.SetWindowState(WindowState::Normal);
}

bool AutoSavePicture(const CaptureContext& c) {
  std::int64_t& AutoSaveCounter = c.state.AutoSaveCounter;  // the shared counter
  NumberedSave saved =
      SaveUnderNextNumber(c.form.GetPicture(), c.options.Dir1Path(), c.options.Combo1Text(), AutoSaveCounter);
  if (!saved.ok) {
    ReportFailure(saved.path, saved.reason);
    return false;
  }
  AutoSaveCounter = autosave::CounterAfterSave(saved.number);
  return true;
}

}  // namespace fw
