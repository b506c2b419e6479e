#include "image/simple_mapi.h"

#include <windows.h>

#include <mapi.h>
#include <ole2.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <utility>

#include "platform/events.h"
#include "platform/handles.h"
#include "platform/lazy_library.h"
#include "platform/text.h"

namespace fw::simple_mapi {
namespace {

static_assert(mapi::kSuccess == SUCCESS_SUCCESS && mapi::kUserAbort == MAPI_USER_ABORT &&
              mapi::kFailure == MAPI_E_FAILURE && mapi::kLogonFailure == MAPI_E_LOGON_FAILURE &&
              mapi::kDiskFull == MAPI_E_DISK_FULL && mapi::kInsufficientMemory == MAPI_E_INSUFFICIENT_MEMORY &&
              mapi::kAccessDenied == MAPI_E_ACCESS_DENIED && mapi::kTooManySessions == MAPI_E_TOO_MANY_SESSIONS &&
              mapi::kTooManyFiles == MAPI_E_TOO_MANY_FILES && mapi::kTooManyRecipients == MAPI_E_TOO_MANY_RECIPIENTS);
static_assert(mapi::kAttachmentNotFound == MAPI_E_ATTACHMENT_NOT_FOUND &&
              mapi::kAttachmentOpenFailure == MAPI_E_ATTACHMENT_OPEN_FAILURE &&
              mapi::kAttachmentWriteFailure == MAPI_E_ATTACHMENT_WRITE_FAILURE &&
              mapi::kUnknownRecipient == MAPI_E_UNKNOWN_RECIPIENT && mapi::kBadRecipType == MAPI_E_BAD_RECIPTYPE &&
              mapi::kNoMessages == MAPI_E_NO_MESSAGES && mapi::kInvalidMessage == MAPI_E_INVALID_MESSAGE &&
              mapi::kTextTooLarge == MAPI_E_TEXT_TOO_LARGE && mapi::kInvalidSession == MAPI_E_INVALID_SESSION);
static_assert(mapi::kTypeNotSupported == MAPI_E_TYPE_NOT_SUPPORTED &&
              mapi::kAmbiguousRecipient == MAPI_E_AMBIGUOUS_RECIPIENT && mapi::kMessageInUse == MAPI_E_MESSAGE_IN_USE &&
              mapi::kNetworkFailure == MAPI_E_NETWORK_FAILURE &&
              mapi::kInvalidEditFields == MAPI_E_INVALID_EDITFIELDS && mapi::kInvalidRecips == MAPI_E_INVALID_RECIPS &&
              mapi::kNotSupported == MAPI_E_NOT_SUPPORTED);
static_assert(mapi::kLogonUi == MAPI_LOGON_UI && mapi::kDialog == MAPI_DIALOG);

// The wide forms of Simple MAPI's records (MapiFileDescW, MapiRecipDescW,
// MapiMessageW in the Windows SDK's mapi.h), which MinGW's header lacks:
// the ANSI records with wide strings, member for member.
struct MapiFileDescW {
  ULONG ulReserved;
  ULONG flFlags;
  ULONG nPosition;
  PWSTR lpszPathName;
  PWSTR lpszFileName;
  PVOID lpFileType;
};

struct MapiRecipDescW {
  ULONG ulReserved;
  ULONG ulRecipClass;
  PWSTR lpszName;
  PWSTR lpszAddress;
  ULONG ulEIDSize;
  PVOID lpEntryID;
};

struct MapiMessageW {
  ULONG ulReserved;
  PWSTR lpszSubject;
  PWSTR lpszNoteText;
  PWSTR lpszMessageType;
  PWSTR lpszDateReceived;
  PWSTR lpszConversationID;
  FLAGS flFlags;
  MapiRecipDescW* lpOriginator;
  ULONG nRecipCount;
  MapiRecipDescW* lpRecips;
  ULONG nFileCount;
  MapiFileDescW* lpFiles;
};

using MapiSendMailWFn = ULONG WINAPI(LHANDLE, ULONG_PTR, MapiMessageW*, FLAGS, ULONG);

// The documented layout: 32-bit ULONGs, pointers of the architecture's
// size on their natural alignment, as the ANSI records of the platform's
// header have them.
#define FW_SAME_PLACE(wide, ansi, member) (offsetof(wide, member) == offsetof(ansi, member))
static_assert(sizeof(ULONG) == 4 && sizeof(FLAGS) == 4);
static_assert(sizeof(MapiFileDescW) == sizeof(MapiFileDesc) && FW_SAME_PLACE(MapiFileDescW, MapiFileDesc, nPosition) &&
              FW_SAME_PLACE(MapiFileDescW, MapiFileDesc, lpszPathName) &&
              FW_SAME_PLACE(MapiFileDescW, MapiFileDesc, lpszFileName) &&
              FW_SAME_PLACE(MapiFileDescW, MapiFileDesc, lpFileType));
static_assert(sizeof(MapiRecipDescW) == sizeof(MapiRecipDesc) &&
              FW_SAME_PLACE(MapiRecipDescW, MapiRecipDesc, lpszName) &&
              FW_SAME_PLACE(MapiRecipDescW, MapiRecipDesc, ulEIDSize) &&
              FW_SAME_PLACE(MapiRecipDescW, MapiRecipDesc, lpEntryID));
static_assert(sizeof(MapiMessageW) == sizeof(MapiMessage) && FW_SAME_PLACE(MapiMessageW, MapiMessage, lpszSubject) &&
              FW_SAME_PLACE(MapiMessageW, MapiMessage, flFlags) &&
              FW_SAME_PLACE(MapiMessageW, MapiMessage, lpOriginator) &&
              FW_SAME_PLACE(MapiMessageW, MapiMessage, nRecipCount) &&
              FW_SAME_PLACE(MapiMessageW, MapiMessage, lpRecips) &&
              FW_SAME_PLACE(MapiMessageW, MapiMessage, nFileCount) &&
              FW_SAME_PLACE(MapiMessageW, MapiMessage, lpFiles));
#undef FW_SAME_PLACE
#if defined(_WIN64)
static_assert(sizeof(MapiFileDescW) == 40 && offsetof(MapiFileDescW, lpszPathName) == 16);
static_assert(sizeof(MapiRecipDescW) == 40 && offsetof(MapiRecipDescW, lpEntryID) == 32);
static_assert(sizeof(MapiMessageW) == 96 && offsetof(MapiMessageW, flFlags) == 48 &&
              offsetof(MapiMessageW, nFileCount) == 80 && offsetof(MapiMessageW, lpFiles) == 88);
#else
static_assert(sizeof(MapiFileDescW) == 24 && offsetof(MapiFileDescW, lpszPathName) == 12);
static_assert(sizeof(MapiRecipDescW) == 24 && offsetof(MapiRecipDescW, lpEntryID) == 20);
static_assert(sizeof(MapiMessageW) == 48 && offsetof(MapiMessageW, flFlags) == 24 &&
              offsetof(MapiMessageW, nFileCount) == 40 && offsetof(MapiMessageW, lpFiles) == 44);
#endif

constexpr const char* kMapiLibrary = "mapi32.dll";
// How often the program looks, while the call runs, whether a window of
// the mail program has come up.
constexpr DWORD kLookIntervalMs = 50;

// ---- the registration ----

// A string value (REG_SZ or REG_EXPAND_SZ, unexpanded) of root\key, as
// UTF-8; empty when there is none.
std::string ReadString(HKEY root, const std::wstring& key, const wchar_t* value) {
  HKEY raw = nullptr;
  if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return {};
  UniqueHKey opened(raw);
  DWORD type = 0;
  DWORD size = 0;
  if (::RegQueryValueExW(opened.get(), value, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ) || size < sizeof(wchar_t)) {
    return {};
  }
  std::wstring text(size / sizeof(wchar_t), L'\0');
  if (::RegQueryValueExW(opened.get(), value, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) !=
      ERROR_SUCCESS) {
    return {};
  }
  text.resize(size / sizeof(wchar_t));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return Narrow(text);
}

constexpr const wchar_t* kMailKey = L"Software\\Clients\\Mail";

// ---- the call ----

// What the thread of the call is given and gives back. Shared between the
// user-interface thread and the call's thread, so that either may go
// first: the program may close while the call still runs.
struct Call {
  MapiSendMailWFn* sendWide = nullptr;
  LPMAPISENDMAIL sendAnsi = nullptr;
  decltype(&::OleInitialize) oleInitialize = nullptr;
  decltype(&::OleUninitialize) oleUninitialize = nullptr;
  std::wstring pathW, nameW;
  std::string pathA, nameA;
  ULONG result = mapi::kFailure;  // written by the call's thread before it ends

  ULONG Send() {
    if (sendWide) {
      MapiFileDescW file{};
      file.nPosition = mapi::kNoPosition;
      file.lpszPathName = pathW.data();
      file.lpszFileName = nameW.data();
      MapiMessageW message{};
      message.nFileCount = 1;
      message.lpFiles = &file;
      return sendWide(0, 0, &message, mapi::kSendFlags, 0);
    }
    MapiFileDesc file{};
    file.nPosition = mapi::kNoPosition;
    file.lpszPathName = pathA.data();
    file.lpszFileName = nameA.data();
    MapiMessage message{};
    message.nFileCount = 1;
    message.lpFiles = &file;
    return sendAnsi(0, 0, &message, mapi::kSendFlags, 0);
  }
};

// The call's thread. The mail program may show its message window on it,
// so it is a single-threaded OLE apartment, as a program's user-interface
// thread is. It touches nothing but its Call.
DWORD WINAPI CallThread(void* param) {
  std::unique_ptr<std::shared_ptr<Call>> handed(static_cast<std::shared_ptr<Call>*>(param));
  std::shared_ptr<Call> call = std::move(*handed);
  handed.reset();
  bool ole = call->oleInitialize && SUCCEEDED(call->oleInitialize(nullptr));
  call->result = call->Send();
  if (ole && call->oleUninitialize) call->oleUninitialize();
  return 0;
}

// Owns the call's thread, which is waited for until it ends (the handle
// signals). A call still running when the program closes is let go: its
// thread keeps its own share of the Call and ends with the process.
class CallThreadOwner {
 public:
  bool Start(std::shared_ptr<Call> call) {
    auto handed = std::make_unique<std::shared_ptr<Call>>(std::move(call));
    HANDLE thread = ::CreateThread(nullptr, 0, CallThread, handed.get(), 0, nullptr);
    if (!thread) return false;
    handed.release();  // the thread owns it now
    thread_.reset(thread);
    return true;
  }
  HANDLE handle() const { return thread_.get(); }

 private:
  UniqueKernelHandle thread_;
};

// The main window disabled for as long as the call runs, as under a modal
// dialog: the mail program's message window is the one to work in. It is
// enabled again before anything is said, and brought back to the front
// when the front was last seen on a window of this program (the message
// window, shown on the call's thread, has just gone); not when the user
// went on in another program, or the mail program keeps its own window.
class DisabledWhileCalling {
 public:
  explicit DisabledWhileCalling(HWND window)
      : window_(window), focus_(::GetFocus()), disabled_(window && !::EnableWindow(window, FALSE)) {}
  DisabledWhileCalling(const DisabledWhileCalling&) = delete;
  DisabledWhileCalling& operator=(const DisabledWhileCalling&) = delete;
  ~DisabledWhileCalling() { Enable(false); }

  void Enable(bool toFront) {
    if (!std::exchange(disabled_, false) || !::IsWindow(window_)) return;
    ::EnableWindow(window_, TRUE);
    if (toFront && ::IsWindowVisible(window_) && !::IsIconic(window_)) ::SetForegroundWindow(window_);
    if (::GetActiveWindow() == window_ && !::GetFocus()) {
      ::SetFocus(focus_ && ::IsWindow(focus_) && ::IsChild(window_, focus_) ? focus_ : window_);
    }
  }

 private:
  HWND window_;
  HWND focus_;
  bool disabled_;
};

bool OfThisProcess(HWND window) {
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  return process == ::GetCurrentProcessId();
}

// Looks, while the call runs, whether a window of the mail program has
// come up: a visible top-level window of this process made by another
// thread than the user-interface thread (a mail program that works inside
// its caller, on the call's thread), or another program's window that has
// come to the front since the call began (a mail program that works in a
// process of its own). Also where the front was last seen.
class MailWindowWatch {
 public:
  MailWindowWatch()
      : frontAtStart_(::GetForegroundWindow()), frontOurs_(!frontAtStart_ || OfThisProcess(frontAtStart_)) {}

  void Look() {
    HWND front = ::GetForegroundWindow();
    frontOurs_ = !front || OfThisProcess(front);
    if (seen_) return;
    if (front && front != frontAtStart_ && !frontOurs_) {
      seen_ = true;
      return;
    }
    ::EnumWindows(&MailWindowWatch::Visit, reinterpret_cast<LPARAM>(this));
  }
  bool seen() const { return seen_; }
  bool frontWasOurs() const { return frontOurs_; }

 private:
  static BOOL CALLBACK Visit(HWND window, LPARAM param) {
    auto* self = reinterpret_cast<MailWindowWatch*>(param);
    DWORD process = 0;
    DWORD thread = ::GetWindowThreadProcessId(window, &process);
    if (process == ::GetCurrentProcessId() && thread != ::GetCurrentThreadId() && ::IsWindowVisible(window)) {
      self->seen_ = true;
      return FALSE;
    }
    return TRUE;
  }

  HWND frontAtStart_;
  bool frontOurs_;
  bool seen_ = false;
};

// `wide` in the ANSI code page, when it converts exactly: no character
// replaced by another or by the default character.
std::optional<std::string> InAnsiCodePage(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int length = static_cast<int>(wide.size());
  const bool utf8 = ::GetACP() == CP_UTF8;  // takes neither the flag nor the default-character report
  BOOL usedDefault = FALSE;
  DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL* reportDefault = utf8 ? nullptr : &usedDefault;
  int n = ::WideCharToMultiByte(CP_ACP, flags, wide.data(), length, nullptr, 0, nullptr, reportDefault);
  if (n <= 0) return std::nullopt;
  std::string ansi(static_cast<std::size_t>(n), '\0');
  if (::WideCharToMultiByte(CP_ACP, flags, wide.data(), length, ansi.data(), n, nullptr, reportDefault) != n ||
      usedDefault) {
    return std::nullopt;
  }
  int back = ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), n, nullptr, 0);
  if (back != length) return std::nullopt;
  std::wstring again(static_cast<std::size_t>(back), L'\0');
  ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), n, again.data(), back);
  if (again != wide) return std::nullopt;
  return ansi;
}

}  // namespace

bool MailProgramRegistered() {
  std::string name = mapi::ChosenMailProgram(ReadString(HKEY_CURRENT_USER, kMailKey, nullptr),
                                             ReadString(HKEY_LOCAL_MACHINE, kMailKey, nullptr));
  if (name.empty()) return false;
  std::wstring key = std::wstring(kMailKey) + L"\\" + Widen(name);
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    if (mapi::TakesSimpleMapi(name, ReadString(root, key, L"DLLPath"), ReadString(root, key, L"MSIComponentID"))) {
      return true;
    }
  }
  return false;
}

Outcome SendWithMailProgram(const MainWindow& form, const std::string& path) {
  // Looked up here, on the user-interface thread: the call's thread only
  // calls what it is given.
  static auto* sendWide = lazy::Function<MapiSendMailWFn>(kMapiLibrary, "MAPISendMailW");
  static auto* sendAnsi = lazy::Function<MAPISENDMAIL>(kMapiLibrary, "MAPISendMail");
  static auto* oleInitialize = lazy::Function<decltype(::OleInitialize)>("ole32.dll", "OleInitialize");
  static auto* oleUninitialize = lazy::Function<decltype(::OleUninitialize)>("ole32.dll", "OleUninitialize");
  if (!sendWide && !sendAnsi) return {mapi::Next::KeysHandOff, {}, false};

  auto call = std::make_shared<Call>();
  call->sendWide = sendWide;
  call->sendAnsi = sendAnsi;
  call->oleInitialize = oleInitialize;
  call->oleUninitialize = oleUninitialize;
  call->pathW = Widen(path);
  call->nameW = Widen(mapi::FileNameOf(path));
  if (!sendWide) {
    std::optional<std::string> pathA = InAnsiCodePage(call->pathW);
    std::optional<std::string> nameA = InAnsiCodePage(call->nameW);
    if (!pathA || !nameA) return {mapi::Next::ReportFailure, std::string(mapi::kNameOutsideCodePage), false};
    call->pathA = std::move(*pathA);
    call->nameA = std::move(*nameA);
  }

  MailWindowWatch watch;
  {
    DisabledWhileCalling disabled(form.hwnd());
    CallThreadOwner thread;
    if (!thread.Start(call)) return {mapi::Next::KeysHandOff, {}, false};
    for (;;) {
      HANDLE ended = thread.handle();
      DWORD woke = ::MsgWaitForMultipleObjectsEx(1, &ended, kLookIntervalMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
      if (woke == WAIT_OBJECT_0) break;
      watch.Look();
      DoEvents();
      if (form.Closing()) return {mapi::Next::Done, {}, true};
    }
    disabled.Enable(watch.frontWasOurs());
  }
  mapi::Next next = mapi::AfterSendMail(call->result, watch.seen());
  return {next, next == mapi::Next::ReportFailure ? mapi::FailureMessage(call->result) : std::string(), false};
}

}  // namespace fw::simple_mapi
