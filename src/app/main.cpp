// Framewick: a small screen-capture utility.
#include <windows.h>
#include <commctrl.h>

#include "app/program.h"
#include "platform/events.h"
#include "platform/lazy_library.h"
#include "platform/ole.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  fw::lazy::RestrictLibrarySearch();
  // OLE starts when first needed (a picture, the Save dialog, the shell)
  // and ends with the program.
  fw::ole::Session ole;
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
