// Printing the picture on the default printer, fitted to the page.
#pragma once

#include "output/default_printer.h"
#include "program/main_window.h"

namespace fw {

// Sets the orientation from the picture's shape, fits the picture to the
// printable area and draws it at its top-left corner. Throws PrintError.
void PrintPictureScaled(DefaultPrinter& printer, const Picture& picture);

void Command11_Click(const MainWindow& form);  // "Print"

}  // namespace fw
