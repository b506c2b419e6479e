// Loaded into a running Framewick by the end-to-end driver. Wine keeps a
// menu's items in the process that made it, so another program's
// GetMenuItemCount answers -1 there; read from inside the program, the
// menus are what the user sees.
#include <windows.h>

#include <cstdio>
#include <string>

#include "menu_probe.h"

namespace {

void List(HMENU menu, const char* indent, std::string& out) {
  int count = ::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    UINT state = ::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
    char caption[128] = {};
    ::GetMenuStringA(menu, static_cast<UINT>(i), caption, sizeof caption, MF_BYPOSITION);
    char line[256];
    if (state & MF_SEPARATOR) {
      std::snprintf(line, sizeof line, "%s-\n", indent);
    } else {
      HMENU sub = ::GetSubMenu(menu, i);
      int id = sub ? 0 : static_cast<int>(::GetMenuItemID(menu, i));
      std::snprintf(line, sizeof line, "%s%s|%d|%s\n", indent, caption, id,
                    (state & (MF_GRAYED | MF_DISABLED)) ? "grey" : "");
    }
    out += line;
    if (HMENU sub = ::GetSubMenu(menu, i)) List(sub, "  ", out);
  }
}

}  // namespace

// Fills the listing's text from its window's menu bar. Returns 1 when the
// window has a menu bar and the listing fits, 0 otherwise.
extern "C" __declspec(dllexport) DWORD WINAPI ListMenus(LPVOID argument) {
  auto* listing = static_cast<e2e::MenuListing*>(argument);
  HMENU bar = ::GetMenu(listing->window);
  if (!bar) return 0;
  std::string text;
  List(bar, "", text);
  if (text.size() >= sizeof listing->text) return 0;
  text.copy(listing->text, text.size());
  listing->text[text.size()] = '\0';
  return 1;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
  return TRUE;
}
