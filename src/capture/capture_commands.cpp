#include "capture/capture_commands.h"

#include <windows.h>
#include <mmsystem.h>

#include "app/form1.h"
#include "app/shared_state.h"
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

void ButtonCapture(capture::CaptureKind kind) {
  ImageSaved = false;
  ShowMessage(capture::NoticeText(CaptureDelaySeconds, kind), MB_ICONINFORMATION | MB_OK,
              capture::NoticeTitle(kind).c_str());
  MainWindow& form = Form1();
  form.SetWindowState(WindowState::Minimised);
  SnapEndTime = capture::WaitEnd(NowSeconds(), CaptureDelaySeconds);
  WaitPastSnapEndTime();
  PlayCameraSound();
  form.SetPictureFrom(kind == capture::CaptureKind::Screen ? SnapDesktop : SnapForegroundWindow);
  RunAfterCaptureSteps();
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

void Command2_Click() {
  ButtonCapture(capture::CaptureKind::Screen);
}

void Command1_Click() {
  ButtonCapture(capture::CaptureKind::Window);
}

void capensc_Click() {
  PlayCameraSound();
  Form1().SetPictureFrom(SnapDesktop);
}

void snap_Click() {
  PlayCameraSound();
  SnapEndTime = capture::WaitEnd(NowSeconds(), 0);
  WaitPastSnapEndTime();
  Form1().SetPictureFrom(SnapForegroundWindow);
}

void sdform_Click() {
  PlayCameraSound();
  Form1().SetPicture(SnapOwnForm(Form1().hwnd()));
}

void kjhkjh_Click() {
  PlayCameraSound();
  Form1().SetPicture(SnapOwnClient(Form1().hwnd()));
}

}  // namespace fw
