// Handing the last saved image to the default mail program.
#pragma once

#include "program/main_window.h"
#include "program/shared_state.h"

namespace fw {

void Command10_Click(const MainWindow& form, const SharedState& state);  // "Mail"

}  // namespace fw
