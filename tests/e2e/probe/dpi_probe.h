// What the driver hands dpi_probe.dll's functions, in the program's memory.
#pragma once

#include <windows.h>

namespace e2e {

// A WM_DPICHANGED for `window`: the new DPI and the rectangle suggested
// for it.
struct DpiChange {
  HWND window;
  UINT dpi;
  RECT suggested;
};

}  // namespace e2e
