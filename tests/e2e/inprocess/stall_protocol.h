// What the driver and the test build stalling_writes.exe agree on.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// Posted to the main window: the next temporary file the program writes
// stops at the point given, and the build then signals the event
// StalledEventName(its process id) and waits to be ended. wParam: the bytes
// of the file let through before it stops (kStopInWrite).
inline constexpr const char* kStallNextSaveMessage = "FramewickTest.StallNextSave";

enum StallPoint : LPARAM {
  kStopInWrite = 0,   // once wParam bytes are written, or at the flush when the file is shorter
  kStopAtNaming = 1,  // written and flushed whole, just before it takes its name
};

inline std::string StalledEventName(DWORD processId) {
  return "FramewickTest.Stalled." + std::to_string(processId);
}

}  // namespace e2e
