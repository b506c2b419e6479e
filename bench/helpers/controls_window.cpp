// The floor of the cold start: a Wine program with the look Framewick has
// and nothing of its own. It carries the program's manifest
// (controls_window.rc), so the loader gives it the same common controls
// (comctl32 version 6); it opens a window, starts them as the program does
// and puts one button and one tooltip of them in it.
#include <windows.h>
#include <commctrl.h>

#include "floor_window.h"

namespace {

// The common controls started as the program starts them, then one button
// of the program's size with its tooltip.
void AddButtonWithTip(HWND window) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&icc);
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  HWND button = ::CreateWindowExA(0, "BUTTON", "Screen", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 8, 8, 49,
                                  33, window, nullptr, instance, nullptr);
  HWND tips = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0,
                                0, 0, window, nullptr, instance, nullptr);
  char text[] = "Capture the whole screen";
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(button);
  tool.lpszText = text;
  ::SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  return bench::RunFloorWindow(instance, commandLine, "profile_controls", "FwControlsWindow", AddButtonWithTip);
}
