#include "image/mapi_rules.h"

namespace fw::mapi {

std::string ChosenMailProgram(std::string_view userChoice, std::string_view machineChoice) {
  return std::string(userChoice.empty() ? machineChoice : userChoice);
}

bool TakesSimpleMapi(std::string_view name, std::string_view dllPath, std::string_view msiComponentId) {
  return !name.empty() && (!dllPath.empty() || !msiComponentId.empty());
}

Next AfterSendMail(unsigned long result, bool windowSeen) {
  switch (result) {
    case kSuccess:
    case kUserAbort: return Next::Done;
    case kNotSupported: return Next::KeysHandOff;
    case kFailure: return windowSeen ? Next::ReportFailure : Next::KeysHandOff;
    default: return Next::ReportFailure;
  }
}

std::string Reason(unsigned long result) {
  switch (result) {
    case kFailure: return "it reported an error.";
    case kLogonFailure: return "signing in to the mail account did not succeed.";
    case kDiskFull: return "the disk is full.";
    case kInsufficientMemory: return "there was not enough memory.";
    case kAccessDenied: return "access was denied.";
    case kTooManySessions: return "too many mail sessions are open.";
    case kTooManyFiles: return "it takes fewer attachments.";
    case kTooManyRecipients: return "there were too many recipients.";
    case kAttachmentNotFound: return "the file was not found. It may have been moved or deleted since it was saved.";
    case kAttachmentOpenFailure: return "the file could not be opened.";
    case kAttachmentWriteFailure: return "the attachment could not be written.";
    case kUnknownRecipient: return "a recipient is not known.";
    case kBadRecipType: return "a recipient is of the wrong kind.";
    case kNoMessages: return "there are no messages.";
    case kInvalidMessage: return "the message is not valid.";
    case kTextTooLarge: return "the text is too long.";
    case kInvalidSession: return "the mail session is not valid.";
    case kTypeNotSupported: return "it does not take this kind of message.";
    case kAmbiguousRecipient: return "a recipient's name is ambiguous.";
    case kMessageInUse: return "the message is in use.";
    case kNetworkFailure: return "the network failed.";
    case kInvalidEditFields: return "the address fields are not valid.";
    case kInvalidRecips: return "a recipient is not valid.";
    case kNotSupported: return "it does not support this.";
    case kUnicodeNotSupported: return "it does not take text outside the system's code page.";
    case kAttachmentTooLarge: return "the file is too large to attach.";
    default: return "it answered with the unknown code " + std::to_string(result) + ".";
  }
}

std::string FailureMessage(unsigned long result) {
  return std::string(kCouldNotTake) + Reason(result);
}

std::string_view FileNameOf(std::string_view path) {
  std::size_t slash = path.find_last_of("\\/:");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace fw::mapi
