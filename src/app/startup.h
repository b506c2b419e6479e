// The program's start, written once: WinMain runs it, and so does every
// test build of the program (tests/e2e/inprocess/), which is then the
// program plus the one seam it adds before or around this call.
#pragma once

#include <windows.h>

#include <functional>

#include "app/program.h"

namespace fw {

struct StartOptions {
  // Called as each step of the start ends, with the step's name (the
  // start-up profile puts a clock between the steps).
  std::function<void(const char* step)> stepDone;
  // Runs in place of the message loop once the main window is shown and
  // painted; what it returns is the program's exit code. None: the
  // program's own message loop.
  std::function<int(Program&)> run;
};

// Starts the program: libraries only from the system directory, OLE on
// first use (ended with the program), the common controls, the main
// window created, loaded (hotkeys registered) and shown; then the message
// loop. Returns the exit code: 1 when the main window cannot be made, 0
// when the program ends at start-up because no hotkey could be registered.
int RunProgram(HINSTANCE instance, const StartOptions& options = {});

}  // namespace fw
