// Harness pieces for the tests of events that arrive while a handler is
// still at work: bursts of hotkey messages, and waiting until the captures
// they started are all done.
#pragma once

#include <windows.h>

#include <string>

#include "harness.h"

namespace e2e {

// Posts `count` hotkey messages of the given id to the main window at once,
// as a key held down (without the system's repeat guard) or a flood would.
void PostHotkeys(App& app, int id, int count);

// Waits until the program has done every capture the messages posted so far
// asked for: the number of "snap" files in `dir` stays the same across a
// sync of the program (two, so that an action that had only begun when the
// first came back has ended). False when it did not settle in time or the
// program stopped answering.
bool CapturesSettled(App& app, const std::string& dir, DWORD timeoutMs);

// The first problem with the "snap" files in `dir`: a name out of the
// sequence snap0, snap1, ... (with `extension`), or a file that is not one
// whole file of the format the extension asks for (a JPEG for ".jpg").
// Empty when there is none.
std::string SnapSequenceProblem(const std::string& dir, const std::string& extension);

// The read-only directory the run provides (FW_READONLY_DIR), or "".
std::string ReadOnlyDir();

}  // namespace e2e
