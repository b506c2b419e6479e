// Framewick: a small screen-capture utility.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "app/program.h"
#include "platform/events.h"
#include "platform/lazy_library.h"

namespace {

// Keeps OLE initialised for the life of the program.
class OleSession {
 public:
  OleSession() : ok_(SUCCEEDED(::OleInitialize(nullptr))) {}
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;
  ~OleSession() {
    if (ok_) ::OleUninitialize();
  }

 private:
  bool ok_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  fw::lazy::RestrictLibrarySearch();
  OleSession ole;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&icc);

  fw::Program program;
  fw::Form1& form = program.form1;
  if (!form.Create(instance)) return 1;
  if (!form.Form_Load()) return 0;  // the hotkeys could not be registered
  ::ShowWindow(form.hwnd(), SW_SHOWNORMAL);
  ::UpdateWindow(form.hwnd());
  return fw::RunMessageLoop();
}
