// Waiting in the driver: on conditions, with the driver's own messages (its
// pattern windows, the program's answers) running meanwhile.
#pragma once

#include <windows.h>

#include <functional>

namespace e2e {

// Gives the running test more time before the watchdog ends it.
void SetTestTimeLimit(DWORD seconds);

// Runs the driver's own messages (its pattern windows) while waiting.
void PumpMessages();
// Lets the driver's messages run for a while. Not a way to wait for the
// program: wait for what it does with WaitUntil, or pass its barrier
// (App::Sync) before checking that something did not happen.
void Sleep(DWORD ms);
// Polls `cond` (pumping messages) until it holds or the time runs out.
bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs, DWORD stepMs = 10);

}  // namespace e2e
