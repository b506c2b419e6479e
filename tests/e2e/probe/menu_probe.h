// What the driver hands menu_probe.dll's function, in the program's memory.
#pragma once

#include <windows.h>

namespace e2e {

// The menu bar of `window`, written by the probe into `text`: one line per
// item, "caption|id|state", where state is "grey" for an unavailable item
// and empty otherwise; a separator is "-"; a submenu's items follow their
// entry on the bar, indented by two spaces.
struct MenuListing {
  HWND window;
  char text[4096];
};

}  // namespace e2e
