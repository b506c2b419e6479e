// The main window's menu bar, built from its layout table, and its
// shortcut keys.
#pragma once

#include <windows.h>

#include "platform/handles.h"

namespace fw {

// The menu bar with its popups; `fileMenu` is set to the "File" popup,
// which the bar owns.
UniqueMenu BuildMenuBar(HMENU& fileMenu);

// Ctrl+S, Ctrl+Shift+S, Ctrl+W and Ctrl+A. Each sends its own command id, so the keys act
// even though their menu ("Shortcuts") is unavailable.
UniqueAccel BuildShortcuts();

// The menu command a WM_COMMAND id stands for: a shortcut key's id is its
// menu item's; any other id is itself.
int MenuCommandOf(int id);

}  // namespace fw
