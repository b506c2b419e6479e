// The clipboard when things go wrong: another program holds it open while
// Paste runs, and Copy cannot make its copy.
#include <gtest/gtest.h>

#include <cstdio>

#include "flows.h"
#include "harness.h"
#include "harness_files.h"

namespace e2e {
namespace {

constexpr int kW = 240, kH = 160;

Image Stripes(int w, int h) {
  Image img;
  img.width = w;
  img.height = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.px.push_back(((x / 6) + (y / 4)) % 2 ? 0x2060C0u : 0xF0E020u);
  return img;
}

TEST(ClipboardBusy, WhileAnotherProgramHoldsTheClipboardPasteCopyAndCutKeepThePicture) {
  App app;
  PatternWindow pattern(0, 0, kW, kH, 61);
  ASSERT_TRUE(CaptureScreenWithPattern(app, pattern));
  Image offered = Stripes(90, 70);
  ASSERT_TRUE(PutBitmapOnClipboard(offered));

  ClipboardHolder holder;
  ASSERT_TRUE(holder.holding()) << "the helper could not open the clipboard";
  app.Click("Paste");
  app.Click("Copy");
  app.Click("Cut");
  ASSERT_TRUE(app.Barrier()) << "the commands did not return";
  EXPECT_TRUE(OpenDialogs(app.pid()).empty());
  EXPECT_EQ(PatternDifferences(app.PictureArea(), pattern), 0)
      << "a clipboard that could not be opened was taken for an empty one, or Cut emptied the area without a copy";

  // Once the clipboard is free again, it still holds what it held, and
  // Paste takes it.
  ASSERT_TRUE(holder.Release());
  EXPECT_EQ(TopLeftDifferences(ClipboardBitmap(), offered), 0);
  app.Click("Paste");
  EXPECT_TRUE(WaitUntil([&] { return TopLeftDifferences(app.PictureArea(), offered) == 0; }, 3000));
}

// Copy's failures that no user brings about on purpose, in a process that
// runs the program's own clipboard code (tests/e2e/inprocess/clipboard_copy.cpp).
TEST(ClipboardBusy, ACopyThatCannotBeMadeLeavesTheUsersClipboardAsItWas) {
  std::string out;
  int rc = RunAndCollect(BinDir() + "\\clipboard_copy.exe", "", 60000, out);
  std::printf("%s", out.c_str());
  EXPECT_EQ(rc, 0) << "checks failed (or the run did not finish)";
  EXPECT_NE(out.find("result 0 failed"), std::string::npos);
}

}  // namespace
}  // namespace e2e
