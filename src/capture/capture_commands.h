// The capture commands of the main window: the "Screen" and "Window"
// buttons with their notice and delay, and the shortcut-key captures.
#pragma once

#include <cstdint>

#include "capture/capture_context.h"

namespace fw {

// The moment after which a delayed capture proceeds (whole seconds of the
// program's clock).
extern std::int64_t SnapEndTime;

void Command2_Click(const CaptureContext& c);  // "Screen"
void Command1_Click(const CaptureContext& c);  // "Window"
void capensc_Click(MainWindow& form);          // Ctrl+S, Capture Whole Screen
void capall_Click(MainWindow& form);           // Ctrl+Shift+S, Capture All Monitors
void snap_Click(MainWindow& form);             // Ctrl+W, Capture Active Window
void sdform_Click(MainWindow& form);           // Caption Whole Form
void kjhkjh_Click(MainWindow& form);           // Capture Client Area

// Waits, processing events, until the clock has passed SnapEndTime (read
// afresh on every pass). Stops early, returning false, when the main window
// closes meanwhile.
bool WaitPastSnapEndTime(const MainWindow& form);

}  // namespace fw
