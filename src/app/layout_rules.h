// The main window's layout: where its controls sit, in twips, and the rule
// that sizes the picture area when the window is resized. Plain C++.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "control_ids.h"
#include "platform/units.h"

namespace fw::layout {

// Control identifiers of the main window.
using ids::kPicture2, ids::kPicture1, ids::kImage1, ids::kCommand1, ids::kCommand2, ids::kCommand3, ids::kCommand4,
    ids::kCommand6, ids::kCommand7, ids::kCommand8, ids::kCommand9, ids::kCommand10, ids::kCommand11, ids::kCommand12,
    ids::kCommand13;

struct ButtonSpec {
  int id;
  std::string_view name;
  std::string_view caption;
  Place place;           // inside the strip Picture2
  std::string_view tip;  // the button's tooltip
};

inline constexpr long kButtonTop = 120;
inline constexpr long kButtonWidth = 735;
inline constexpr long kButtonHeight = 495;

// The command strip, left to right.
inline constexpr std::array<ButtonSpec, 11> kStripButtons{{
    {kCommand2,
     "Command2",
     "Screen",
     {120, kButtonTop, kButtonWidth, kButtonHeight},
     "Capture the whole screen, 2 seconds after the notice"},
    {kCommand1,
     "Command1",
     "Window",
     {840, kButtonTop, kButtonWidth, kButtonHeight},
     "Capture the window you work in, 2 seconds after the notice"},
    {kCommand3, "Command3", "Clear", {1920, kButtonTop, kButtonWidth, kButtonHeight}, "Clear the picture area"},
    {kCommand7,
     "Command7",
     "Cut",
     {2640, kButtonTop, kButtonWidth, kButtonHeight},
     "Move the picture to the clipboard"},
    {kCommand8,
     "Command8",
     "Copy",
     {3360, kButtonTop, kButtonWidth, kButtonHeight},
     "Copy the picture to the clipboard"},
    {kCommand9,
     "Command9",
     "Paste",
     {4080, kButtonTop, kButtonWidth, kButtonHeight},
     "Show the picture on the clipboard"},
    {kCommand4, "Command4", "Save", {5160, kButtonTop, kButtonWidth, kButtonHeight}, "Save the picture to a file"},
    {kCommand11,
     "Command11",
     "Print",
     {5880, kButtonTop, kButtonWidth, kButtonHeight},
     "Print the picture on the default printer, fitted to the page"},
    {kCommand10,
     "Command10",
     "Mail",
     {6600, kButtonTop, kButtonWidth, kButtonHeight},
     "Send the last saved file with your mail program"},
    {kCommand6,
     "Command6",
     "Tray",
     {7680, kButtonTop, kButtonWidth, kButtonHeight},
     "Hide Framewick in the notification area"},
    {kCommand12, "Command12", "Exit", {8400, kButtonTop, kButtonWidth, kButtonHeight}, "Close Framewick"},
}};

inline constexpr Place kPicture2Place{0, 0, 15255, 855};
inline constexpr long kPicture1Left = 0;
inline constexpr long kPicture1Top = 840;
// Inside the picture area.
inline constexpr Place kCommand13Place{120, 120, 975, 540};
inline constexpr std::string_view kCommand13Tip = "Show the picture in the image box";
inline constexpr Place kImage1Place{2040, 240, 5250, 4350};
// The main window's client area when first shown.
inline constexpr long kInitialClientWidth = 9330;
inline constexpr long kInitialClientHeight = 5835;

// The menu bar. Item ids are the command ids the window receives.
struct MenuItemSpec {
  int id;  // 0 for a separator
  std::string_view name;
  std::string_view caption;
  std::string_view shortcut;  // shown after a tab
  bool enabled;
};

struct MenuSpec {
  std::string_view name;
  std::string_view caption;
  bool enabled;
  const MenuItemSpec* items;
  int count;
};

inline constexpr MenuItemSpec kFileItems[] = {
    {ids::kMenuNew, "New", "New", "", true},
    {0, "sep", "", "", true},
    {ids::kMenuExit, "exity", "Exit", "", true},
};
inline constexpr MenuItemSpec kShortcutItems[] = {
    {ids::kMenuCaptureScreen, "capensc", "Capture Whole Screen", "Ctrl+S", true},
    {ids::kMenuCaptureAll, "capall", "Capture All Monitors", "Ctrl+Shift+S", true},
    {ids::kMenuCaptureForm, "sdform", "Caption Whole Form", "Ctrl+F", false},
    {ids::kMenuCaptureClient, "kjhkjh", "Capture Client Area", "Ctrl+C", false},
    {ids::kMenuCaptureWindow, "snap", "Capture Active Window", "Ctrl+W", true},
    {ids::kMenuClearPicture, "dfgd", "Clear Picture Area", "Ctrl+A", true},
};
inline constexpr MenuItemSpec kOptionsItems[] = {
    {ids::kMenuOptions, "Options2", "Options", "", true},
    {ids::kMenuConfigureKeys, "keys", "Configure Keys", "", false},
};
inline constexpr MenuItemSpec kHelpItems[] = {
    {ids::kMenuHelp, "he", "Help", "", true},
    {0, "sep2", "", "", true},
    {ids::kMenuVersion, "version", "Version Info", "", true},
};
inline constexpr MenuSpec kMenuBar[] = {
    {"file", "File", true, kFileItems, 3},
    {"sd", "Shortcuts", false, kShortcutItems, 6},
    {"Options", "Options", true, kOptionsItems, 2},
    {"help", "Help", true, kHelpItems, 3},
};

// The picture area's new size after a resize of the main window, in twips.
// A size that would be negative is left out (the area keeps that dimension),
// and nothing changes while the window is being minimised.
struct PictureAreaSize {
  std::optional<long> width;
  std::optional<long> height;
};

inline PictureAreaSize ResizePictureArea(long windowWidth, long windowHeight, bool minimised) {
  PictureAreaSize s;
  if (minimised) return s;
  long h = windowHeight - (kPicture1Top + 700);
  long w = windowWidth - 100;
  if (h >= 0) s.height = h;
  if (w >= 0) s.width = w;
  return s;
}

}  // namespace fw::layout
