// Takes many captures in one process through the program's own handlers
// and window, and reports whether its GDI and USER objects and its private
// memory stay flat after a warm-up. Usage: capture_soak [captures]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "app/startup.h"
#include "capture/capture_commands.h"
#include "gui_resources.h"
#include "image/picture_commands.h"
#include "platform/events.h"

namespace {

void Settle(HWND hwnd) {
  ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  fw::DoEvents();
}

void Report(const char* when, int done) {
  std::printf("%-6s captures=%5d gdi=%5ld user=%4ld private_kb=%8zu\n", when, done, e2e::GdiObjects(),
              e2e::UserObjects(), e2e::PrivateBytes() / 1024);
  std::fflush(stdout);
}

int Soak(fw::Program& program, int captures) {
  fw::Form1& form = program.form1;

  // Warm-up: the first capture, copy and paste create what stays (fonts,
  // brushes, the clipboard's bookkeeping).
  for (int i = 0; i < 3; ++i) {
    fw::capensc_Click(form);
    fw::Command8_Click(form);
    fw::Command9_Click(form);
    fw::Command13_Click(form);
    Settle(form.hwnd());
  }
  long gdi0 = e2e::GdiObjects(), user0 = e2e::UserObjects();
  std::size_t mem0 = e2e::PrivateBytes();
  Report("start", 0);

  for (int i = 1; i <= captures; ++i) {
    fw::capensc_Click(form);
    if (i % 10 == 0) {
      // Now and then the other picture paths too.
      fw::Command8_Click(form);
      fw::Command7_Click(form);
      fw::Command9_Click(form);
      fw::Command13_Click(form);
      fw::Command3_Click(form);
    }
    Settle(form.hwnd());
    if (i % (captures >= 1000 ? 100 : 50) == 0) Report("at", i);
  }
  fw::Command3_Click(form);
  Settle(form.hwnd());
  long gdi1 = e2e::GdiObjects(), user1 = e2e::UserObjects();
  std::size_t mem1 = e2e::PrivateBytes();
  Report("end", captures);

  bool flat = gdi1 <= gdi0 && user1 <= user0 && mem1 <= mem0 + 16 * 1024 * 1024;
  std::printf("result gdi %ld -> %ld, user %ld -> %ld, private %zu KB -> %zu KB: %s\n", gdi0, gdi1, user0, user1,
              mem0 / 1024, mem1 / 1024, flat ? "flat" : "GROWING");
  ::DestroyWindow(form.hwnd());
  return flat ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  int captures = argc > 1 ? std::atoi(argv[1]) : 1000;
  bool started = false;
  fw::StartOptions options;
  options.run = [&](fw::Program& program) {
    started = true;
    return Soak(program, captures);
  };
  int code = fw::RunProgram(::GetModuleHandleA(nullptr), options);
  return started ? code : 2;  // the program did not start
}
