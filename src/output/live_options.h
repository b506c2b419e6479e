// The Options dialog's controls as the captures read them: at the moment
// of use, not copies. A read loads the dialog, hidden, when it is not
// loaded (which reads the settings file). The dialog (Form4 in
// options_dialog.h) implements this; the main window hands it to the
// captures.
#pragma once

#include <string>

namespace fw {

class LiveOptions {
 public:
  virtual int Check1State() = 0;         // "Auto save to file": 0, 1 or 2
  virtual int Check2State() = 0;         // "Show program after each snap"
  virtual std::string Dir1Path() = 0;    // the directory list's current directory
  virtual std::string Combo1Text() = 0;  // the extension box's text

 protected:
  ~LiveOptions() = default;
};

}  // namespace fw
