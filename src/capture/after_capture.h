// What follows a capture by the "Screen" and "Window" buttons (and, in
// their own order, the hotkeys): the automatic save and the return of the
// main window, each when the Options dialog asks for it.
#pragma once

namespace fw {

// The after-capture steps of a button capture.
void RunAfterCaptureSteps();

// Saves the picture area's picture under the next automatic name; reports
// a failure to the user. Returns true when a file was written.
bool AutoSavePicture();

}  // namespace fw
