// The notification icon's record values, its tip field and what each of its
// callback messages asks for. Plain C++.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace fw::tray {

// The icon's callback message: WM_USER + 1001.
inline constexpr unsigned kTrayCallbackMessage = 2025;

// NOTIFYICONDATA flags sent with each request.
inline constexpr unsigned kNifMessage = 0x1;
inline constexpr unsigned kNifIcon = 0x2;
inline constexpr unsigned kNifTip = 0x4;
inline constexpr unsigned kAddFlags = kNifMessage | kNifIcon;
inline constexpr unsigned kIconFlags = kNifIcon;
inline constexpr unsigned kTipFlags = kNifTip;
inline constexpr unsigned kDeleteFlags = 0;
// Adding the icon again after the shell has restarted: the whole record,
// the tip included, in one request.
inline constexpr unsigned kAddAgainFlags = kNifMessage | kNifIcon | kNifTip;

inline constexpr const char* kTrayTip = "Framewick";

// The first version of the (wide) record ends with a tip of 64 UTF-16
// units.
inline constexpr std::size_t kTipFieldSize = 64;
using TipField = std::array<char16_t, kTipFieldSize>;

// The tip field for a text: the text, a NUL, then spaces to the end of the
// field. The field always keeps its NUL, so at most 63 units of the text
// are kept; the rest is dropped, and a character that would be cut in half
// (a surrogate pair) goes whole.
TipField BuildTipField(std::u16string_view text);

// The mouse messages the shell reports in the callback's lParam.
inline constexpr std::uint64_t kWmLButtonUp = 0x0202;
inline constexpr std::uint64_t kWmRButtonUp = 0x0205;

enum class CallbackAction {
  ShowWindow,  // left button released over the icon
  PopupMenu,   // right button released over the icon
  PassOn,      // anything else: not the icon's business
};
CallbackAction ActionFor(unsigned message, std::uint64_t lParam);

}  // namespace fw::tray
