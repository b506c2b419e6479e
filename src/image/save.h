// Saving the picture: the picture-save operation, the Save command, the
// unsaved-image prompt and New.
#pragma once

#include <string>

#include "image/save_rules.h"
#include "platform/picture.h"

namespace fw {

void Command4_Click();  // "Save"
void New_Click();       // File > New
PromptOutcome PromptToSave();

}  // namespace fw
