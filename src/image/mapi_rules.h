// How Mail reaches the mail program: Simple MAPI first, the "mailto:"
// keystroke hand-off second, and what the user is told. Plain C++.
//
// Simple MAPI (MAPISendMail in the system's mapi32.dll) hands the file to
// the mail program registered under Software\Clients\Mail as the default,
// which shows its own message window with the file attached; the user
// sends it from there. Where no such mail program is registered, or the one
// registered turns the message down before it showed anything, the
// keystroke hand-off runs as before.
#pragma once

#include <string>
#include <string_view>

namespace fw::mapi {

// Simple MAPI's answers (mapi.h). The last two are newer than MinGW's header.
inline constexpr unsigned long kSuccess = 0;                  // SUCCESS_SUCCESS
inline constexpr unsigned long kUserAbort = 1;                // MAPI_USER_ABORT
inline constexpr unsigned long kFailure = 2;                  // MAPI_E_FAILURE
inline constexpr unsigned long kLogonFailure = 3;             // MAPI_E_LOGON_FAILURE
inline constexpr unsigned long kDiskFull = 4;                 // MAPI_E_DISK_FULL
inline constexpr unsigned long kInsufficientMemory = 5;       // MAPI_E_INSUFFICIENT_MEMORY
inline constexpr unsigned long kAccessDenied = 6;             // MAPI_E_ACCESS_DENIED
inline constexpr unsigned long kTooManySessions = 8;          // MAPI_E_TOO_MANY_SESSIONS
inline constexpr unsigned long kTooManyFiles = 9;             // MAPI_E_TOO_MANY_FILES
inline constexpr unsigned long kTooManyRecipients = 10;       // MAPI_E_TOO_MANY_RECIPIENTS
inline constexpr unsigned long kAttachmentNotFound = 11;      // MAPI_E_ATTACHMENT_NOT_FOUND
inline constexpr unsigned long kAttachmentOpenFailure = 12;   // MAPI_E_ATTACHMENT_OPEN_FAILURE
inline constexpr unsigned long kAttachmentWriteFailure = 13;  // MAPI_E_ATTACHMENT_WRITE_FAILURE
inline constexpr unsigned long kUnknownRecipient = 14;        // MAPI_E_UNKNOWN_RECIPIENT
inline constexpr unsigned long kBadRecipType = 15;            // MAPI_E_BAD_RECIPTYPE
inline constexpr unsigned long kNoMessages = 16;              // MAPI_E_NO_MESSAGES
inline constexpr unsigned long kInvalidMessage = 17;          // MAPI_E_INVALID_MESSAGE
inline constexpr unsigned long kTextTooLarge = 18;            // MAPI_E_TEXT_TOO_LARGE
inline constexpr unsigned long kInvalidSession = 19;          // MAPI_E_INVALID_SESSION
inline constexpr unsigned long kTypeNotSupported = 20;        // MAPI_E_TYPE_NOT_SUPPORTED
inline constexpr unsigned long kAmbiguousRecipient = 21;      // MAPI_E_AMBIGUOUS_RECIPIENT
inline constexpr unsigned long kMessageInUse = 22;            // MAPI_E_MESSAGE_IN_USE
inline constexpr unsigned long kNetworkFailure = 23;          // MAPI_E_NETWORK_FAILURE
inline constexpr unsigned long kInvalidEditFields = 24;       // MAPI_E_INVALID_EDITFIELDS
inline constexpr unsigned long kInvalidRecips = 25;           // MAPI_E_INVALID_RECIPS
inline constexpr unsigned long kNotSupported = 26;            // MAPI_E_NOT_SUPPORTED
inline constexpr unsigned long kUnicodeNotSupported = 27;     // MAPI_E_UNICODE_NOT_SUPPORTED
inline constexpr unsigned long kAttachmentTooLarge = 28;      // MAPI_E_ATTACHMENT_TOO_LARGE

// The call: the mail program shows its message window (MAPI_DIALOG) and
// may ask the user to sign in first (MAPI_LOGON_UI). The attachment has no
// place of its own in the body ((ULONG)-1).
inline constexpr unsigned long kLogonUi = 0x00000001;  // MAPI_LOGON_UI
inline constexpr unsigned long kDialog = 0x00000008;   // MAPI_DIALOG
inline constexpr unsigned long kSendFlags = kDialog | kLogonUi;
inline constexpr unsigned long kNoPosition = 0xFFFFFFFFul;

inline constexpr std::string_view kCouldNotTake = "The mail program could not take the file: ";

// The default mail program is named by the default value of
// Software\Clients\Mail: the user's own choice (HKEY_CURRENT_USER) where
// there is one, else the machine's (HKEY_LOCAL_MACHINE).
std::string ChosenMailProgram(std::string_view userChoice, std::string_view machineChoice);

// A mail program counts as one that takes Simple MAPI calls when it is
// named and its key gives the library that takes them (DLLPath) or the
// installer component that provides it (MSIComponentID).
bool TakesSimpleMapi(std::string_view name, std::string_view dllPath, std::string_view msiComponentId);

// What Mail does after asking the mail program.
enum class Next {
  Done,           // handed over, or the user cancelled the message: nothing more
  KeysHandOff,    // no mail program took it up: the "mailto:" hand-off
  ReportFailure,  // the mail program failed: say why; the file stays as it is
};

// After MAPISendMail(W) answered `result`. `windowSeen`: a window of the
// mail program came up during the call (its message window, a sign-in or
// an error of its own). MAPI_E_NOT_SUPPORTED means the mail program does
// not take such calls; MAPI_E_FAILURE before any window means it turned
// the message down before the user saw anything (not installed any more,
// not set up): both go on to the keystroke hand-off. The user cancelling
// the message is no failure. Every other answer is one.
Next AfterSendMail(unsigned long result, bool windowSeen);

// The answer in words, for "The mail program could not take the file: ".
std::string Reason(unsigned long result);
// kCouldNotTake + the reason.
std::string FailureMessage(unsigned long result);

// Where the system's mapi32.dll has only the ANSI MAPISendMail (Windows 7
// and earlier), the path goes in the ANSI code page; a path that does not
// convert exactly (a character outside the code page, or one that comes
// back as another) cannot be handed over: Mail says so and types nothing.
inline constexpr std::string_view kNameOutsideCodePage =
    "The mail program could not take the file: its name has characters that the mail program cannot take. "
    "Save the picture under a name with other characters and try again.";

// The name the recipient sees: the last part of the path (after the last
// "\\", "/" or the drive's ":").
std::string_view FileNameOf(std::string_view path);

}  // namespace fw::mapi
