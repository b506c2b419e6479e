#include "tray/tray_rules.h"

#include <algorithm>

namespace fw::tray {

TipField BuildTipField(std::u16string_view text) {
  TipField field;
  field.fill(u' ');
  std::size_t kept = std::min(text.size(), kTipFieldSize - 1);
  // A high surrogate as the last unit kept would lose its partner.
  if (kept < text.size() && kept > 0 && text[kept - 1] >= 0xD800 && text[kept - 1] <= 0xDBFF) --kept;
  std::copy_n(text.begin(), kept, field.begin());
  field[kept] = u'\0';
  return field;
}

CallbackAction ActionFor(unsigned message, std::uint64_t lParam) {
  if (message != kTrayCallbackMessage) return CallbackAction::PassOn;
  if (lParam == kWmLButtonUp) return CallbackAction::ShowWindow;
  if (lParam == kWmRButtonUp) return CallbackAction::PopupMenu;
  return CallbackAction::PassOn;
}

}  // namespace fw::tray
