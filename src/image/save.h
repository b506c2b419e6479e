// Saving the picture: the picture-save operation, the Save command, the
// unsaved-image prompt and New.
#pragma once

#include <string>

#include "image/save_rules.h"
#include "program/main_window.h"
#include "program/shared_state.h"

namespace fw {

void Command4_Click(const MainWindow& form, SharedState& state);  // "Save"
void New_Click(MainWindow& form, SharedState& state);             // File > New
// The unsaved-image prompt: asks only when ImageSaved is false.
PromptOutcome PromptToSave(const MainWindow& form, SharedState& state);

}  // namespace fw
