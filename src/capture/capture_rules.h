// What the capture commands say and when their waits end. Plain C++.
#pragma once

#include <cstdint>
#include <string>

namespace fw::capture {

enum class CaptureKind { Screen, Window };

// The notice a capture button shows before its delay.
std::string NoticeText(int delaySeconds, CaptureKind kind);
std::string NoticeTitle(CaptureKind kind);

// A wait that should last `delaySeconds` ends at the first clock reading (in
// whole seconds) later than start + delay.
inline std::int64_t WaitEnd(std::int64_t nowSeconds, int delaySeconds) {
  return nowSeconds + delaySeconds;
}
inline bool WaitIsOver(std::int64_t nowSeconds, std::int64_t endSeconds) {
  return nowSeconds > endSeconds;
}

// The camera sound beside the program; the separator is always added.
std::string CameraSoundPath(const std::string& programDir);

}  // namespace fw::capture
