// The capture commands' notice and the rule that ends their waits.
#include <gtest/gtest.h>

#include "capture/capture_rules.h"

namespace fw::capture {
namespace {

TEST(Notice, WindowNoticeReadsAsTheUserSeesIt) {
  EXPECT_EQ(NoticeText(2, CaptureKind::Window),
            "2 seconds after you close this dialog the active window will be captured.");
  EXPECT_EQ(NoticeTitle(CaptureKind::Window), "Capture Active Window");
}

TEST(Notice, ScreenNoticeHasItsOwnEndingAndTitle) {
  EXPECT_EQ(NoticeText(2, CaptureKind::Screen),
            "2 seconds after you close this dialog the entire screen will be captured.");
  EXPECT_EQ(NoticeTitle(CaptureKind::Screen), "Capture Whole Screen");
}

TEST(Notice, DelayIsPlainDecimal) {
  EXPECT_EQ(NoticeText(0, CaptureKind::Window).substr(0, 10), "0 seconds ");
  EXPECT_EQ(NoticeText(15, CaptureKind::Window).substr(0, 11), "15 seconds ");
}

TEST(Wait, EndsAtTheFirstReadingLaterThanStartPlusDelay) {
  std::int64_t end = WaitEnd(100, 2);
  EXPECT_EQ(end, 102);
  EXPECT_FALSE(WaitIsOver(100, end));
  EXPECT_FALSE(WaitIsOver(101, end));
  EXPECT_FALSE(WaitIsOver(102, end));  // lasts at least the delay
  EXPECT_TRUE(WaitIsOver(103, end));   // and less than delay + 1 after the start second
}

TEST(Wait, ZeroDelayWaitsForTheNextSecond) {
  std::int64_t end = WaitEnd(500, 0);
  EXPECT_FALSE(WaitIsOver(500, end));
  EXPECT_TRUE(WaitIsOver(501, end));
}

TEST(Sound, SeparatorIsAlwaysAdded) {
  EXPECT_EQ(CameraSoundPath("C:\\Program Files\\Framewick"), "C:\\Program Files\\Framewick\\camera.wav");
  EXPECT_EQ(CameraSoundPath("C:\\"), "C:\\\\camera.wav");
}

}  // namespace
}  // namespace fw::capture
