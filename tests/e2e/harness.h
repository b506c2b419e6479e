// The end-to-end test driver's harness: starts the real Framewick.exe in a
// program directory of its own, finds its windows, presses its buttons,
// reads and answers its message boxes, injects keys, and reads pixels,
// files and the clipboard the way a user (or assistive technology) would.
// Each concern has a header of its own under harness/; this one brings them
// all in.
#pragma once

#include "control_ids.h"
#include "harness/app.h"
#include "harness/clipboard.h"
#include "harness/dialogs.h"
#include "harness/engine.h"
#include "harness/files.h"
#include "harness/in_program.h"
#include "harness/input.h"
#include "harness/pattern_window.h"
#include "harness/pixels.h"
#include "harness/processes.h"
#include "harness/text.h"
#include "harness/wait.h"
#include "harness/window_lookup.h"

namespace e2e {

// The program's windows, controls and menu commands, as it numbers and
// names them.
using namespace fw::ids;

}  // namespace e2e
