#include "platform/events.h"

#include <vector>

namespace fw {
namespace {

std::vector<MessageFilter>& Filters() {
  static std::vector<MessageFilter> filters;
  return filters;
}

int g_loadedForms = 0;

void Dispatch(MSG& msg) {
  for (auto& f : Filters()) {
    if (f(msg)) return;
  }
  ::TranslateMessage(&msg);
  ::DispatchMessageA(&msg);
}

}  // namespace

void AddMessageFilter(MessageFilter filter) {
  Filters().push_back(std::move(filter));
}

void DoEvents() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Leave it for the main loop, which ends the program.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    Dispatch(msg);
  }
}

void WaitForEvents(DWORD milliseconds) {
  ::MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

int RunMessageLoop() {
  MSG msg;
  while (true) {
    BOOL r = ::GetMessageA(&msg, nullptr, 0, 0);
    if (r == 0 || r == -1) break;
    Dispatch(msg);
  }
  return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
}

void FormLoaded() {
  ++g_loadedForms;
}

void FormUnloaded() {
  if (--g_loadedForms <= 0) ::PostQuitMessage(0);
}

}  // namespace fw
