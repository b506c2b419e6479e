// Which handler each of the main window's buttons, menu items and shortcut
// keys runs, and what each is handed.
#include "app/form1.h"

#include "app/layout_rules.h"
#include "app/main_menu.h"
#include "capture/capture_commands.h"
#include "image/mail.h"
#include "image/picture_commands.h"
#include "image/save.h"
#include "output/print.h"
#include "tray/tray.h"

namespace fw {

void Form1::OnCommand(int id, int code) {
  // Buttons report BN_CLICKED (menus 0, the same value), shortcut keys 1.
  if (code != BN_CLICKED && code != 1) return;
  switch (MenuCommandOf(id)) {
    // The command strip and the picture area.
    case layout::kCommand2: Command2_Click(capture_); break;
    case layout::kCommand1: Command1_Click(capture_); break;
    case layout::kCommand3: Command3_Click(*this); break;
    case layout::kCommand7: Command7_Click(*this); break;
    case layout::kCommand8: Command8_Click(*this); break;
    case layout::kCommand9: Command9_Click(*this); break;
    case layout::kCommand4: Command4_Click(*this, state_); break;
    case layout::kCommand11: Command11_Click(*this); break;
    case layout::kCommand10: Command10_Click(*this, state_); break;
    case layout::kCommand6: Command6_Click(*this); break;
    case layout::kCommand12: Command12_Click(); break;
    case layout::kCommand13: Command13_Click(*this); break;
    // File
    case ids::kMenuNew: New_Click(*this, state_); break;
    case ids::kMenuExit: exity_Click(); break;
    // Shortcuts (their keys)
    case ids::kMenuCaptureScreen: capensc_Click(*this); break;
    case ids::kMenuCaptureAll: capall_Click(*this); break;
    case ids::kMenuCaptureForm: sdform_Click(*this); break;
    case ids::kMenuCaptureClient: kjhkjh_Click(*this); break;
    case ids::kMenuCaptureWindow: snap_Click(*this); break;
    case ids::kMenuClearPicture: dfgd_Click(*this); break;
    // Options and Help
    case ids::kMenuOptions: Options2_Click(form4_); break;
    case ids::kMenuHelp: he_Click(*this); break;
    case ids::kMenuVersion: version_Click(frmAbout_, *this); break;
    default: break;
  }
}

}  // namespace fw
