// The baseline for memory, and for context of the start-up time: a Wine
// program that only opens an empty window (no manifest, no common
// controls), and then waits to be ended.
#include <windows.h>

#include "floor_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  return bench::RunFloorWindow(instance, commandLine, "profile_empty", "FwEmptyWindow", nullptr);
}
