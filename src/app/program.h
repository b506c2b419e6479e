// The composition root: the one instance of the shared state and of each
// of the three windows, wired together. The start (startup.cpp) makes one; so
// do the programs that run the program's code in a process of their own
// (the benchmarks, the in-process tests).
#pragma once

#include "about/about.h"
#include "app/form1.h"
#include "output/options_dialog.h"
#include "program/shared_state.h"

namespace fw {

struct Program {
  SharedState state;
  Form4 form4{state.options};
  FrmAbout frmAbout;
  Form1 form1{state, form4, frmAbout};
};

}  // namespace fw
