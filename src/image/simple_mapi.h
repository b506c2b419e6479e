// Handing a file to the default mail program through Simple MAPI
// (MAPISendMail in the system's mapi32.dll, loaded on first use).
#pragma once

#include <string>

#include "image/mapi_rules.h"
#include "program/main_window.h"

namespace fw::simple_mapi {

// Whether a mail program that takes Simple MAPI calls is registered as the
// default (Software\Clients\Mail, the user's choice first, then the
// machine's). Without one the system's mapi32 would only show a message of
// its own, so Mail does not call it then.
bool MailProgramRegistered();

struct Outcome {
  mapi::Next next = mapi::Next::KeysHandOff;
  std::string message;     // for Next::ReportFailure
  bool abandoned = false;  // the program began to close while the call ran
};

// Asks the mail program to open a new message with the file at `path`
// (UTF-8) as its one attachment, no subject, no body and no recipient,
// for the user to send (MAPI_DIALOG | MAPI_LOGON_UI). The call runs on a
// thread of its own, since it returns only once the user has sent or
// closed the message; meanwhile the main window is disabled, as under a
// modal dialog, and the program goes on handling its events (painting,
// hotkeys). It is enabled again before this returns. Once the program
// begins to close, this returns at once (abandoned) and the call is left
// to end with the process.
Outcome SendWithMailProgram(const MainWindow& form, const std::string& path);

}  // namespace fw::simple_mapi
