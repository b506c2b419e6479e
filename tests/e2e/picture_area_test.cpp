// The picture area: Clear, the clipboard (Cut, Copy, Paste), Command13 and
// dragging on Image1.
#include <gtest/gtest.h>

#include "flows.h"
#include "harness.h"

namespace e2e {
namespace {

constexpr int kW = 240, kH = 160;

bool AreaIsBlank(App& app) {
  Image shown = app.PictureArea();
  if (shown.empty()) return false;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      if (shown.at(x, y) != 0xFFFFFF) return false;
  return true;
}

// The window of the program that has the mouse captured.
HWND MouseCaptureOf(App& app) {
  GUITHREADINFO gti{};
  gti.cbSize = sizeof gti;
  DWORD thread = ::GetWindowThreadProcessId(app.main(), nullptr);
  return ::GetGUIThreadInfo(thread, &gti) ? gti.hwndCapture : nullptr;
}

RECT InArea(App& app, HWND child) {
  RECT r = ScreenRect(child);
  ::MapWindowPoints(nullptr, app.picture1(), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

TEST(Clipboard, CopyPutsExactlyTheCapturedPixelsOnTheClipboard) {
  App app;
  PatternWindow pattern(0, 0, kW, kH, 11);
  ASSERT_TRUE(CaptureScreenWithPattern(app, pattern));
  ASSERT_TRUE(PutTextOnClipboard("something the user had"));
  app.Click("Copy");
  ASSERT_TRUE(WaitUntil([] { return ClipboardHasFormat(CF_BITMAP); }, 3000));
  Image clip = ClipboardBitmap();
  EXPECT_EQ(clip.width, ::GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(clip.height, ::GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(PatternDifferences(clip, pattern), 0);
  EXPECT_FALSE(ClipboardHasFormat(CF_TEXT)) << "Copy empties the clipboard first";
  // Copy leaves the picture where it is.
  EXPECT_EQ(PatternDifferences(app.PictureArea(), pattern), 0);
}

TEST(Clipboard, CutThenPastePutsTheSameImageBack) {
  App app;
  PatternWindow pattern(0, 0, kW, kH, 12);
  ASSERT_TRUE(CaptureScreenWithPattern(app, pattern));
  app.Click("Cut");
  ASSERT_TRUE(WaitUntil([&] { return AreaIsBlank(app); }, 3000)) << "Cut leaves an empty area";
  EXPECT_EQ(PatternDifferences(ClipboardBitmap(), pattern), 0);
  // Move the pattern away so the screen no longer shows it.
  ::ShowWindow(pattern.hwnd(), SW_HIDE);
  app.Click("Paste");
  EXPECT_TRUE(WaitUntil([&] { return PatternDifferences(app.PictureArea(), pattern) == 0; }, 3000));
}

TEST(Clipboard, PastesABitmapAndAnEnhancedMetafileFromAnotherProgram) {
  App app;
  // A bitmap.
  Image img;
  img.width = 90;
  img.height = 70;
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) img.px.push_back(PatternWindow::Colour(x, y, 21));
  ASSERT_TRUE(PutBitmapOnClipboard(img));
  app.Click("Paste");
  EXPECT_TRUE(WaitUntil([&] { return TopLeftDifferences(app.PictureArea(), img) == 0; }, 3000));

  // An enhanced metafile: a red square on blue, 2 by 1 inches.
  HDC ref = ::GetDC(nullptr);
  RECT frame{0, 0, 5080, 2540};  // HIMETRIC
  HDC mf = ::CreateEnhMetaFileA(ref, nullptr, &frame, nullptr);
  int w = ::MulDiv(5080, ::GetDeviceCaps(ref, LOGPIXELSX), 2540);
  int h = ::MulDiv(2540, ::GetDeviceCaps(ref, LOGPIXELSY), 2540);
  ::ReleaseDC(nullptr, ref);
  HBRUSH blue = ::CreateSolidBrush(RGB(0, 0, 255)), red = ::CreateSolidBrush(RGB(255, 0, 0));
  RECT all{0, 0, w, h}, square{w / 4, h / 4, w / 2, h * 3 / 4};
  ::FillRect(mf, &all, blue);
  ::FillRect(mf, &square, red);
  ::DeleteObject(blue);
  ::DeleteObject(red);
  HENHMETAFILE emf = ::CloseEnhMetaFile(mf);
  ASSERT_NE(emf, nullptr);
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::EmptyClipboard();
  ASSERT_NE(::SetClipboardData(CF_ENHMETAFILE, emf), nullptr);
  ::CloseClipboard();

  app.Click("Paste");
  bool shown = WaitUntil(
      [&] {
        Image a = app.PictureArea();
        if (a.width < w || a.height < h) return false;
        // Inside the square, inside the blue, and white beyond the picture.
        return a.at(w * 3 / 8, h / 2) == 0xFF0000 && a.at(w * 3 / 4, h / 2) == 0x0000FF &&
               a.at(w / 8, h / 8) == 0x0000FF && a.at(w + 5, h / 2) == 0xFFFFFF;
      },
      3000);
  EXPECT_TRUE(shown) << "the metafile is drawn at its natural size at the top-left";
  if (!shown) SaveBmp(app.PictureArea(), app.dir() + "\\emf.bmp");
}

TEST(Clipboard, NothingToCopyOrCutLeavesTheUsersClipboardAlone) {
  App app;
  ASSERT_TRUE(PutTextOnClipboard("keep me"));
  app.Click("Copy");
  app.Click("Cut");
  ASSERT_TRUE(app.Sync());
  EXPECT_TRUE(ClipboardHasFormat(CF_TEXT));
  EXPECT_FALSE(ClipboardHasFormat(CF_BITMAP));
  EXPECT_TRUE(app.running());
}

TEST(Clipboard, PasteOfAnEmptyClipboardLeavesNoPicture) {
  App app;
  PatternWindow pattern(0, 0, kW, kH, 13);
  ASSERT_TRUE(CaptureScreenWithPattern(app, pattern));
  ASSERT_TRUE(EmptyTheClipboard());
  app.Click("Paste");
  EXPECT_TRUE(WaitUntil([&] { return AreaIsBlank(app); }, 3000));
  // Text only is no picture either.
  ASSERT_TRUE(CaptureScreenWithPattern(app, pattern));
  ASSERT_TRUE(PutTextOnClipboard("text"));
  app.Click("Paste");
  EXPECT_TRUE(WaitUntil([&] { return AreaIsBlank(app); }, 3000));
}

TEST(PictureArea, ClearAndCtrlAEmptyTheAreaAndLeaveImage1Alone) {
  App app;
  PatternWindow pattern(0, 0, kW, kH, 14);
  RECT imageBefore = InArea(app, app.image1());
  ASSERT_TRUE(CaptureScreenWithPattern(app, pattern));
  app.Click("Clear");
  EXPECT_TRUE(WaitUntil([&] { return AreaIsBlank(app); }, 3000));
  ASSERT_TRUE(CaptureScreenWithPattern(app, pattern));
  app.Shortcut('A');
  EXPECT_TRUE(WaitUntil([&] { return AreaIsBlank(app); }, 3000));
  RECT imageAfter = InArea(app, app.image1());
  EXPECT_TRUE(::EqualRect(&imageBefore, &imageAfter));
  // Clear of an empty area is harmless.
  app.Click("Clear");
  app.Sync();
  EXPECT_TRUE(app.running());
}

TEST(PictureArea, Image1StartsWithItsPhotographAndCommand13GivesItThePicture) {
  App app;
  HWND image = app.image1();
  ASSERT_NE(image, nullptr);
  RECT r = InArea(app, image);
  EXPECT_EQ(r.left, 136);
  EXPECT_EQ(r.top, 16);
  EXPECT_EQ(r.right - r.left, 350);
  EXPECT_EQ(r.bottom - r.top, 290);
  // The photograph is there: not a blank control.
  EXPECT_TRUE(WaitUntil(
      [&] {
        Image photo = GrabScreen(ScreenRect(image));
        std::size_t distinct = 0;
        for (std::size_t i = 1; i < photo.px.size(); ++i) distinct += photo.px[i] != photo.px[i - 1];
        return distinct > 1000u;
      },
      3000));

  PatternWindow pattern(0, 0, kW, kH, 15);
  ASSERT_TRUE(CaptureScreenWithPattern(app, pattern));
  app.Click("Command13");
  app.Sync();
  // A full-screen picture makes Image1 as large as the screen, at its place.
  EXPECT_TRUE(WaitUntil(
      [&] {
        RECT now = InArea(app, image);
        return now.left == 136 && now.top == 16 && now.right - now.left == ::GetSystemMetrics(SM_CXSCREEN) &&
               now.bottom - now.top == ::GetSystemMetrics(SM_CYSCREEN);
      },
      3000));
  // It shows the same picture from its own top-left: the pattern.
  RECT shown = ScreenRect(image);
  EXPECT_TRUE(WaitUntil(
      [&] {
        Image inImage = GrabScreen(RECT{shown.left, shown.top, shown.left + kW, shown.top + kH});
        return CountDifferences(inImage, pattern.expected()) == 0;
      },
      3000));
}

TEST(PictureArea, DraggingOnImage1ResizesItFromTheAreasCorner) {
  App app;
  HWND image = app.image1();
  ASSERT_TRUE(BringToFront(app.main()));
  RECT r = ScreenRect(image);
  MoveMouse(r.left + 20, r.top + 20);
  MouseButton(true);
  // Pressed on Image1, which keeps the mouse until the button is released.
  ASSERT_TRUE(WaitUntil([&] { return MouseCaptureOf(app) == image; }, 3000)) << "the press did not reach Image1";
  MoveMouse(r.left + 120, r.top + 90);
  // The first move makes it jump to the area's corner with the pointer's
  // offset (100 + 20, 70 + 20 from its old corner) as its size. Windows
  // then sends a mouse move of its own, since the image has moved under the
  // pointer, and its bottom-right corner goes to the pointer; Wine 10 does
  // so too, Wine 8 does not.
  RECT area = ScreenRect(app.picture1());
  const RECT jumped = MovingAWindowUnderThePointerSendsAMouseMove()
                          ? RECT{0, 0, r.left + 120 - area.left, r.top + 90 - area.top}
                          : RECT{0, 0, 120, 90};
  EXPECT_TRUE(WaitUntil(
      [&] {
        RECT now = InArea(app, image);
        return ::EqualRect(&now, &jumped) != FALSE;
      },
      3000))
      << "jumps to the corner; now " << InArea(app, image).left << "," << InArea(app, image).top << " "
      << InArea(app, image).right << "," << InArea(app, image).bottom;
  // From then on the bottom-right corner follows the pointer.
  MoveMouse(area.left + 300, area.top + 200);
  EXPECT_TRUE(WaitUntil(
      [&] {
        RECT now = InArea(app, image);
        return now.right == 300 && now.bottom == 200;
      },
      3000))
      << "follows the pointer";
  // Above the area (over the strip): the height is zero, not negative.
  MoveMouse(area.left + 20, area.top - 5);
  EXPECT_TRUE(WaitUntil(
      [&] {
        RECT now = InArea(app, image);
        return now.right == 20 && now.bottom == 0;
      },
      3000))
      << "clamps to zero; now " << InArea(app, image).left << "," << InArea(app, image).top << " "
      << InArea(app, image).right << "," << InArea(app, image).bottom;
  MoveMouse(area.left + 200, area.top + 150);
  WaitUntil([&] { return InArea(app, image).right == 200; }, 3000);
  MouseButton(false);
  ASSERT_TRUE(WaitUntil([&] { return MouseCaptureOf(app) == nullptr; }, 3000)) << "the release did not reach Image1";
  // Released: moving no longer resizes.
  MoveMouse(area.left + 260, area.top + 180);
  ASSERT_TRUE(app.InputHandled()) << "the pointer's moves were not handled";
  RECT after = InArea(app, image);
  EXPECT_EQ(after.right, 200);
  EXPECT_EQ(after.bottom, 150);
}

}  // namespace
}  // namespace e2e
