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
  EXPECT_EQ(hotkeys::ActionFor(4), hotkeys::Action::CaptureAllMonitors);
  EXPECT_EQ(hotkeys::ActionFor(255), hotkeys::Action::Nothing);
}

TEST(HotkeyRegistration, TriedAgainWithoutNoRepeatUnlessTheKeysAreTaken) {
  // Taken by another program: trying without the flag would fail the same.
  EXPECT_FALSE(hotkeys::RetryWithoutNoRepeat(1409));
  // Anything else may be the flag refused (Windows Vista and earlier).
  EXPECT_TRUE(hotkeys::RetryWithoutNoRepeat(87));
  EXPECT_TRUE(hotkeys::RetryWithoutNoRepeat(1004));
  EXPECT_TRUE(hotkeys::RetryWithoutNoRepeat(0));
}

TEST(HotkeyQueue, AnActionNeverRunsInsideAnother) {
  hotkeys::HotkeyQueue q;
  ASSERT_TRUE(q.Arrive(0));  // runs now
  // While it runs, 1,000 more presses of Ctrl+F10 and two of Ctrl+F12 and
  // Ctrl+F11 arrive: none runs, each key waits once, in order of arrival.
  for (int i = 0; i < 1000; ++i) EXPECT_FALSE(q.Arrive(0));
  EXPECT_FALSE(q.Arrive(2));
  EXPECT_FALSE(q.Arrive(1));
  EXPECT_FALSE(q.Arrive(2));
  EXPECT_EQ(q.Waiting(), 3u);
  EXPECT_EQ(q.Next(), std::optional<std::uint8_t>(0));
  // A press while the second runs waits again.
  EXPECT_FALSE(q.Arrive(0));
  EXPECT_EQ(q.Next(), std::optional<std::uint8_t>(2));
  EXPECT_EQ(q.Next(), std::optional<std::uint8_t>(1));
  EXPECT_EQ(q.Next(), std::optional<std::uint8_t>(0));
  EXPECT_TRUE(q.Running());
  EXPECT_EQ(q.Next(), std::nullopt);
  EXPECT_FALSE(q.Running());
  // Idle again: the next press runs at once.
  EXPECT_TRUE(q.Arrive(1));
}

TEST(HotkeyQueue, TwoPressesInARowGiveTwoActions) {
  hotkeys::HotkeyQueue q;
  int runs = 0;
  ASSERT_TRUE(q.Arrive(0));
  EXPECT_FALSE(q.Arrive(0));  // the second press came during the first capture
  for (auto next = std::optional<std::uint8_t>(0); next; next = q.Next()) ++runs;
  EXPECT_EQ(runs, 2);
}

TEST(HotkeyQueue, ClosingDropsWhatWaits) {
  hotkeys::HotkeyQueue q;
  ASSERT_TRUE(q.Arrive(0));
  EXPECT_FALSE(q.Arrive(1));
  q.Drop();
  EXPECT_FALSE(q.Running());
  EXPECT_EQ(q.Waiting(), 0u);
  EXPECT_EQ(q.Next(), std::nullopt);
}

}  // namespace
}  // namespace fw
