// Framewick: a small screen-capture utility.
#include <windows.h>

#include "app/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return fw::RunProgram(instance);
}
