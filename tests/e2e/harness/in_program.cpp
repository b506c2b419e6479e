#include "harness/in_program.h"

#include <psapi.h>

#include <string>

#include "harness/files.h"

namespace e2e {
namespace {

// Runs `start(argument)` as a thread in the process; its exit code, or -1.
long RunRemote(HANDLE process, LPTHREAD_START_ROUTINE start, LPVOID argument) {
  HANDLE thread = ::CreateRemoteThread(process, nullptr, 0, start, argument, 0, nullptr);
  if (!thread) return -1;
  long result = -1;
  if (::WaitForSingleObject(thread, 20000) == WAIT_OBJECT_0) {
    DWORD code = 0;
    if (::GetExitCodeThread(thread, &code)) result = static_cast<long>(code);
  }
  ::CloseHandle(thread);
  return result;
}

HMODULE RemoteModule(HANDLE process, const char* name) {
  HMODULE modules[512];
  DWORD needed = 0;
  if (!::EnumProcessModules(process, modules, sizeof modules, &needed)) return nullptr;
  for (DWORD i = 0; i < needed / sizeof(HMODULE) && i < 512; ++i) {
    char base[MAX_PATH] = {};
    if (::GetModuleBaseNameA(process, modules[i], base, sizeof base) && lstrcmpiA(base, name) == 0) return modules[i];
  }
  return nullptr;
}

// Loads the library into the process unless it is there already.
HMODULE LoadIntoProgram(HANDLE process, const char* library) {
  if (HMODULE m = RemoteModule(process, library)) return m;
  std::string path = BinDir() + "\\" + library;
  ProgramMemory remotePath(process, path.c_str(), path.size() + 1);
  if (remotePath.get()) {
    // kernel32 lies at the same address in every process of a session.
    auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "LoadLibraryA")));
    RunRemote(process, load, remotePath.get());
  }
  return RemoteModule(process, library);
}

}  // namespace

ProgramMemory::ProgramMemory(HANDLE process, const void* bytes, std::size_t size) : process_(process) {
  address_ = ::VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (address_ && !::WriteProcessMemory(process, address_, bytes, size, nullptr)) {
    ::VirtualFreeEx(process, address_, 0, MEM_RELEASE);
    address_ = nullptr;
  }
}

bool ProgramMemory::Read(void* out, std::size_t size) const {
  SIZE_T read = 0;
  return address_ && ::ReadProcessMemory(process_, address_, out, size, &read) && read == size;
}

ProgramMemory::~ProgramMemory() {
  if (address_) ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
}

long RunInProgram(HANDLE process, const char* library, const char* function, LPVOID argument) {
  // The driver loads the library too, to find the function's offset in it.
  HMODULE local = ::LoadLibraryA((BinDir() + "\\" + library).c_str());
  FARPROC here = local ? ::GetProcAddress(local, function) : nullptr;
  HMODULE remote = here ? LoadIntoProgram(process, library) : nullptr;
  if (!remote) return -1;
  auto offset = reinterpret_cast<ULONG_PTR>(reinterpret_cast<void*>(here)) - reinterpret_cast<ULONG_PTR>(local);
  auto start = reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<ULONG_PTR>(remote) + offset);
  return RunRemote(process, start, argument);
}

}  // namespace e2e
