// What the captures are handed: the main window (its picture area and
// window state), the shared state (ImageSaved, the delay, the automatic
// save counter) and the Options dialog's controls, read at the moment of
// use.
#pragma once

#include "output/live_options.h"
#include "program/main_window.h"
#include "program/shared_state.h"

namespace fw {

struct CaptureContext {
  MainWindow& form;
  SharedState& state;
  LiveOptions& options;
};

}  // namespace fw
