// Test helper: a stand-in mail program, registered as the mailto: handler.
//
//   mail_standin.exe <log file> <mode> <url>
//
// A log file named without a folder is the one of that name beside the
// program: Wine reads a handler's command into a buffer of 256 characters
// and finds no handler when the command is longer, so the command names
// the program's long path only once.
// Appends "url <the raw url>" to the log, then opens a window and records
// every key it receives, one line each: "key [Ctrl+][Alt+][Shift+]<name>"
// for key presses and "char <hex UTF-16 unit>" for characters typed as
// literal text (VK_PACKET). Mode "subject" titles the window with the
// url's subject (percent-decoded, its bytes read as UTF-8, RFC 6068), as a
// mail program's new message does; mode "other" gives it a title of its
// own. The window takes the foreground and the keyboard focus before it
// takes its title. Mode "behind" titles it with the subject too, but shows
// it without activating it, at the bottom of the windows: the foreground
// stays where it was. It closes on WM_CLOSE, or by itself after two
// minutes.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

std::wstring g_log;
WPARAM g_lastKey = 0;

void Append(const std::wstring& line) {
  std::string utf8;
  int n = ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
  utf8.resize(static_cast<std::size_t>(n > 0 ? n : 0));
  if (n > 0) {
    ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(), n, nullptr, nullptr);
  }
  utf8 += "\r\n";
  HANDLE f = ::CreateFileW(g_log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return;
  DWORD put = 0;
  ::WriteFile(f, utf8.data(), static_cast<DWORD>(utf8.size()), &put, nullptr);
  ::CloseHandle(f);
}

std::wstring KeyName(WPARAM vk) {
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return std::wstring(1, static_cast<wchar_t>(vk));
  switch (vk) {
    case VK_TAB: return L"Tab";
    case VK_RETURN: return L"Enter";
    case VK_DELETE: return L"Delete";
    case VK_BACK: return L"Backspace";
    case VK_ESCAPE: return L"Escape";
    default: break;
  }
  wchar_t buf[16];
  std::swprintf(buf, 16, L"VK%02X", static_cast<unsigned>(vk));
  return buf;
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      g_lastKey = wp;
      if (wp == VK_PACKET || wp == VK_SHIFT || wp == VK_CONTROL || wp == VK_MENU) return 0;
      {
        std::wstring mods;
        if (::GetKeyState(VK_CONTROL) < 0) mods += L"Ctrl+";
        if (::GetKeyState(VK_MENU) < 0) mods += L"Alt+";
        if (::GetKeyState(VK_SHIFT) < 0) mods += L"Shift+";
        Append(L"key " + mods + KeyName(wp));
      }
      return 0;
    case WM_CHAR:
    case WM_SYSCHAR:
      if (g_lastKey == VK_PACKET) {
        wchar_t buf[16];
        std::swprintf(buf, 16, L"char %04X", static_cast<unsigned>(wp));
        Append(buf);
      }
      return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP: return 0;  // no menu mode on a lone Alt
    case WM_TIMER: ::DestroyWindow(hwnd); return 0;
    case WM_DESTROY: ::PostQuitMessage(0); return 0;
    default: break;
  }
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  return -1;
}

// "%XX" escapes as the bytes they stand for, the bytes as UTF-8 text.
std::wstring PercentDecoded(const std::wstring& text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
      bytes += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
      i += 2;
    } else {
      bytes += static_cast<char>(text[i]);  // the address itself is ASCII
    }
  }
  int n = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
  return out;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (!argv || argc < 4) return 2;
  g_log = argv[1];
  if (g_log.find_first_of(L"\\/:") == std::wstring::npos) {
    wchar_t self[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring dir(self, n);
    g_log = dir.substr(0, dir.find_last_of(L"\\") + 1) + g_log;
  }
  std::wstring mode = argv[2];
  std::wstring url = argv[3];
  for (int i = 4; i < argc; ++i) url += std::wstring(L" ") + argv[i];  // an unquoted %1 with spaces
  ::LocalFree(argv);
  Append(L"url " + url);

  std::wstring title = L"Stand-in mail: other window";
  const bool behind = mode == L"behind";
  if (mode == L"subject" || behind) {
    const std::wstring start = L"subject=", end = L"&body=";
    std::size_t s = url.find(start);
    std::size_t e = url.rfind(end);
    if (s != std::wstring::npos) {
      s += start.size();
      title = PercentDecoded(url.substr(s, (e != std::wstring::npos && e >= s) ? e - s : std::wstring::npos));
    }
  }

  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  wc.lpszClassName = L"FwMailStandIn";
  ::RegisterClassW(&wc);
  HWND hwnd = ::CreateWindowExW(0, L"FwMailStandIn", L"", WS_OVERLAPPEDWINDOW, 60, 60, 420, 240, nullptr, nullptr,
                                instance, nullptr);
  if (behind) {
    ::SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    ::UpdateWindow(hwnd);
  } else {
    ::ShowWindow(hwnd, SW_SHOWNORMAL);
    ::UpdateWindow(hwnd);
    ::SetForegroundWindow(hwnd);
    ::SetFocus(hwnd);
  }
  ::SetWindowTextW(hwnd, title.c_str());
  Append(L"ready");
  ::SetTimer(hwnd, 1, 120000, nullptr);

  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return 0;
}
