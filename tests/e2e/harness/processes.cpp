#include "harness/processes.h"

#include <tlhelp32.h>

#include <algorithm>

#include "harness/files.h"
#include "harness/text.h"
#include "harness/wait.h"

namespace e2e {
namespace {

std::vector<HANDLE>& Tracked() {
  static std::vector<HANDLE> processes;
  return processes;
}

CRITICAL_SECTION& TrackedLock() {
  static CRITICAL_SECTION cs = [] {
    CRITICAL_SECTION c;
    ::InitializeCriticalSection(&c);
    return c;
  }();
  return cs;
}

// The watchdog thread ends what the test thread started.
void Track(HANDLE process) {
  ::EnterCriticalSection(&TrackedLock());
  Tracked().push_back(process);
  ::LeaveCriticalSection(&TrackedLock());
}

std::string Quote(const std::string& s) {
  return "\"" + s + "\"";
}

// Starts /bin/sh -c command. Wine hands out no process handle for a Unix
// program, so there is nothing to track or wait on.
bool StartShell(const std::string& command) {
  std::string line = "\"Z:\\bin\\sh\" -c \"" + command + "\"";
  std::vector<char> buf(line.begin(), line.end());
  buf.push_back('\0');
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessA("Z:\\bin\\sh", buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    return false;
  }
  if (pi.hThread) ::CloseHandle(pi.hThread);
  if (pi.hProcess) ::CloseHandle(pi.hProcess);
  return true;
}

// Appends what the pipe holds now.
void Drain(HANDLE readEnd, std::string& output) {
  DWORD avail = 0;
  while (::PeekNamedPipe(readEnd, nullptr, 0, nullptr, &avail, nullptr) && avail > 0) {
    char chunk[4096];
    DWORD got = 0;
    if (!::ReadFile(readEnd, chunk, std::min<DWORD>(avail, sizeof chunk), &got, nullptr) || got == 0) break;
    output.append(chunk, got);
  }
}

}  // namespace

HANDLE StartProcess(const std::string& exe, const std::string& args, const std::string& cwd, DWORD* pid) {
  std::string cmd = Quote(exe);
  if (!args.empty()) cmd += " " + args;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::wstring line = Wide(cmd), wideExe = Wide(exe), wideCwd = Wide(cwd);
  if (!::CreateProcessW(wideExe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        cwd.empty() ? nullptr : wideCwd.c_str(), &si, &pi)) {
    return nullptr;
  }
  ::CloseHandle(pi.hThread);
  if (pid) *pid = pi.dwProcessId;
  Track(pi.hProcess);
  return pi.hProcess;
}

int RunAndCollect(const std::string& exe, const std::string& args, DWORD timeoutMs, std::string& output) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!::CreatePipe(&readEnd, &writeEnd, &sa, 0)) return -1;
  ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  std::string cmd = Quote(exe) + (args.empty() ? "" : " " + args);
  std::vector<char> buf(cmd.begin(), cmd.end());
  buf.push_back('\0');
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = writeEnd;
  si.hStdError = writeEnd;
  si.hStdInput = nullptr;
  PROCESS_INFORMATION pi{};
  BOOL ok = ::CreateProcessA(exe.c_str(), buf.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  ::CloseHandle(writeEnd);
  if (!ok) {
    ::CloseHandle(readEnd);
    return -1;
  }
  ::CloseHandle(pi.hThread);
  Track(pi.hProcess);
  DWORD start = ::GetTickCount();
  int code = -1;
  while (true) {
    Drain(readEnd, output);
    if (::WaitForSingleObject(pi.hProcess, 20) == WAIT_OBJECT_0) {
      DWORD c = 0;
      ::GetExitCodeProcess(pi.hProcess, &c);
      code = static_cast<int>(c);
      Drain(readEnd, output);  // what is left in the pipe
      break;
    }
    if (::GetTickCount() - start > timeoutMs) {
      ::TerminateProcess(pi.hProcess, 97);
      break;
    }
    PumpMessages();
  }
  ::CloseHandle(readEnd);
  return code;
}

void EndAllProcesses() {
  ::EnterCriticalSection(&TrackedLock());
  std::vector<HANDLE> all;
  all.swap(Tracked());
  ::LeaveCriticalSection(&TrackedLock());
  for (HANDLE h : all) {
    if (::WaitForSingleObject(h, 0) == WAIT_TIMEOUT) {
      ::TerminateProcess(h, 99);
      ::WaitForSingleObject(h, 5000);
    }
    ::CloseHandle(h);
  }
}

bool RunUnix(const std::string& command, DWORD timeoutMs) {
  // The process handle Wine gives for a Unix program does not follow it to
  // its end, so the command leaves a mark when it is done.
  static int counter = 0;
  std::string mark =
      WorkRoot() + "\\unix-done-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++counter);
  ::DeleteFileA(mark.c_str());
  if (!StartShell(command + "; touch '" + UnixPath(mark) + "'")) return false;
  bool done = WaitUntil([&] { return FileExists(mark); }, timeoutMs, 20);
  ::DeleteFileA(mark.c_str());
  return done;
}

std::vector<DWORD> ProcessesNamed(const char* name) {
  std::vector<DWORD> out;
  HANDLE snap = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return out;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32First(snap, &entry); more; more = ::Process32Next(snap, &entry))
    if (lstrcmpiA(entry.szExeFile, name) == 0) out.push_back(entry.th32ProcessID);
  ::CloseHandle(snap);
  return out;
}

HANDLE StartWithUnixEnvironment(const std::string& exe, const std::string& environment, const std::string& cwd,
                                DWORD* pid) {
  std::string name = exe.substr(exe.find_last_of('\\') + 1);
  std::vector<DWORD> before = ProcessesNamed(name.c_str());
  char wine[1024];
  DWORD n = ::GetEnvironmentVariableA("WINE", wine, sizeof wine);
  std::string loader = (n > 0 && n < sizeof wine) ? std::string(wine, n) : std::string("wine");
  std::string command = "cd '" + UnixPath(cwd) + "' && exec env " + environment + " '" + loader + "' '" +
                        UnixPath(exe) + "' </dev/null >/dev/null 2>&1";
  if (!StartShell(command)) return nullptr;
  HANDLE found = nullptr;
  WaitUntil(
      [&] {
        for (DWORD id : ProcessesNamed(name.c_str())) {
          if (std::find(before.begin(), before.end(), id) != before.end()) continue;
          HANDLE h = ::OpenProcess(PROCESS_ALL_ACCESS, FALSE, id);
          if (!h) continue;
          char path[MAX_PATH];
          DWORD size = sizeof path;
          if (::QueryFullProcessImageNameA(h, 0, path, &size) && lstrcmpiA(path, exe.c_str()) == 0) {
            found = h;
            if (pid) *pid = id;
            return true;
          }
          ::CloseHandle(h);
        }
        return false;
      },
      10000, 20);
  if (found) Track(found);
  return found;
}

}  // namespace e2e
