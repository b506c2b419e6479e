// The numbers and names by which the program's windows, controls and menu
// commands are known: to the program, which creates and dispatches them,
// and to the end-to-end tests, which find and drive them. Plain C++.
#pragma once

namespace fw::ids {

// ---- window classes ----
inline constexpr const char* kMainClass = "FramewickMain";
inline constexpr const char* kOptionsClass = "FramewickOptions";
inline constexpr const char* kOptionsOwnerClass = "FramewickOptionsOwner";
inline constexpr const char* kAboutClass = "FramewickAbout";
inline constexpr const char* kPictureBoxClass = "FramewickPictureBox";
inline constexpr const char* kImageControlClass = "FramewickImage";

// A registered window message the main window answers in the order of its
// queue: sent (posted) with wParam = a window of the sender and lParam = a
// token, it is posted back to that window with wParam 0 and the same token.
// Once the answer arrives, every message posted to the main window before
// the request has been dispatched.
inline constexpr const char* kBarrierMessage = "Framewick.Barrier";

// ---- the main window's menu commands ----
enum MenuId : int {
  kMenuNew = 201,
  kMenuExit = 202,           // exity
  kMenuCaptureScreen = 211,  // capensc, Ctrl+S
  kMenuCaptureForm = 212,    // sdform, Ctrl+F (unavailable)
  kMenuCaptureClient = 213,  // kjhkjh, Ctrl+C (unavailable)
  kMenuCaptureWindow = 214,  // snap, Ctrl+W
  kMenuClearPicture = 215,   // dfgd, Ctrl+A
  kMenuCaptureAll = 216,     // capall, Ctrl+Shift+S (every monitor)
  kMenuOptions = 221,        // Options2
  kMenuConfigureKeys = 222,  // keys (unavailable)
  kMenuHelp = 231,           // he
  kMenuVersion = 232,        // version
};

// ---- the main window's controls ----
// Kept clear of IDOK (1) and IDCANCEL (2), which dialog navigation sends.
enum MainControlId : int {
  kPicture2 = 100,   // the strip of buttons
  kPicture1 = 101,   // the picture area
  kImage1 = 102,     // inside the picture area
  kCommand1 = 111,   // Window
  kCommand2 = 112,   // Screen
  kCommand3 = 113,   // Clear
  kCommand4 = 114,   // Save
  kCommand6 = 116,   // Tray
  kCommand7 = 117,   // Cut
  kCommand8 = 118,   // Copy
  kCommand9 = 119,   // Paste
  kCommand10 = 120,  // Mail
  kCommand11 = 121,  // Print
  kCommand12 = 122,  // Exit
  kCommand13 = 123,  // inside the picture area
};

// ---- the Options dialog (Form4) ----
enum OptionsControlId : int {
  kOptionsFrame1 = 401,
  kOptionsCheck1 = 402,  // "Auto save to file"
  kOptionsDir1 = 403,
  kOptionsSkinLabel1 = 404,
  kOptionsCombo1 = 405,
  kOptionsFrame2 = 406,
  kOptionsCheck2 = 407,  // "Show program after each snap"
  kOptionsApply = 408,   // Command1, "Apply"
};

// ---- the Version Info window (frmAbout) ----
enum AboutControlId : int {
  kAboutOK = 1,  // IDOK: Enter reaches the window as this command
  kAboutSysInfo = 301,
  kAboutSkinLabel1 = 302,
  kAboutSkinLabel2 = 303,
  kAboutSkinLabel4 = 304,
  kAboutPicture1 = 305,
  kAboutFrame1 = 306,
  kAboutLine1First = 307,
  kAboutLine1Second = 308,
};

}  // namespace fw::ids
