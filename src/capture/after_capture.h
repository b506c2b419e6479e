// What follows a capture by the "Screen" and "Window" buttons (and, in
// their own order, the hotkeys): the automatic save and the return of the
// main window, each when the Options dialog asks for it. And what a
// capture says when it failed.
#pragma once

#include "capture/capture_context.h"
#include "capture/capture_engine.h"

namespace fw {

// The after-capture steps of a button capture: the automatic save when
// "Auto save to file" is checked, then the main window's return to normal
// when "Show program after each snap" is checked.
void RunAfterCaptureSteps(const CaptureContext& c);

// Saves the picture area's picture as <Dir1>\snap<N><Combo1>, N the first
// number at or after AutoSaveCounter whose name is free, and then sets the
// counter past the number used. A failure is reported to the user (which
// file and why); the counter then stays as it was. Returns true when a
// file was written.
bool AutoSavePicture(const CaptureContext& c);

// Puts a capture into the picture area. A capture that gave no picture
// leaves the area's picture as it was, and the user is told why. True when
// the area has the new picture.
bool ShowCapture(MainWindow& form, Snapshot shot);

}  // namespace fw
