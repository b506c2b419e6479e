// The message loop, event processing inside handlers, and the end of the
// program when its last window has closed.
#pragma once

#include <windows.h>

#include <functional>

namespace fw {

// A filter sees each message before it is dispatched and returns true when
// it handled it (keyboard shortcuts, dialog navigation).
using MessageFilter = std::function<bool(MSG&)>;
void AddMessageFilter(MessageFilter filter);

// Processes every pending message, then returns.
void DoEvents();

// Blocks until a message arrives or `milliseconds` have passed.
void WaitForEvents(DWORD milliseconds);

// Runs the message loop until the program ends; returns the exit code.
int RunMessageLoop();

// Each loaded window of the program counts; when the last one is unloaded
// the program ends.
void FormLoaded();
void FormUnloaded();

}  // namespace fw
