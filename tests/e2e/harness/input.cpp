#include "harness/input.h"

#include <vector>

#include "harness/wait.h"

namespace e2e {
namespace {

constexpr DWORD kPointerPacingMs = 50;

INPUT KeyInput(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  if (vk >= VK_PRIOR && vk <= VK_DELETE) in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
  return in;
}

}  // namespace

bool BringToFront(HWND hwnd) {
  // Without a window manager, Wine hands the X input focus over
  // asynchronously, and a late focus event can take the activation back:
  // the window counts as in front once it has stayed there for a moment.
  int steady = 0;
  return WaitUntil(
      [&] {
        if (::GetForegroundWindow() != hwnd) {
          steady = 0;
          ::SetForegroundWindow(hwnd);
          return false;
        }
        return ++steady >= 4;
      },
      5000, 20);
}

void SendKey(WORD vk, bool ctrl, bool alt, bool shift) {
  std::vector<INPUT> in;
  if (ctrl) in.push_back(KeyInput(VK_CONTROL, false));
  if (alt) in.push_back(KeyInput(VK_MENU, false));
  if (shift) in.push_back(KeyInput(VK_LSHIFT, false));
  in.push_back(KeyInput(vk, false));
  in.push_back(KeyInput(vk, true));
  if (shift) in.push_back(KeyInput(VK_LSHIFT, true));
  if (alt) in.push_back(KeyInput(VK_MENU, true));
  if (ctrl) in.push_back(KeyInput(VK_CONTROL, true));
  ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

void SendCtrlKey(WORD vk) {
  SendKey(vk, true);
}

void SendText(const std::string& text) {
  std::vector<INPUT> in;
  for (unsigned char c : text) {
    INPUT down{};
    down.type = INPUT_KEYBOARD;
    down.ki.wScan = c;
    down.ki.dwFlags = KEYEVENTF_UNICODE;
    INPUT up = down;
    up.ki.dwFlags |= KEYEVENTF_KEYUP;
    in.push_back(down);
    in.push_back(up);
  }
  if (!in.empty()) ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

void MoveMouse(int x, int y) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  int sw = ::GetSystemMetrics(SM_CXSCREEN), sh = ::GetSystemMetrics(SM_CYSCREEN);
  in.mi.dx = static_cast<LONG>((x * 65535LL + sw / 2) / (sw - 1));
  in.mi.dy = static_cast<LONG>((y * 65535LL + sh / 2) / (sh - 1));
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  ::SendInput(1, &in, sizeof in);
  WaitUntil(
      [&] {
        POINT at{};
        return ::GetCursorPos(&at) && at.x == x && at.y == y;
      },
      1000, 5);
  // Pacing, not a check: Wine then moves the X pointer there as well, and
  // the X server's report of that move comes back as mouse input of its
  // own; a click injected before it lands can be taken at the pointer's
  // old place (seen: a click beside an open popup menu that left it open).
  Sleep(kPointerPacingMs);
}

void MouseButton(bool down, bool right) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags =
      right ? (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP) : (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
  ::SendInput(1, &in, sizeof in);
}

}  // namespace e2e
