#include "capture/capture_rules.h"

namespace fw::capture {

std::string NoticeText(int delaySeconds, CaptureKind kind) {
  std::string text = std::to_string(delaySeconds);
  text += " seconds after you close this dialog ";
  text += kind == CaptureKind::Screen ? "the entire screen will be captured." : "the active window will be captured.";
  return text;
}

std::string NoticeTitle(CaptureKind kind) {
  return kind == CaptureKind::Screen ? "Capture Whole Screen" : "Capture Active Window";
}

std::vector<CaptureStep> CaptureSteps(CaptureBy by) {
  using enum CaptureStep;
  switch (by) {
    case CaptureBy::Button: return {Sound, Capture, MarkUnsaved, AutoSave, Restore};
    case CaptureBy::Hotkey: return {Capture, Sound, RestoreAndShow, AutoSave};
  }
  return {};
}

std::string CameraSoundPath(const std::string& programDir) {
  return programDir + "\\camera.wav";
}

std::string CaptureFailureText(SnapFailure failure, long width, long height, const std::string& systemReason) {
  std::string text = "The screen could not be captured.\n\n";
  std::string size = std::to_string(width) + " x " + std::to_string(height) + " pixels";
  switch (failure) {
    case SnapFailure::NoScreen: text += "Windows gave no access to the contents of the screen."; break;
    case SnapFailure::NoBitmap:
      text += "Windows could not make a picture of " + size + ": ";
      text += systemReason.empty() ? "there is not enough memory for it." : systemReason;
      break;
    case SnapFailure::NoPicture: text += "The picture of " + size + " could not be made."; break;
    case SnapFailure::None: break;
  }
  text += "\n\nThe picture area keeps its previous picture.";
  return text;
}

bool FailureMessages::MayOpen() {
  if (open_) return false;
  open_ = true;
  return true;
}

}  // namespace fw::capture
