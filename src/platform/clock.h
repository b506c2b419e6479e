// The clock the program's waits read: whole seconds of a steady clock, so a
// change of the wall clock (daylight saving, the user setting the time)
// neither stretches nor cuts a wait.
#pragma once

#include <windows.h>

#include <cstdint>

namespace fw {

inline std::int64_t NowSeconds() {
  return static_cast<std::int64_t>(::GetTickCount64() / 1000);
}

}  // namespace fw
