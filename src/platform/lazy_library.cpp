#include "platform/lazy_library.h"

#include <shellapi.h>
#include <array>

#include <cstring>

namespace fw::lazy {
namespace {

struct Loaded {
  const char* name = nullptr;
  HMODULE module = nullptr;
};

// The few libraries loaded this way, freed when the program ends.
class Libraries {
 public:
  Libraries() = default;
  Libraries(const Libraries&) = delete;
  Libraries& operator=(const Libraries&) = delete;
  ~Libraries() {
    for (auto& l : loaded_)
      if (l.module) ::FreeLibrary(l.module);
  }

  HMODULE Get(const char* name) noexcept {
    for (auto& l : loaded_) {
      if (l.name && std::strcmp(l.name, name) == 0) return l.module;
      if (!l.name) {
        // Only the system directory: never a library of that name that
        // happens to lie beside the program or in the current directory.
        l.module = ::LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!l.module && ::GetLastError() == ERROR_INVALID_PARAMETER) l.module = ::LoadLibraryA(name);
        if (l.module) l.name = name;
        return l.module;
      }
    }
    return nullptr;
  }

 private:
  std::array<Loaded, 8> loaded_{};
};

}  // namespace

FARPROC Find(const char* library, const char* function) noexcept {
  static Libraries libraries;
  HMODULE module = libraries.Get(library);
  return module ? ::GetProcAddress(module, function) : nullptr;
}

}  // namespace fw::lazy

namespace fw {

bool ShellExecuteLazily(HWND owner, const char* verb, const char* file) noexcept {
  static auto* execute = lazy::Function<decltype(::ShellExecuteA)>("shell32.dll", "ShellExecuteA");
  if (!execute) return false;
  return reinterpret_cast<INT_PTR>(execute(owner, verb, file, nullptr, nullptr, SW_SHOWNORMAL)) > 32;
}

}  // namespace fw
