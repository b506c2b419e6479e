#include "notification_area.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "harness.h"

namespace e2e {
namespace {

BOOL CALLBACK CollectIcon(HWND h, LPARAM out) {
  std::string name = ClassOf(h);
  if (name == "__winex11_tray_icon" || name == "__wine_tray_icon") {
    reinterpret_cast<std::vector<HWND>*>(out)->push_back(h);
  }
  return TRUE;
}

BOOL CALLBACK CollectTooltip(HWND h, LPARAM out) {
  if (ClassOf(h) == TOOLTIPS_CLASSA) reinterpret_cast<std::vector<HWND>*>(out)->push_back(h);
  return TRUE;
}

}  // namespace

HWND TrayWindow() {
  if (HWND standalone = ::FindWindowA("__winex11_standalone_tray", nullptr)) return standalone;
  return ::FindWindowA("Shell_TrayWnd", nullptr);
}

std::vector<HWND> TrayIcons() {
  std::vector<HWND> icons;
  if (HWND tray = TrayWindow()) ::EnumChildWindows(tray, CollectIcon, reinterpret_cast<LPARAM>(&icons));
  return icons;
}

HWND NewIcon(const std::vector<HWND>& before) {
  HWND found = nullptr;
  int n = 0;
  for (HWND h : TrayIcons()) {
    if (std::find(before.begin(), before.end(), h) != before.end()) continue;
    found = h;
    ++n;
  }
  return n == 1 ? found : nullptr;
}

std::string TipOf(HWND icon) {
  std::vector<HWND> tooltips;
  ::EnumWindows(CollectTooltip, reinterpret_cast<LPARAM>(&tooltips));
  DWORD pid = 0;
  ::GetWindowThreadProcessId(icon, &pid);
  HANDLE shell = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!shell) return "<no access>";
  constexpr std::size_t kChars = 256;
  SIZE_T bytes = sizeof(TTTOOLINFOW) + kChars * sizeof(WCHAR);
  auto* remote = static_cast<BYTE*>(::VirtualAllocEx(shell, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE));
  std::string tip = "<no tooltip>";
  for (HWND tooltip : tooltips) {
    if (!remote) break;
    DWORD owner = 0;
    ::GetWindowThreadProcessId(tooltip, &owner);
    if (owner != pid) continue;
    // The icon's tool is the icon window itself.
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = icon;
    ti.uId = reinterpret_cast<UINT_PTR>(icon);
    ti.lpszText = reinterpret_cast<LPWSTR>(remote + sizeof ti);
    WCHAR text[kChars]{};
    ::WriteProcessMemory(shell, remote, &ti, sizeof ti, nullptr);
    ::WriteProcessMemory(shell, remote + sizeof ti, text, sizeof text, nullptr);
    DWORD_PTR known = 0;
    if (!::SendMessageTimeoutW(tooltip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, 3000,
                               &known) ||
        !known)
      continue;
    ::WriteProcessMemory(shell, remote, &ti, sizeof ti, nullptr);
    DWORD_PTR r = 0;
    if (!::SendMessageTimeoutW(tooltip, TTM_GETTEXTW, kChars, reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, 3000, &r))
      continue;
    if (!::ReadProcessMemory(shell, remote + sizeof ti, text, sizeof text - sizeof(WCHAR), nullptr)) continue;
    char narrow[kChars * 2]{};
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
    tip = narrow;
    break;
  }
  if (remote) ::VirtualFreeEx(shell, remote, 0, MEM_RELEASE);
  ::CloseHandle(shell);
  return tip;
}

bool Shows(HWND icon) {
  std::vector<HWND> icons = TrayIcons();
  return std::find(icons.begin(), icons.end(), icon) != icons.end();
}

bool Hidden(App& app) {
  return !::IsWindowVisible(app.main());
}

HWND GoToTray(App& app) {
  std::vector<HWND> before = TrayIcons();
  app.Click("Tray");
  EXPECT_TRUE(WaitUntil([&] { return Hidden(app); }, 5000)) << "the window stayed visible";
  HWND icon = nullptr;
  EXPECT_TRUE(WaitUntil([&] { return (icon = NewIcon(before)) != nullptr; }, 5000)) << "no new icon";
  app.Sync();
  return icon;
}

}  // namespace e2e
