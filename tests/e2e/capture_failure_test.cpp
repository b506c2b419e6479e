// A capture that cannot be made (no bitmap of the screen's size: a very
// large screen in a 32-bit process, a system low on memory) keeps the
// picture the area had, goes no further, and says so. The program runs as
// the test build refusing_bitmaps.exe, which refuses such bitmaps when told.
#include <gtest/gtest.h>

#include "capture_watch.h"
#include "flows.h"
#include "harness.h"
#include "harness_files.h"
#include "harness_formats.h"
#include "options_access.h"

namespace e2e {
namespace {

void RefuseScreenBitmaps(App& app, bool refuse) {
  static const UINT message = ::RegisterWindowMessageA("FramewickTest.Refuse");
  ::PostMessageA(app.main(), message, refuse ? 1 : 0, 0);
  ASSERT_TRUE(app.Barrier());
}

// The message of a capture that failed, closed with OK.
void ExpectCaptureFailedMessage(App& app) {
  auto box = WaitForDialog(app.pid(), 10000, "Framewick");
  ASSERT_TRUE(box) << "a failed capture said nothing";
  std::string size =
      std::to_string(::GetSystemMetrics(SM_CXSCREEN)) + " x " + std::to_string(::GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(box->text.rfind("The screen could not be captured.\n\n", 0), 0u) << box->text;
  EXPECT_NE(box->text.find(size), std::string::npos) << box->text;
  EXPECT_NE(box->text.find("The picture area keeps its previous picture."), std::string::npos) << box->text;
  EXPECT_EQ(box->icon, IconKind::Warning);
  PressDialogButton(box->hwnd, IDOK);
  ASSERT_TRUE(WaitDialogGone(box->hwnd, 5000));
}

TEST(CaptureFailure, KeepsThePictureSkipsTheAfterCaptureStepsAndSaysWhy) {
  std::string shots = FreshTestDir("-shots");
  App app({.settings = SettingsLine(1, 1, shots), .program = "refusing_bitmaps.exe"});
  ASSERT_TRUE(app.main()) << "the test build did not start";
  CaptureWatch watch(app);  // counts the capture sounds from the first on
  ASSERT_TRUE(watch.watching());
  PatternWindow pattern(0, 0, 200, 120, 71);
  ASSERT_TRUE(CaptureScreenWithPattern(app, pattern));  // Ctrl+S: nothing unsaved
  EXPECT_EQ(watch.Sounds(), 1) << "the capture sound is not seen";
  ::ShowWindow(pattern.hwnd(), SW_HIDE);  // a new capture would differ
  RefuseScreenBitmaps(app, true);

  // A hotkey capture: no picture, so no sound, no return, no automatic
  // save. Minimised first, so that a return would show.
  ::ShowWindow(app.main(), SW_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return ::IsIconic(app.main()) != FALSE; }, 3000));
  ASSERT_TRUE(app.Sync());
  PostHotkey(app, 0);
  ExpectCaptureFailedMessage(app);
  ASSERT_TRUE(app.Sync());
  EXPECT_TRUE(::IsIconic(app.main())) << "the return step ran after a failed capture";
  EXPECT_EQ(watch.Sounds(), 1) << "the sound played for a capture that failed";
  EXPECT_TRUE(ListDir(shots).empty()) << "an automatic save after a failed capture";
  Restore(app);
  EXPECT_EQ(PatternDifferences(app.PictureArea(), pattern), 0) << "the earlier picture was lost";

  // A button capture: its sound comes before the capture, as always, and
  // nothing after it; the window stays minimised and nothing becomes
  // unsaved.
  app.Click("Screen");
  auto notice = WaitForDialog(app.pid(), 5000);
  ASSERT_TRUE(notice);
  PressDialogButton(notice->hwnd, IDOK);
  ExpectCaptureFailedMessage(app);
  ASSERT_TRUE(app.Sync());
  EXPECT_TRUE(::IsIconic(app.main())) << "the return step ran after a failed capture";
  EXPECT_EQ(watch.Sounds(), 2);
  EXPECT_TRUE(ListDir(shots).empty());
  Restore(app);
  EXPECT_EQ(PatternDifferences(app.PictureArea(), pattern), 0);
  EXPECT_TRUE(app.SettledDialogs().empty());

  // Refused no more: the same capture works, sounds, and is saved.
  RefuseScreenBitmaps(app, false);
  PostHotkey(app, 0);
  EXPECT_TRUE(WaitUntil([&] { return SavedAs(shots + "\\snap0.jpg"); }, kSaveTimeoutMs));
  ASSERT_TRUE(app.Sync());
  EXPECT_EQ(watch.Sounds(), 3);
  EXPECT_GT(PatternDifferences(app.PictureArea(), pattern), 0) << "the working capture did not replace it";
  // Only button captures that succeeded make Exit ask.
  app.Click("Exit");
  EXPECT_TRUE(app.WaitExit(5000)) << "Exit asked about a picture that was never unsaved";
}

// Every monitor in one picture can be too large to be made (three 4K
// monitors make about 100 MB): Ctrl+Shift+F10 then says so like any other
// capture and keeps the picture. (On one monitor the virtual screen is the
// screen, whose size the test build refuses.)
TEST(CaptureFailure, EveryMonitorTooLargeToBeMadeSaysSoAndKeepsThePicture) {
  std::string shots = FreshTestDir("-shots");
  App app({.settings = SettingsLine(1, 0, shots), .program = "refusing_bitmaps.exe"});
  ASSERT_TRUE(app.main()) << "the test build did not start";
  PatternWindow pattern(0, 0, 200, 120, 72);
  ASSERT_TRUE(CaptureScreenWithPattern(app, pattern));
  ::ShowWindow(pattern.hwnd(), SW_HIDE);
  RefuseScreenBitmaps(app, true);
  PostHotkey(app, 4);  // Ctrl+Shift+F10
  ExpectCaptureFailedMessage(app);
  ASSERT_TRUE(app.Sync());
  EXPECT_EQ(PatternDifferences(app.PictureArea(), pattern), 0) << "the earlier picture was lost";
  EXPECT_TRUE(ListDir(shots).empty()) << "an automatic save after a failed capture";
}

}  // namespace
}  // namespace e2e
