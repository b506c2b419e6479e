// Steps several end-to-end tests share: putting a known picture into the
// program's picture area, and a capture by the "Screen" button.
#pragma once

#include "harness.h"

namespace e2e {

// The pattern's pixels that the picture area shows at its top-left, less
// any clock band; -1 when the area is smaller than the pattern.
long PatternDifferences(const Image& shown, const PatternWindow& pattern);

// Shows a pattern at the screen's top-left, moves the program clear of it
// and captures the screen with Ctrl+S. True when the picture area then
// shows the pattern.
bool CaptureScreenWithPattern(App& app, PatternWindow& pattern);

// A capture by the "Screen" button: presses it, answers the notice, waits
// out the delay and restores the window. True when all went as expected.
bool ScreenButtonCapture(App& app);

// Restores a minimised program and brings it to the front.
void Restore(App& app);

// A settings file's line: the two states and the quoted directory, CR LF.
std::string SettingsLine(int state1, int state2, const std::string& dir);

// Temporary files a save left in the directory (none after any save).
std::vector<std::string> SaveLeftovers(const std::string& dir);

}  // namespace e2e
