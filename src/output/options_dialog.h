// The Options dialog (Form4) and its settings file.
#pragma once

namespace fw {

void Options2_Click();  // Options > Options
// Closes the dialog if it is loaded (the main window's unload).
void UnloadForm4();

}  // namespace fw
