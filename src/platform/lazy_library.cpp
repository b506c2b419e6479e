#include "platform/lazy_library.h"

#include <shellapi.h>
#include <array>

#include <cstring>
#include <string>

#include "platform/library_rules.h"
#include "platform/ole.h"
#include "platform/text.h"

namespace fw::lazy {
namespace {

static_assert(library::kSearchSystem32 == LOAD_LIBRARY_SEARCH_SYSTEM32);

struct Loaded {
  const char* name = nullptr;
  HMODULE module = nullptr;
};

using SetDefaultDllDirectoriesFn = BOOL WINAPI(DWORD);

SetDefaultDllDirectoriesFn* SetDefaultDllDirectoriesFunction() noexcept {
  HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
  return kernel ? reinterpret_cast<SetDefaultDllDirectoriesFn*>(
                      reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")))
                : nullptr;
}

std::string SystemDirectory() {
  char buf[MAX_PATH];
  UINT n = ::GetSystemDirectoryA(buf, sizeof buf);
  return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
}

HMODULE LoadSystemLibrary(const char* name) noexcept {
  try {
    static const bool searchFlagsKnown = SetDefaultDllDirectoriesFunction() != nullptr;
    library::LoadRequest request =
        library::RequestFor(name, searchFlagsKnown, searchFlagsKnown ? std::string() : SystemDirectory());
    if (request.file.empty()) return nullptr;
    return ::LoadLibraryExA(request.file.c_str(), nullptr, request.flags);
  } catch (...) {
    return nullptr;
  }
}

// The few libraries loaded this way. They stay loaded for the program's
// life and are never freed: the camera sound may still be playing from
// winmm as the program ends, and freeing at exit gains nothing.
class Libraries {
 public:
  HMODULE Get(const char* name) noexcept {
    for (auto& l : loaded_) {
      if (l.name && std::strcmp(l.name, name) == 0) return l.module;
      if (!l.name) {
        l.module = LoadSystemLibrary(name);
        if (l.module) l.name = name;
        return l.module;
      }
    }
    return nullptr;
  }

 private:
  // Room for every library the program loads this way (ten today) and more.
  std::array<Loaded, 16> loaded_{};
};

}  // namespace

void RestrictLibrarySearch() noexcept {
  if (auto* restrict = SetDefaultDllDirectoriesFunction()) restrict(library::kSearchSystem32);
}

FARPROC Find(const char* library, const char* function) noexcept {
  static Libraries libraries;
  HMODULE module = libraries.Get(library);
  return module ? ::GetProcAddress(module, function) : nullptr;
}

}  // namespace fw::lazy

namespace fw {

bool ShellExecuteLazily(HWND owner, const char* verb, const char* file) noexcept {
  try {
    static auto* execute = lazy::Function<decltype(::ShellExecuteW)>("shell32.dll", "ShellExecuteW");
    if (!execute) return false;
    ole::Start();  // the shell may hand the file to an extension, an OLE object
    std::wstring wideVerb = verb ? Widen(verb) : std::wstring();
    std::wstring wideFile = Widen(file ? file : "");
    return reinterpret_cast<INT_PTR>(execute(owner, verb ? wideVerb.c_str() : nullptr, wideFile.c_str(), nullptr,
                                             nullptr, SW_SHOWNORMAL)) > 32;
  } catch (...) {
    return false;
  }
}

}  // namespace fw
