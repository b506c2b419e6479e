// The commands that work on the picture area directly: Clear, the clipboard
// (Cut, Copy, Paste), Command13 and dragging on Image1.
#pragma once

namespace fw {

// Gives Image1 its mouse handling.
void InitialisePictureArea();
// Gives Image1 its sample photograph. Decoding it takes a moment, so the
// main window does this just after it first shows.
void LoadSamplePhoto();

void Command3_Click();   // "Clear"
void dfgd_Click();       // Ctrl+A, Clear Picture Area
void Command7_Click();   // "Cut"
void Command8_Click();   // "Copy"
void Command9_Click();   // "Paste"
void Command13_Click();  // "Command13"

}  // namespace fw
