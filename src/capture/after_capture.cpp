#include "capture/after_capture.h"

#include <windows.h>
#include <mmsystem.h>

#include "capture/auto_save_rules.h"
#include "capture/capture_rules.h"
#include "capture/numbered_save.h"
#include "output/options_rules.h"
#include "platform/app_path.h"
#include "platform/lazy_library.h"
#include "platform/msgbox.h"
#include "platform/safe_file.h"
#include "platform/text.h"

namespace fw {
namespace {

// The captures' failure messages: one open at a time.
capture::FailureMessages g_failureMessages;

void ReportFailure(const std::string& text) {
  if (!g_failureMessages.MayOpen()) return;
  struct Closes {
    ~Closes() { g_failureMessages.Closed(); }
  } closes;
  ShowMessage(text, MB_ICONEXCLAMATION | MB_OK);
}

}  // namespace

bool CaptureWithSteps(const CaptureContext& c, capture::CaptureBy by, Snapshot (*take)()) {
  MainWindow& form = c.form;
  bool captured = false;
  for (capture::CaptureStep step : capture::CaptureSteps(by)) {
    if (form.Closing()) break;
    switch (step) {
      case capture::CaptureStep::Sound: PlayCameraSound(); break;
      case capture::CaptureStep::Capture:
        if (!ShowCapture(form, take())) return false;
        captured = true;
        break;
      case capture::CaptureStep::MarkUnsaved: c.state.ImageSaved = false; break;
      case capture::CaptureStep::AutoSave:
        if (c.options.Check1State() == options::kChecked) AutoSavePicture(c);
        break;
      case capture::CaptureStep::Restore:
        if (c.options.Check2State() == options::kChecked) form.SetWindowState(WindowState::Normal);
        break;
      case capture::CaptureStep::RestoreAndShow:
        if (c.options.Check2State() == options::kChecked) {
          form.SetWindowState(WindowState::Normal);
          form.Show();
        }
        break;
    }
  }
  return captured;
}

void PlayCameraSound() {
  static auto* play = lazy::Function<decltype(::sndPlaySoundW)>("winmm.dll", "sndPlaySoundW");
  if (play) play(Widen(capture::CameraSoundPath(ProgramDir())).c_str(), SND_ASYNC);
}

bool AutoSavePicture(const CaptureContext& c) {
  if (c.form.Closing()) return false;
  std::int64_t& AutoSaveCounter = c.state.AutoSaveCounter;  // the shared counter
  Picture picture = c.form.GetPicture();
  NumberedSave saved = SaveUnderNextNumber(picture, c.options.Dir1Path(), c.options.Combo1Text(), AutoSaveCounter);
  if (!saved.ok) {
    ReportFailure(autosave::FailureText(saved.path, saved.reason, c.form.GetPicture().HasImage()));
    return false;
  }
  AutoSaveCounter = autosave::CounterAfterSave(saved.number);
  return true;
}

bool ShowCapture(MainWindow& form, Snapshot shot) {
  if (!shot.ok()) {
    ReportFailure(capture::CaptureFailureText(shot.failure, shot.width, shot.height,
                                              shot.error ? ErrorText(shot.error) : std::string()));
    return false;
  }
  if (form.Closing()) return false;
  form.SetPicture(std::move(shot.picture));
  return true;
}

}  // namespace fw
