// Holds the clipboard open, as a program in the middle of reading or
// writing it does, so that nobody else can open it.
//
//   clipboard_holder.exe <event name>
//
// Opens the clipboard with its hidden window (what the clipboard holds is
// left as it is) and titles the window "clipboard holder: open"; then
// waits until the named event is set or the window is closed, closes the
// clipboard and ends. Titles the window "clipboard holder: failed" and
// ends with 1 when the clipboard cannot be opened.
#include <windows.h>

#include <string>

namespace {

LRESULT CALLBACK HolderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  std::string eventName = commandLine ? commandLine : "";
  while (!eventName.empty() && eventName.back() == ' ') eventName.pop_back();
  HANDLE release = ::OpenEventA(SYNCHRONIZE, FALSE, eventName.c_str());
  if (!release) return 2;
  WNDCLASSA wc{};
  wc.lpfnWndProc = HolderProc;
  wc.hInstance = instance;
  wc.lpszClassName = "FwClipboardHolder";
  ::RegisterClassA(&wc);
  HWND hwnd = ::CreateWindowExA(0, "FwClipboardHolder", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  if (!hwnd) return 2;
  if (!::OpenClipboard(hwnd)) {
    ::SetWindowTextA(hwnd, "clipboard holder: failed");
    return 1;
  }
  ::SetWindowTextA(hwnd, "clipboard holder: open");
  bool running = true;
  while (running) {
    DWORD r = ::MsgWaitForMultipleObjects(1, &release, FALSE, 60000, QS_ALLINPUT);
    if (r != WAIT_OBJECT_0 + 1) break;  // released, or held long enough
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) running = false;
      ::DispatchMessageA(&msg);
    }
  }
  ::CloseClipboard();
  ::CloseHandle(release);
  ::DestroyWindow(hwnd);
  return 0;
}
