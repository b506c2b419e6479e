#include "platform/msgbox.h"

#include "platform/text.h"

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
  // Wide, so that a text that shows a path shows it whole.
  return ::MessageBoxW(owner, Widen(text).c_str(), Widen(title ? title : kAppTitle).c_str(), style);
}

}  // namespace fw
