// Test helper: proves that it was started, and how. Writes its command line
// (UTF-8) and the show state it was given to "<its own path>.started", then
// exits. Copied under other names (MSINFO32.EXE, "probe tool.exe") and
// registered as a file type's handler by the end-to-end tests.
#include <windows.h>

#include <string>

namespace {

std::string Utf8(const std::wstring& wide) {
  int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) {
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  }
  return out;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  std::wstring self(32768, L'\0');
  DWORD n = ::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
  if (n == 0 || n >= self.size()) return 1;
  self.resize(n);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  ::GetStartupInfoW(&si);
  int show = (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : -1;
  std::string text = "cmdline=" + Utf8(::GetCommandLineW()) + "\r\nshow=" + std::to_string(show) + "\r\n";
  std::wstring log = self + L".started";
  std::wstring temp = log + L".tmp";
  // Written whole, then renamed, so a reader never sees half of it.
  HANDLE f = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return 1;
  DWORD put = 0;
  ::WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &put, nullptr);
  ::CloseHandle(f);
  return ::MoveFileExW(temp.c_str(), log.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
