#include "harness/wait.h"

#include <algorithm>

namespace e2e {

void PumpMessages() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

void Sleep(DWORD ms) {
  DWORD start = ::GetTickCount();
  do {
    PumpMessages();
    DWORD elapsed = ::GetTickCount() - start;
    if (elapsed >= ms) break;
    // Wakes as soon as a message of the driver's arrives.
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(ms - elapsed, 10), QS_ALLINPUT);
  } while (true);
}

bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs, DWORD stepMs) {
  DWORD start = ::GetTickCount();
  while (true) {
    PumpMessages();
    if (cond()) return true;
    if (::GetTickCount() - start >= timeoutMs) return false;
    Sleep(stepMs);
  }
}

}  // namespace e2e
