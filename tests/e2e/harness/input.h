// Injected input: keys and the mouse, as a user types and clicks.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// Brings a window to the front; true when it is the foreground window.
bool BringToFront(HWND hwnd);
// Injected key presses: Ctrl+<vk>, or any sequence.
void SendCtrlKey(WORD vk);
void SendKey(WORD vk, bool ctrl = false, bool alt = false, bool shift = false);
void SendText(const std::string& text);
// Moves the pointer and waits until the system has it there.
void MoveMouse(int x, int y);
void MouseButton(bool down, bool right = false);

}  // namespace e2e
