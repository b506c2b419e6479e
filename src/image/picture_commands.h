// The commands that work on the picture area directly: Clear, the clipboard
// (Cut, Copy, Paste), Command13 and dragging on Image1.
#pragma once

#include "program/main_window.h"

namespace fw {

// Gives Image1 its mouse handling.
void InitialisePictureArea(const MainWindow& form);
// Gives Image1 its sample photograph, a plain bitmap of the program's
// resources (no picture object, so OLE is not needed to show it); the main
// window does this just after it first shows.
void LoadSamplePhoto(const MainWindow& form);

void Command3_Click(MainWindow& form);         // "Clear"
void dfgd_Click(MainWindow& form);             // Ctrl+A, Clear Picture Area
void Command7_Click(MainWindow& form);         // "Cut"
void Command8_Click(const MainWindow& form);   // "Copy"
void Command9_Click(MainWindow& form);         // "Paste"
void Command13_Click(const MainWindow& form);  // "Command13"

}  // namespace fw
