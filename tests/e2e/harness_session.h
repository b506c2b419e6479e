// What the end-to-end tests of logoff, shutdown and a restarting shell
// need besides the harness: the system's end-of-session messages as the
// system sends them (the sender waits for the answer while the program
// asks the user), the shell's "TaskbarCreated" broadcast, and a barrier
// that respects the order of posted messages.
#pragma once

#include <windows.h>

#include <optional>

#include "harness.h"

namespace e2e {

// Sends WM_QUERYENDSESSION to a window from a thread of its own, so the
// test can answer the program's questions while the sender waits, as the
// system waits on a logoff. The thread is waited for (bounded) when the
// object goes.
class EndSessionQuery {
 public:
  EndSessionQuery(HWND target, LPARAM reasons = ENDSESSION_LOGOFF, DWORD timeoutMs = 60000);
  ~EndSessionQuery();
  EndSessionQuery(const EndSessionQuery&) = delete;
  EndSessionQuery& operator=(const EndSessionQuery&) = delete;

  // The program's answer once it has given one within `timeoutMs`: true
  // lets the session end. Empty while it has not answered (or the send
  // failed or timed out).
  std::optional<bool> WaitAnswer(DWORD timeoutMs);
  bool Answered() const;

 private:
  static DWORD WINAPI Run(void* self);
  HWND target_;
  LPARAM reasons_;
  DWORD timeoutMs_;
  HANDLE thread_ = nullptr;
  volatile LONG done_ = 0;
  volatile LONG sent_ = 0;
  DWORD_PTR result_ = 0;
};

// Sends WM_ENDSESSION (the system's word on whether the session really
// ends) and waits for the program to have handled it; false when it did not
// answer within the time.
bool SendEndSession(HWND target, bool ending, LPARAM reasons = ENDSESSION_LOGOFF, DWORD timeoutMs = 10000);

// The shell's announcement that it has (re)started, broadcast to every
// top-level window as the shell does.
void BroadcastTaskbarCreated();

}  // namespace e2e
