#include "platform/msgbox.h"

namespace fw {
namespace {
HWND g_owner = nullptr;
}

void SetMessageOwner(HWND owner) {
  g_owner = owner;
}

int ShowMessage(const std::string& text, UINT style, const char* title) {
  HWND owner = nullptr;
  HWND active = ::GetActiveWindow();
  if (active && ::IsWindowVisible(active) && !::IsIconic(active)) {
    owner = active;
  } else if (g_owner && ::IsWindow(g_owner) && ::IsWindowVisible(g_owner) && !::IsIconic(g_owner)) {
    owner = g_owner;
  }
  if (!owner) style |= MB_TASKMODAL | MB_SETFOREGROUND;
  return ::MessageBoxA(owner, text.c_str(), title ? title : kAppTitle, style);
}

}  // namespace fw
