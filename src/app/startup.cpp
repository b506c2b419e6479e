#include "app/startup.h"

#include <commctrl.h>

#include "platform/events.h"
#include "platform/lazy_library.h"
#include "platform/ole.h"

namespace fw {

int RunProgram(HINSTANCE instance, const StartOptions& options) {
  auto step = [&options](const char* name) {
    if (options.stepDone) options.stepDone(name);
  };
  lazy::RestrictLibrarySearch();
  // OLE starts when first needed (a picture, the Save dialog, the shell)
  // and ends with the program.
  ole::Session ole;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&icc);
  step("InitCommonControlsEx");

  Program program;
  Form1& form = program.form1;
  if (!form.Create(instance)) return 1;
  step("Form1::Create");
  if (!form.Form_Load()) return 0;  // the hotkeys could not be registered
  step("Form_Load");
  ::ShowWindow(form.hwnd(), SW_SHOWNORMAL);
  ::UpdateWindow(form.hwnd());
  step("shown_and_painted");
  return options.run ? options.run(program) : RunMessageLoop();
}

}  // namespace fw
