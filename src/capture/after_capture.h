// A capture by the "Screen" and "Window" buttons or by a hotkey, with what
// goes with it: the camera sound, the automatic save and the return of the
// main window (each when the Options dialog asks for it), in the order
// capture::CaptureSteps gives for each. And what a capture says when it
// failed.
#pragma once

#include "capture/capture_context.h"
#include "capture/capture_engine.h"
#include "capture/capture_rules.h"

namespace fw {

// Takes a capture with `take` and runs the steps around it that `by`
// calls for. Stops after a capture that gave no picture (which says why),
// and before any step once the main window is closing. True when the
// picture area has the new picture.
bool CaptureWithSteps(const CaptureContext& c, capture::CaptureBy by, Snapshot (*take)());

// Starts the camera sound and returns at once.
void PlayCameraSound();

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
