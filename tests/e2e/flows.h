// Steps several end-to-end tests share: putting a known picture into the
// program's picture area, and a capture by the "Screen" button.
#pragma once

#include "harness.h"

namespace e2e {

// How long a capture by the "Screen" or "Window" button may take: the
// notice's 2-second delay ends within 3 seconds, then the capture.
inline constexpr DWORD kButtonCaptureLimitMs = 6000;

// The pattern's pixels that the picture area shows at its top-left, less
// any clock band; -1 when the area is smaller than the pattern.
long PatternDifferences(const Image& shown, const PatternWindow& pattern);

// Shows a pattern at the screen's top-left, moves the program clear of it
// and captures the screen with Ctrl+S. True when the picture area then
// shows the pattern.
bool CaptureScreenWithPattern(App& app, PatternWindow& pattern);

// Waits for the end of the program's first capture by a button or a
// hotkey. Its closing steps read the Options dialog's controls, which loads
// the dialog unseen: the one sign of the capture while the main window is
// minimised or hidden. Only the first capture of a run loads it.
bool WaitFirstCaptureTaken(App& app);

// A capture by the "Screen" button: presses it, answers the notice, waits
// for the capture and restores the window. True when all went as expected
// and the picture area shows the screen (a pattern put at its top-left).
bool ScreenButtonCapture(App& app);

// Opens Help > Version Info and waits until it is there and settled;
// returns its window (null if it did not come).
HWND OpenVersionInfo(App& app);

// Whether the picture area shows nothing (its top-left corner all white).
bool AreaBlank(App& app);

// Restores a minimised program and brings it to the front.
void Restore(App& app);

// A settings file's line: the two states and the quoted directory, CR LF.
std::string SettingsLine(int state1, int state2, const std::string& dir);

// Temporary files a save left in the directory (none after any save).
std::vector<std::string> SaveLeftovers(const std::string& dir);

// Puts a drawing on the clipboard, an enhanced metafile of 1 x 0.5 inch
// holding one rectangle, and pastes it; true once the paste was handled.
bool PasteADrawing(App& app);

// The picture the picture area holds, as Copy puts it on the clipboard
// (empty when none arrived).
Image CopiedPicture(App& app);

}  // namespace e2e
