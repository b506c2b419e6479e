// Test library: a stand-in Simple MAPI mail program. Registered as the
// default mail program (HKLM\Software\Clients\Mail, default value
// "Framewick Test Mail"; its key's DLLPath names this library), it is what
// the system's mapi32 hands MAPISendMail and MAPISendMailW calls to.
//
// It reads what to do from its own key (values the test sets):
//   Log     the file it appends its record to (UTF-8 lines)
//   Window  1: show a message window (on a thread of its own) and return
//           only once it is closed (WM_CLOSE), the calling thread blocked
//           meanwhile; 0: return at once, without any window
//   Result  what the call answers (SUCCESS_SUCCESS when missing)
//
// Its record of one call:
//   call MAPISendMailW | call MAPISendMail
//   session <n> / flags <n> / reserved <n>
//   subject <text> | subject (none) / body ... / type ... / originator ...
//   recipients <n>, then "recipient <class> <name> <address>" each
//   files <n>, then "file <path>", "name <file name>", "position <n>" each
//   window shown / window closed (with Window 1)
//   result <n>
// ANSI strings are read in the ANSI code page; everything is written as
// UTF-8.
#include <windows.h>

#include <mapi.h>

#include <string>

namespace {

constexpr const wchar_t* kKey = L"Software\\Clients\\Mail\\Framewick Test Mail";
constexpr const wchar_t* kWindowClass = L"FwMapiStandIn";

// The wide records, as the Windows SDK declares them.
struct FileW {
  ULONG ulReserved;
  ULONG flFlags;
  ULONG nPosition;
  PWSTR lpszPathName;
  PWSTR lpszFileName;
  PVOID lpFileType;
};
struct RecipW {
  ULONG ulReserved;
  ULONG ulRecipClass;
  PWSTR lpszName;
  PWSTR lpszAddress;
  ULONG ulEIDSize;
  PVOID lpEntryID;
};
struct MessageW {
  ULONG ulReserved;
  PWSTR lpszSubject;
  PWSTR lpszNoteText;
  PWSTR lpszMessageType;
  PWSTR lpszDateReceived;
  PWSTR lpszConversationID;
  FLAGS flFlags;
  RecipW* lpOriginator;
  ULONG nRecipCount;
  RecipW* lpRecips;
  ULONG nFileCount;
  FileW* lpFiles;
};

std::wstring ReadString(const wchar_t* value) {
  wchar_t buf[4096];
  DWORD size = sizeof buf;
  DWORD type = 0;
  if (::RegGetValueW(HKEY_LOCAL_MACHINE, kKey, value, RRF_RT_REG_SZ, &type, buf, &size) != ERROR_SUCCESS) return {};
  return buf;
}

DWORD ReadNumber(const wchar_t* value, DWORD otherwise) {
  DWORD n = 0;
  DWORD size = sizeof n;
  if (::RegGetValueW(HKEY_LOCAL_MACHINE, kKey, value, RRF_RT_REG_DWORD, nullptr, &n, &size) != ERROR_SUCCESS) {
    return otherwise;
  }
  return n;
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) {
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  }
  return out;
}

std::wstring FromAnsi(const char* text) {
  if (!text || !*text) return {};
  int n = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, text, -1, out.data(), n);
  if (!out.empty()) out.pop_back();
  return out;
}

class Record {
 public:
  Record() : path_(ReadString(L"Log")) {}
  void Line(const std::string& line) {
    if (path_.empty()) return;
    std::string bytes = line + "\r\n";
    HANDLE f = ::CreateFileW(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD put = 0;
    ::WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    ::CloseHandle(f);
  }
  void Text(const char* what, const wchar_t* text) {
    std::string line(what);
    line += ' ';
    line += text ? Utf8(text) : std::string("(none)");
    Line(line);
  }
  void Number(const char* what, unsigned long long n) { Line(std::string(what) + " " + std::to_string(n)); }

 private:
  std::wstring path_;
};

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

// The message window, on a thread of its own as a mail program's window
// is in a process of its own: shown, and run until it is closed.
DWORD WINAPI MessageWindowThread(void* param) {
  Record& record = *static_cast<Record*>(param);
  HINSTANCE instance = nullptr;
  ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&WindowProc), &instance);
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kWindowClass;
  ::RegisterClassW(&wc);
  HWND window = ::CreateWindowExW(0, kWindowClass, L"New Message - Framewick Test Mail", WS_OVERLAPPEDWINDOW, 300, 200,
                                  400, 300, nullptr, nullptr, instance, nullptr);
  if (!window) {
    record.Line("window failed");
    return 0;
  }
  ::ShowWindow(window, SW_SHOWNORMAL);
  ::UpdateWindow(window);
  record.Line("window shown");
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  record.Line("window closed");
  return 0;
}

// The call waits for the message window without handling any message of
// the calling thread, as a call into a mail program of its own process
// waits: a caller that made it on its user-interface thread would stop
// answering until the window is closed.
void RunMessageWindow(Record& record) {
  HANDLE thread = ::CreateThread(nullptr, 0, MessageWindowThread, &record, 0, nullptr);
  if (!thread) {
    record.Line("window failed");
    return;
  }
  ::WaitForSingleObject(thread, INFINITE);
  ::CloseHandle(thread);
}

void RecordRecipient(Record& record, const char* what, ULONG recipClass, const wchar_t* name, const wchar_t* address) {
  std::string line(what);
  line += ' ';
  line += std::to_string(recipClass);
  line += ' ';
  line += Utf8(name ? name : L"(none)");
  line += ' ';
  line += Utf8(address ? address : L"(none)");
  record.Line(line);
}

ULONG Answer(Record& record) {
  if (ReadNumber(L"Window", 1) != 0) RunMessageWindow(record);
  ULONG result = ReadNumber(L"Result", SUCCESS_SUCCESS);
  record.Number("result", result);
  return result;
}

// Text of an ANSI string, or null for none.
struct AnsiText {
  explicit AnsiText(const char* text) : present(text != nullptr), wide(FromAnsi(text)) {}
  const wchar_t* get() const { return present ? wide.c_str() : nullptr; }
  bool present;
  std::wstring wide;
};

// A wide text as it is, for the template below.
struct WideText {
  explicit WideText(const wchar_t* text) : text(text) {}
  const wchar_t* get() const { return text; }
  const wchar_t* text;
};

AnsiText TextOf(const char* text) {
  return AnsiText(text);
}
WideText TextOf(const wchar_t* text) {
  return WideText(text);
}

// Records a call of either function (MapiMessage or MapiMessageW) and
// answers it.
template <typename Message>
ULONG RecordCall(const char* call, LHANDLE session, ULONG_PTR uiParam, const Message* message, FLAGS flags,
                 ULONG reserved) {
  Record record;
  record.Line(call);
  record.Number("session", session);
  record.Number("uiparam", uiParam);
  record.Number("flags", flags);
  record.Number("reserved", reserved);
  if (!message) {
    record.Line("message (none)");
    return MAPI_E_FAILURE;
  }
  record.Text("subject", TextOf(message->lpszSubject).get());
  record.Text("body", TextOf(message->lpszNoteText).get());
  record.Text("type", TextOf(message->lpszMessageType).get());
  record.Line(message->lpOriginator ? "originator given" : "originator (none)");
  record.Number("recipients", message->nRecipCount);
  for (ULONG i = 0; message->lpRecips && i < message->nRecipCount; ++i) {
    const auto& r = message->lpRecips[i];
    RecordRecipient(record, "recipient", r.ulRecipClass, TextOf(r.lpszName).get(), TextOf(r.lpszAddress).get());
  }
  record.Number("files", message->nFileCount);
  for (ULONG i = 0; message->lpFiles && i < message->nFileCount; ++i) {
    const auto& f = message->lpFiles[i];
    record.Text("file", TextOf(f.lpszPathName).get());
    record.Text("name", TextOf(f.lpszFileName).get());
    record.Number("position", f.nPosition);
  }
  return Answer(record);
}

}  // namespace

extern "C" __declspec(dllexport) ULONG WINAPI
    MAPISendMailW(LHANDLE session, ULONG_PTR uiParam, MessageW* message, FLAGS flags, ULONG reserved) {
  return RecordCall("call MAPISendMailW", session, uiParam, message, flags, reserved);
}

extern "C" __declspec(dllexport) ULONG WINAPI
    MAPISendMail(LHANDLE session, ULONG_PTR uiParam, lpMapiMessage message, FLAGS flags, ULONG reserved) {
  return RecordCall("call MAPISendMail", session, uiParam, message, flags, reserved);
}
