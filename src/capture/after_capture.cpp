#include "capture/after_capture.h"

namespace fw {

void RunAfterCaptureSteps() {}

bool AutoSavePicture() {
  return false;
}

}  // namespace fw
