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

std::string CameraSoundPath(const std::string& programDir) {
  return programDir + "\\camera.wav";
}

}  // namespace fw::capture
