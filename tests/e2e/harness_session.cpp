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

namespace {

// The driver's window the program answers the barrier to.
HWND BarrierWindow() {
  static HWND window = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "FwTestBarrier";
    ::RegisterClassA(&wc);
    return ::CreateWindowExA(0, "FwTestBarrier", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ::GetModuleHandleA(nullptr),
                             nullptr);
  }();
  return window;
}

}  // namespace

bool PostedBarrier(HWND mainWindow, DWORD timeoutMs) {
  static const UINT barrier = ::RegisterWindowMessageA(kBarrierMessage);
  static LPARAM nextToken = 0x4200;
  HWND me = BarrierWindow();
  if (!barrier || !me || !mainWindow) return false;
  LPARAM token = ++nextToken;
  if (!::PostMessageA(mainWindow, barrier, reinterpret_cast<WPARAM>(me), token)) return false;
  DWORD start = ::GetTickCount();
  MSG msg;
  while (::GetTickCount() - start < timeoutMs) {
    // The driver's own windows (patterns) keep being served meanwhile.
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.hwnd == me && msg.message == barrier && msg.lParam == token) return true;
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    if (!::IsWindow(mainWindow)) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return false;
}

}  // namespace e2e
