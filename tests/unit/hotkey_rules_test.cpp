// The system-wide hotkeys' decisions: what start-up says when they cannot
// be registered, and which hotkey messages carry which action.
#include <gtest/gtest.h>

#include "capture/hotkey_rules.h"

namespace fw {
namespace {

TEST(HotkeyStartup, MessagesAndTheEndOfTheProgram) {
  for (int bits = 0; bits < 8; ++bits) {
    std::array<bool, 3> reg{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0};
    hotkeys::StartupReport r = hotkeys::ReportRegistration(reg);
    EXPECT_EQ(r.hotkeyFault, !reg[0]) << bits;
    EXPECT_EQ(r.hkFault, bits == 0) << bits;
    EXPECT_EQ(r.endProgram, bits == 0) << bits;
  }
}

TEST(HotkeyMessage, IdsOutside8BitsCarryNoHotkey) {
  EXPECT_EQ(hotkeys::HotkeyId(0), 0);
  EXPECT_EQ(hotkeys::HotkeyId(2), 2);
  EXPECT_EQ(hotkeys::HotkeyId(255), 255);
  EXPECT_FALSE(hotkeys::HotkeyId(256));  // not cut down to 0
  EXPECT_FALSE(hotkeys::HotkeyId(0x102));
  EXPECT_FALSE(hotkeys::HotkeyId(0xFFFFFFFEu));            // IDHOT_SNAPDESKTOP on 32-bit
  EXPECT_FALSE(hotkeys::HotkeyId(0xFFFFFFFFFFFFFFFFull));  // IDHOT_SNAPWINDOW on 64-bit
  EXPECT_EQ(hotkeys::ActionFor(0), hotkeys::Action::CaptureScreen);
  EXPECT_EQ(hotkeys::ActionFor(1), hotkeys::Action::CaptureWindow);
  EXPECT_EQ(hotkeys::ActionFor(2), hotkeys::Action::ClearPicture);
  EXPECT_EQ(hotkeys::ActionFor(3), hotkeys::Action::Nothing);
  EXPECT_EQ(hotkeys::ActionFor(255), hotkeys::Action::Nothing);
}

}  // namespace
}  // namespace fw
