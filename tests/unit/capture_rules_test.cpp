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

TEST(CaptureFailure, SaysTheScreenWasNotCapturedWhyAndThatThePictureStays) {
  std::string text = CaptureFailureText(SnapFailure::NoBitmap, 7680, 4320, "Not enough memory.");
  EXPECT_EQ(text,
            "The screen could not be captured.\n\nWindows could not make a picture of 7680 x 4320 pixels: Not "
            "enough memory.\n\nThe picture area keeps its previous picture.");
  EXPECT_NE(CaptureFailureText(SnapFailure::NoBitmap, 10, 20, "").find("not enough memory"), std::string::npos);
  for (SnapFailure f : {SnapFailure::NoScreen, SnapFailure::NoPicture}) {
    text = CaptureFailureText(f, 10, 20, "");
    EXPECT_EQ(text.rfind("The screen could not be captured.\n\n", 0), 0u) << text;
    EXPECT_GT(text.size(), 90u) << "no reason: " << text;
  }
}

TEST(FailureMessages, OneOpenAtATime) {
  FailureMessages m;
  ASSERT_TRUE(m.MayOpen());
  // Failures while it is open (a burst of captures) open nothing.
  EXPECT_FALSE(m.MayOpen());
  EXPECT_FALSE(m.MayOpen());
  EXPECT_TRUE(m.Open());
  m.Closed();
  // Closed: the next failure has its message.
  EXPECT_TRUE(m.MayOpen());
}

// The order the user meets: a button plays the sound, captures, makes the
// picture unsaved, saves it automatically, then restores the window; a
// hotkey captures, then plays the sound, brings the window back (shown,
// also from hidden) and saves it after that.
TEST(CaptureSteps, ButtonAndHotkeyDifferInTheSoundTheUnsavedMarkAndTheReturn) {
  using enum CaptureStep;
  EXPECT_EQ(CaptureSteps(CaptureBy::Button),
            (std::vector<CaptureStep>{Sound, Capture, MarkUnsaved, AutoSave, Restore}));
  EXPECT_EQ(CaptureSteps(CaptureBy::Hotkey), (std::vector<CaptureStep>{Capture, Sound, RestoreAndShow, AutoSave}));
}

}  // namespace
}  // namespace fw::capture
