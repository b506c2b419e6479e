#include "capture/capture_commands.h"

#include <windows.h>
#include <mmsystem.h>

#include "capture/after_capture.h"
#include "capture/capture_engine.h"
#include "capture/capture_rules.h"
#include "platform/app_path.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "platform/lazy_library.h"
#include "platform/msgbox.h"
#include "platform/text.h"

namespace fw {

std::int64_t SnapEndTime = 0;

namespace {

// The pause between passes of a wait: short enough that the wait ends
// within a few hundredths of a second of its time, long enough that it
// does not keep the processor busy.
constexpr DWORD kWaitSliceMs = 15;

// The picture is unsaved from the moment it is in the picture area: a
// capture that failed, or never came because the program closed during the
// wait, leaves the earlier picture and its state as they were.
void ButtonCapture(const CaptureContext& c, capture::CaptureKind kind) {
  ShowMessage(capture::NoticeText(c.state.CaptureDelaySeconds, kind), MB_ICONINFORMATION | MB_OK,
              capture::NoticeTitle(kind).c_str());
  if (c.form.Closing()) return;
  c.form.SetWindowState(WindowState::Minimised);
  SnapEndTime = capture::WaitEnd(NowSeconds(), c.state.CaptureDelaySeconds);
  if (!WaitPastSnapEndTime(c.form)) return;
  PlayCameraSound();
  if (!ShowCapture(c.form, kind == capture::CaptureKind::Screen ? SnapDesktop() : SnapForegroundWindow())) return;
  c.state.ImageSaved = false;
  RunAfterCaptureSteps(c);
}

}  // namespace

void PlayCameraSound() {
  static auto* play = lazy::Function<decltype(::sndPlaySoundW)>("winmm.dll", "sndPlaySoundW");
  if (play) play(Widen(capture::CameraSoundPath(ProgramDir())).c_str(), SND_ASYNC);
}

bool WaitPastSnapEndTime(const MainWindow& form) {
  while (!capture::WaitIsOver(NowSeconds(), SnapEndTime)) {
    if (form.Closing()) return false;
    DoEvents();
    if (form.Closing()) return false;
    if (capture::WaitIsOver(NowSeconds(), SnapEndTime)) break;
    WaitForEvents(kWaitSliceMs);
  }
  return !form.Closing();
}

void Command2_Click(const CaptureContext& c) {
  ButtonCapture(c, capture::CaptureKind::Screen);
}

void Command1_Click(const CaptureContext& c) {
  ButtonCapture(c, capture::CaptureKind::Window);
}

void capensc_Click(MainWindow& form) {
  PlayCameraSound();
  ShowCapture(form, SnapDesktop());
}

void snap_Click(MainWindow& form) {
  PlayCameraSound();
  SnapEndTime = capture::WaitEnd(NowSeconds(), 0);
  if (!WaitPastSnapEndTime(form)) return;
  ShowCapture(form, SnapForegroundWindow());
}

void sdform_Click(MainWindow& form) {
  PlayCameraSound();
  ShowCapture(form, SnapOwnForm(form.hwnd()));
}

void kjhkjh_Click(MainWindow& form) {
  PlayCameraSound();
  ShowCapture(form, SnapOwnClient(form.hwnd()));
}

}  // namespace fw
