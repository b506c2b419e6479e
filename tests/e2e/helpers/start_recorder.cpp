// Test helper: proves that it was started, and how. Writes its command line
// and the show state it was given to "<its own path>.started", then exits.
// Copied under other names (MSINFO32.EXE, "probe tool.exe") and registered
// as a file type's handler by the end-to-end tests.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char self[MAX_PATH * 4] = {};
  DWORD n = ::GetModuleFileNameA(nullptr, self, sizeof self);
  if (n == 0 || n >= sizeof self) return 1;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  ::GetStartupInfoA(&si);
  int show = (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : -1;
  std::string text = "cmdline=" + std::string(::GetCommandLineA()) + "\r\nshow=" + std::to_string(show) + "\r\n";
  std::string log = std::string(self, n) + ".started";
  std::string temp = log + ".tmp";
  // Written whole, then renamed, so a reader never sees half of it.
  HANDLE f = ::CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return 1;
  DWORD put = 0;
  ::WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &put, nullptr);
  ::CloseHandle(f);
  return ::MoveFileExA(temp.c_str(), log.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
