#include "app/main_menu.h"

#include <iterator>
#include <string>

#include "app/layout_rules.h"

namespace fw {
namespace {

// Shortcut keys send their menu item's id plus this.
constexpr int kShortcutOffset = 1000;

UniqueMenu BuildPopup(const layout::MenuSpec& menu) {
  UniqueMenu popup(::CreatePopupMenu());
  for (int i = 0; i < menu.count; ++i) {
    const auto& item = menu.items[i];
    if (item.id == 0) {
      ::AppendMenuA(popup.get(), MF_SEPARATOR, 0, nullptr);
      continue;
    }
    std::string text(item.caption);
    if (!item.shortcut.empty()) {
      text.push_back('\t');
      text.append(item.shortcut);
    }
    ::AppendMenuA(popup.get(), MF_STRING | (item.enabled ? 0 : MF_GRAYED), static_cast<UINT_PTR>(item.id),
                  text.c_str());
  }
  return popup;
}

}  // namespace

UniqueMenu BuildMenuBar(HMENU& fileMenu) {
  UniqueMenu bar(::CreateMenu());
  for (const auto& menu : layout::kMenuBar) {
    UniqueMenu popup = BuildPopup(menu);
    std::string caption(menu.caption);
    if (!::AppendMenuA(bar.get(), MF_POPUP | (menu.enabled ? 0 : MF_GRAYED), reinterpret_cast<UINT_PTR>(popup.get()),
                       caption.c_str())) {
      continue;  // the popup goes with its owner here
    }
    HMENU held = popup.release();  // the bar destroys it with itself
    if (menu.name == "file") fileMenu = held;
  }
  return bar;
}

// The shortcuts of the two unavailable items (Ctrl+F, Ctrl+C) do not act,
// as a greyed item's shortcut never does.
UniqueAccel BuildShortcuts() {
  ACCEL keys[] = {
      {FCONTROL | FSHIFT | FVIRTKEY, 'S', ids::kMenuCaptureAll + kShortcutOffset},
      {FCONTROL | FVIRTKEY, 'S', ids::kMenuCaptureScreen + kShortcutOffset},
      {FCONTROL | FVIRTKEY, 'W', ids::kMenuCaptureWindow + kShortcutOffset},
      {FCONTROL | FVIRTKEY, 'A', ids::kMenuClearPicture + kShortcutOffset},
  };
  return UniqueAccel(::CreateAcceleratorTableA(keys, static_cast<int>(std::size(keys))));
}

int MenuCommandOf(int id) {
  return id > kShortcutOffset ? id - kShortcutOffset : id;
}

}  // namespace fw
