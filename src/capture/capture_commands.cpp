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

namespace fw {

std::int64_t SnapEndTime = 0;

namespace {

// The pause between passes of a wait: short enough that the wait ends
// within a few hundredths of a second of its time, long enough that it
// does not keep the processor busy.
constexpr DWORD kWaitSliceMs = 15;

void ButtonCapture(const CaptureContext& c, capture::CaptureKind kind) {
  c.state.ImageSaved = false;
  ShowMessage(capture::NoticeText(c.state.CaptureDelaySeconds, kind), MB_ICONINFORMATION | MB_OK,
              capture::NoticeTitle(kind).c_str());
  c.form.SetWindowState(WindowState::Minimised);
  SnapEndTime = capture::WaitEnd(NowSeconds(), c.state.CaptureDelaySeconds);
  WaitPastSnapEndTime();
  PlayCameraSound();
  c.form.SetPictureFrom(kind == capture::CaptureKind::Screen ? SnapDesktop : SnapForegroundWindow);
  RunAfterCaptureSteps(c);
}

}  // namespace

void PlayCameraSound() {
  static auto* play = lazy::Function<decltype(::sndPlaySoundA)>("winmm.dll", "sndPlaySoundA");
  if (play) play(capture::CameraSoundPath(ProgramDir()).c_str(), SND_ASYNC);
}

void WaitPastSnapEndTime() {
  while (!capture::WaitIsOver(NowSeconds(), SnapEndTime)) {
    DoEvents();
    if (capture::WaitIsOver(NowSeconds(), SnapEndTime)) break;
    WaitForEvents(kWaitSliceMs);
  }
}

void Command2_Click(const CaptureContext& c) {
  ButtonCapture(c, capture::CaptureKind::Screen);
}

void Command1_Click(const CaptureContext& c) {
  ButtonCapture(c, capture::CaptureKind::Window);
}

void capensc_Click(MainWindow& form) {
  PlayCameraSound();
  form.SetPictureFrom(SnapDesktop);
}

void snap_Click(MainWindow& form) {
  PlayCameraSound();
  SnapEndTime = capture::WaitEnd(NowSeconds(), 0);
  WaitPastSnapEndTime();
  form.SetPictureFrom(SnapForegroundWindow);
}

void sdform_Click(MainWindow& form) {
  PlayCameraSound();
  form.SetPicture(SnapOwnForm(form.hwnd()));
}

void kjhkjh_Click(MainWindow& form) {
  PlayCameraSound();
  form.SetPicture(SnapOwnClient(form.hwnd()));
}

}  // namespace fw
