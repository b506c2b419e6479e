// The program itself, with one difference for the tests of a program ended
// in the middle of a save: once told to (the registered message
// "FramewickTest.StallNextSave", stall_protocol.h), the next temporary file
// it writes stops at a given point of its writing (after so many bytes, at
// the flush, or just before it takes its name). There the build signals
// the driver and waits until it is ended, so that every kill lands inside
// a save. Only the program's own calls go through this build's import
// table: the file system sees nothing of the seam.
#include <windows.h>

#include <string>

#include "app/startup.h"
#include "import_redirect.h"
#include "platform/events.h"
#include "platform/file_name_rules.h"
#include "stall_protocol.h"

namespace {

using CreateFileAFn = HANDLE(WINAPI*)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
using CreateFileWFn = HANDLE(WINAPI*)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
using WriteFileFn = BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
using FlushFn = BOOL(WINAPI*)(HANDLE);
using MoveFileExAFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);
using MoveFileExWFn = BOOL(WINAPI*)(LPCWSTR, LPCWSTR, DWORD);

CreateFileAFn g_createFileA = nullptr;
CreateFileWFn g_createFileW = nullptr;
WriteFileFn g_writeFile = nullptr;
FlushFn g_flush = nullptr;
MoveFileExAFn g_moveFileExA = nullptr;
MoveFileExWFn g_moveFileExW = nullptr;

// The stop asked for, and the temporary file it applies to once created.
bool g_armed = false;
LPARAM g_point = e2e::kStopInWrite;
unsigned long long g_allowed = 0;
HANDLE g_target = INVALID_HANDLE_VALUE;
unsigned long long g_written = 0;

std::string BaseName(std::string path) {
  std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Narrow(LPCWSTR text) {
  std::string out;
  for (; text && *text; ++text) out.push_back(*text < 0x80 ? static_cast<char>(*text) : '?');
  return out;
}

bool IsTemp(const std::string& path) {
  return fw::files::IsTempFileName(BaseName(path));
}

// The save stops here: the driver is told, and ends the process.
[[noreturn]] void Stall() {
  HANDLE stalled = ::OpenEventA(EVENT_MODIFY_STATE, FALSE, e2e::StalledEventName(::GetCurrentProcessId()).c_str());
  if (stalled) ::SetEvent(stalled);
  // Nothing more happens in this process: it waits for the kill (its own
  // handle is signalled only once it has ended).
  for (;;) ::WaitForSingleObject(::GetCurrentProcess(), INFINITE);
}

// A temporary file created anew for writing (not an earlier one opened to
// be removed).
HANDLE Created(HANDLE file, DWORD access, DWORD disposition, const std::string& path) {
  if (g_armed && g_target == INVALID_HANDLE_VALUE && file != INVALID_HANDLE_VALUE && disposition == CREATE_NEW &&
      (access & GENERIC_WRITE) && IsTemp(path)) {
    g_target = file;
    g_written = 0;
  }
  return file;
}

HANDLE WINAPI WatchedCreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                 DWORD disposition, DWORD flags, HANDLE templateFile) {
  return Created(g_createFileA(name, access, share, security, disposition, flags, templateFile), access, disposition,
                 name ? name : "");
}

HANDLE WINAPI WatchedCreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                 DWORD disposition, DWORD flags, HANDLE templateFile) {
  return Created(g_createFileW(name, access, share, security, disposition, flags, templateFile), access, disposition,
                 Narrow(name));
}

BOOL WINAPI WatchedWriteFile(HANDLE file, LPCVOID bytes, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
  if (file != g_target || g_point != e2e::kStopInWrite || g_written + size <= g_allowed) {
    BOOL ok = g_writeFile(file, bytes, size, written, overlapped);
    if (file == g_target && ok) g_written += size;
    return ok;
  }
  // Part of this write goes to the file; the rest never comes.
  DWORD part = static_cast<DWORD>(g_allowed - g_written);
  DWORD put = 0;
  if (part > 0) g_writeFile(file, bytes, part, &put, nullptr);
  Stall();
}

BOOL WINAPI WatchedFlushFileBuffers(HANDLE file) {
  if (file == g_target && g_point == e2e::kStopInWrite) Stall();
  return g_flush(file);
}

BOOL WINAPI WatchedMoveFileExA(LPCSTR from, LPCSTR to, DWORD flags) {
  if (g_armed && from && IsTemp(from)) Stall();
  return g_moveFileExA(from, to, flags);
}

BOOL WINAPI WatchedMoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags) {
  if (g_armed && from && IsTemp(Narrow(from))) Stall();
  return g_moveFileExW(from, to, flags);
}

template <typename Fn, typename Replacement>
Fn Redirect(const char* function, Replacement replacement) {
  return reinterpret_cast<Fn>(
      test_build::RedirectImport("kernel32.dll", function, reinterpret_cast<void*>(replacement)));
}

}  // namespace

int main() {
  g_createFileA = Redirect<CreateFileAFn>("CreateFileA", &WatchedCreateFileA);
  g_createFileW = Redirect<CreateFileWFn>("CreateFileW", &WatchedCreateFileW);
  g_writeFile = Redirect<WriteFileFn>("WriteFile", &WatchedWriteFile);
  g_flush = Redirect<FlushFn>("FlushFileBuffers", &WatchedFlushFileBuffers);
  g_moveFileExA = Redirect<MoveFileExAFn>("MoveFileExA", &WatchedMoveFileExA);
  g_moveFileExW = Redirect<MoveFileExWFn>("MoveFileExW", &WatchedMoveFileExW);
  // The program creates, writes, flushes and names its files with these
  // (the ANSI or the wide forms of the names).
  if (!(g_createFileA || g_createFileW) || !g_writeFile || !g_flush || !(g_moveFileExA || g_moveFileExW)) return 3;
  const UINT stall = ::RegisterWindowMessageA(e2e::kStallNextSaveMessage);
  fw::AddMessageFilter([stall](MSG& msg) {
    if (stall == 0 || msg.message != stall) return false;
    g_armed = true;
    g_allowed = msg.wParam;
    g_point = msg.lParam;
    g_target = INVALID_HANDLE_VALUE;
    return true;
  });

  return fw::RunProgram(::GetModuleHandleA(nullptr));
}
