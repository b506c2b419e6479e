// The program's skin: one flat look for every window. Each window attaches
// it as the first step of its load; its own procedure then lets the skin
// draw first.
#pragma once

#include <windows.h>

namespace fw::skin {

// Applies the skin to a window and to the controls it holds: push buttons
// become flat, check boxes, frames and labels take the window's background.
void AttachSkin(HWND hwnd);

bool IsAttached(HWND hwnd);

// Gives the skin the first look at a message of a skinned window (or of a
// container inside one). Returns true when the skin handled it.
bool HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

// The background a window of the program paints. The main window is white;
// dialogs use the skin's face colour.
COLORREF Background(HWND hwnd);
void SetBackground(HWND hwnd, COLORREF colour);

}  // namespace fw::skin
