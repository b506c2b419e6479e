#include "harness_session.h"

namespace e2e {

EndSessionQuery::EndSessionQuery(HWND target, LPARAM reasons, DWORD timeoutMs)
    : target_(target), reasons_(reasons), timeoutMs_(timeoutMs) {
  thread_ = ::CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

EndSessionQuery::~EndSessionQuery() {
  if (thread_) {
    ::WaitForSingleObject(thread_, timeoutMs_ + 5000);
    ::CloseHandle(thread_);
  }
}

DWORD WINAPI EndSessionQuery::Run(void* self) {
  auto* q = static_cast<EndSessionQuery*>(self);
  DWORD_PTR result = 0;
  LRESULT sent =
      ::SendMessageTimeoutA(q->target_, WM_QUERYENDSESSION, 0, q->reasons_, SMTO_NORMAL, q->timeoutMs_, &result);
  q->result_ = result;
  ::InterlockedExchange(&q->sent_, sent != 0 ? 1 : 0);
  ::InterlockedExchange(&q->done_, 1);
  return 0;
}

bool EndSessionQuery::Answered() const {
  return done_ != 0 && sent_ != 0;
}

std::optional<bool> EndSessionQuery::WaitAnswer(DWORD timeoutMs) {
  if (!thread_) return std::nullopt;
  WaitUntil([&] { return done_ != 0; }, timeoutMs);
  if (!Answered()) return std::nullopt;
  return result_ != FALSE;
}

bool SendEndSession(HWND target, bool ending, LPARAM reasons, DWORD timeoutMs) {
  DWORD_PTR result = 0;
  return ::SendMessageTimeoutA(target, WM_ENDSESSION, ending ? TRUE : FALSE, reasons, SMTO_NORMAL, timeoutMs,
                               &result) != 0;
}

void BroadcastTaskbarCreated() {
  ::PostMessageA(HWND_BROADCAST, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
}

}  // namespace e2e
