// Display scaling: the windows laid out in twips and their fonts in points
// at the DPI Windows gives them, a change of that DPI followed, and
// captures in real pixels whatever the scaling. `make test` runs these
// under Wine at 96, 144 and 192 dots per inch (the system DPI of a Wine
// prefix of their own).
//
// Wine 8 treats every program as aware of each monitor's scaling, gives
// every window the system DPI and never sends WM_DPICHANGED: the tests play
// the system and send it from inside the program (dpi_probe.dll).
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "flows.h"
#include "harness.h"
#include "options_access.h"
#include "probe/dpi_probe.h"

namespace e2e {
namespace {

constexpr const char* kProbe = "dpi_probe.dll";

// The system DPI, as the driver (aware of the scaling, like the program)
// reads it.
int SystemDpi() {
  HDC screen = ::GetDC(nullptr);
  int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
  ::ReleaseDC(nullptr, screen);
  return dpi;
}

// Another DPI to move to: up from 96 and 144, down from 192.
int OtherDpi(int dpi) {
  return dpi == 144 ? 192 : 144;
}

// Pixels of a length in twips at a DPI, unrounded.
double Px(long twips, int dpi) {
  return twips * dpi / 1440.0;
}

RECT RectIn(HWND child, HWND parent) {
  RECT r = ScreenRect(child);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

struct TwipsPlace {
  long left, top, width, height;
};

// A control at its place in twips at `dpi`, within a pixel.
::testing::AssertionResult AtPlace(HWND control, HWND parent, TwipsPlace place, int dpi) {
  if (!control) return ::testing::AssertionFailure() << "no such control";
  RECT r = RectIn(control, parent);
  long got[] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
  long twips[] = {place.left, place.top, place.width, place.height};
  const char* names[] = {"left", "top", "width", "height"};
  for (int i = 0; i < 4; ++i) {
    if (std::fabs(got[i] - Px(twips[i], dpi)) > 1.0) {
      return ::testing::AssertionFailure() << names[i] << " " << got[i] << " px, not " << twips[i] << " twips at "
                                           << dpi << " dpi (" << Px(twips[i], dpi) << " px)";
    }
  }
  return ::testing::AssertionSuccess();
}

// A control's font is `points` high at `dpi`: asked for at that height (to
// the nearest pixel) and realised so (its characters within a pixel of it).
::testing::AssertionResult FontAt(App& app, HWND control, double points, int dpi) {
  long heights = RunInProgram(app.process(), kProbe, "FontHeights", control);
  if (heights <= 0) return ::testing::AssertionFailure() << "no font could be read (" << heights << ")";
  long requested = heights & 0xFFFF, realised = (heights >> 16) & 0xFFFF;
  double wanted = points * dpi / 72.0;
  if (std::fabs(requested - wanted) > 0.5 || std::labs(realised - requested) > 1) {
    return ::testing::AssertionFailure() << "font of " << requested << " px (realised " << realised << "), not "
                                         << points << " pt at " << dpi << " dpi (" << wanted << " px)";
  }
  return ::testing::AssertionSuccess();
}

// Sends WM_DPICHANGED to a window of the program, as Windows does when the
// window moves to a monitor of another scaling, and waits until it is
// handled.
bool SendDpiChanged(App& app, HWND window, int dpi, const RECT& suggested) {
  DpiChange change{window, static_cast<UINT>(dpi), suggested};
  ProgramMemory argument(app.process(), &change, sizeof change);
  return argument.get() && RunInProgram(app.process(), kProbe, "SendDpiChanged", argument.get()) == 1;
}

// The rectangle Windows suggests for a window moving from one DPI to
// another: its outer size scaled, its top-left corner kept.
RECT Scaled(const RECT& r, int from, int to) {
  auto scale = [&](long v) { return static_cast<long>(std::lround(v * static_cast<double>(to) / from)); };
  return RECT{r.left, r.top, r.left + scale(r.right - r.left), r.top + scale(r.bottom - r.top)};
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

struct StripButton {
  const char* caption;
  long left;
};
constexpr StripButton kStrip[] = {{"Screen", 120}, {"Window", 840}, {"Clear", 1920}, {"Cut", 2640},
                                  {"Copy", 3360},  {"Paste", 4080}, {"Save", 5160},  {"Print", 5880},
                                  {"Mail", 6600},  {"Tray", 7680},  {"Exit", 8400}};

// The main window laid out at `dpi`: the strip, its eleven buttons and
// their captions' font, the picture area's top and Command13.
void ExpectMainWindowAt(App& app, int dpi) {
  HWND strip = FindChildById(app.main(), kPicture2);
  ASSERT_NE(strip, nullptr);
  EXPECT_TRUE(AtPlace(strip, app.main(), {0, 0, 15255, 855}, dpi));
  for (const auto& b : kStrip) {
    HWND button = app.button(b.caption);
    ASSERT_NE(button, nullptr) << b.caption;
    EXPECT_TRUE(AtPlace(button, strip, {b.left, 120, 735, 495}, dpi)) << b.caption;
    EXPECT_TRUE(FontAt(app, button, 8.25, dpi)) << b.caption;
  }
  RECT area = RectIn(app.picture1(), app.main());
  EXPECT_EQ(area.left, 0);
  EXPECT_NEAR(area.top, Px(840, dpi), 1.0);
  EXPECT_TRUE(AtPlace(app.command13(), app.picture1(), {120, 120, 975, 540}, dpi));
  EXPECT_TRUE(FontAt(app, app.command13(), 8.25, dpi));
}

// Options and Version Info laid out at `dpi`: a few controls each, and
// their fonts.
void ExpectOptionsAt(App& app, HWND options, int dpi) {
  EXPECT_TRUE(AtPlace(FindChildById(options, kOptionsCheck1), options, {300, 330, 3960, 300}, dpi));
  EXPECT_TRUE(AtPlace(FindChildById(options, kOptionsDir1), options, {300, 720, 3960, 2640}, dpi));
  EXPECT_TRUE(AtPlace(FindChildById(options, kOptionsApply), options, {3360, 4920, 1080, 375}, dpi));
  EXPECT_TRUE(FontAt(app, FindChildById(options, kOptionsApply), 8.25, dpi));
  EXPECT_TRUE(FontAt(app, FindChildById(options, kOptionsCheck2), 8.25, dpi));
}

void ExpectVersionInfoAt(App& app, HWND about, int dpi) {
  EXPECT_TRUE(AtPlace(FindChildById(about, kAboutSkinLabel1), about, {1950, 300, 3540, 480}, dpi));
  EXPECT_TRUE(AtPlace(FindChildById(about, kAboutSysInfo), about, {2985, 2280, 1260, 375}, dpi));
  EXPECT_TRUE(AtPlace(FindChildById(about, kAboutOK), about, {4365, 2280, 1260, 375}, dpi));
  EXPECT_TRUE(FontAt(app, FindChildById(about, kAboutSkinLabel1), 15.75, dpi));
  EXPECT_TRUE(FontAt(app, FindChildById(about, kAboutSkinLabel2), 8.25, dpi));
  EXPECT_TRUE(FontAt(app, FindChildById(about, kAboutOK), 8.25, dpi));
}

TEST(Dpi, MainWindowIsLaidOutInTwipsAtTheSystemDpi) {
  int dpi = SystemDpi();
  App app;
  RECT client{};
  ::GetClientRect(app.main(), &client);
  EXPECT_NEAR(client.right, Px(9330, dpi), 1.0);
  EXPECT_NEAR(client.bottom, Px(5835, dpi), 1.0);
  ExpectMainWindowAt(app, dpi);
}

TEST(Dpi, OptionsAndVersionInfoAreLaidOutInTwipsAtTheSystemDpi) {
  int dpi = SystemDpi();
  App app;
  HWND options = OpenOptions(app);
  ASSERT_NE(options, nullptr);
  RECT client{};
  ::GetClientRect(options, &client);
  EXPECT_NEAR(client.right, Px(4560, dpi), 1.0);
  EXPECT_NEAR(client.bottom, Px(5400, dpi), 1.0);
  ExpectOptionsAt(app, options, dpi);

  HWND about = OpenVersionInfo(app);
  ASSERT_NE(about, nullptr);
  ::GetClientRect(about, &client);
  EXPECT_NEAR(client.right, Px(5730, dpi), 1.0);
  EXPECT_NEAR(client.bottom, Px(2820, dpi), 1.0);
  ExpectVersionInfoAt(app, about, dpi);
}

// Moved to a monitor of another scaling and back: the window takes the
// rectangle Windows suggests each time, and its controls and fonts follow.
TEST(Dpi, MainWindowFollowsADpiChangeAndComesBack) {
  int dpi = SystemDpi(), other = OtherDpi(dpi);
  App app;
  RECT before = ScreenRect(app.main());
  RECT there = Scaled(before, dpi, other);
  ASSERT_TRUE(SendDpiChanged(app, app.main(), other, there));
  ASSERT_TRUE(app.Sync());
  EXPECT_TRUE(SameRect(ScreenRect(app.main()), there))
      << Describe(ScreenRect(app.main())) << " instead of " << Describe(there);
  ExpectMainWindowAt(app, other);
  // The resize rule, in twips at the new DPI: the area is the window's
  // outer width less 100, its height less the area's top and 700.
  RECT area = ScreenRect(app.picture1());
  EXPECT_NEAR(area.right - area.left, Px(static_cast<long>((there.right - there.left) * 1440.0 / other) - 100, other),
              1.0);
  EXPECT_NEAR(area.bottom - area.top,
              Px(static_cast<long>((there.bottom - there.top) * 1440.0 / other) - (840 + 700), other), 1.0);

  ASSERT_TRUE(SendDpiChanged(app, app.main(), dpi, before));
  ASSERT_TRUE(app.Sync());
  EXPECT_TRUE(SameRect(ScreenRect(app.main()), before));
  ExpectMainWindowAt(app, dpi);
  // Still the working window it was: a capture shows in the picture area.
  PatternWindow pattern(0, 0, 160, 120, 71);
  EXPECT_TRUE(CaptureScreenWithPattern(app, pattern));
}

TEST(Dpi, OptionsAndVersionInfoFollowADpiChange) {
  int dpi = SystemDpi(), other = OtherDpi(dpi);
  App app;
  HWND options = OpenOptions(app);
  ASSERT_NE(options, nullptr);
  RECT there = Scaled(ScreenRect(options), dpi, other);
  ASSERT_TRUE(SendDpiChanged(app, options, other, there));
  ASSERT_TRUE(app.Sync());
  EXPECT_TRUE(SameRect(ScreenRect(options), there))
      << Describe(ScreenRect(options)) << " instead of " << Describe(there);
  ExpectOptionsAt(app, options, other);

  HWND about = OpenVersionInfo(app);
  ASSERT_NE(about, nullptr);
  there = Scaled(ScreenRect(about), dpi, other);
  ASSERT_TRUE(SendDpiChanged(app, about, other, there));
  ASSERT_TRUE(app.Sync());
  EXPECT_TRUE(SameRect(ScreenRect(about), there)) << Describe(ScreenRect(about)) << " instead of " << Describe(there);
  ExpectVersionInfoAt(app, about, other);
  // Each window has its own DPI: the main window stayed as it was.
  ExpectMainWindowAt(app, dpi);
}

// What Ctrl+S captures: the program in front, something known at the
// top-left (which shows in the picture area once the capture is there) and
// in the far corner (which a capture of a scaled-down screen leaves out).
struct CtrlSCapture {
  Image screen;   // the screen as the driver read it just before
  Image picture;  // what Copy then puts on the clipboard
};
CtrlSCapture CaptureWithCtrlS(App& app, bool picturesShowOneToOne = true) {
  int sw = ::GetSystemMetrics(SM_CXSCREEN), sh = ::GetSystemMetrics(SM_CYSCREEN);
  PatternWindow topLeft(0, 0, 160, 120, 72);
  PatternWindow corner(sw - 200, sh - 120, 200, 120, 73);
  ::SetWindowPos(app.main(), nullptr, 180, 140, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  MoveMouse(sw - 100, sh - 60);  // no tooltip opens while the screen is read
  CtrlSCapture shot;
  if (!BringToFront(app.main()) || !app.Sync()) return shot;
  shot.screen = GrabScreen(RECT{0, 0, sw, sh});
  SendCtrlKey('S');
  if (picturesShowOneToOne) {
    EXPECT_TRUE(WaitUntil([&] { return PatternDifferences(app.PictureArea(), topLeft) == 0; }, 4000, 50))
        << "no capture showed in the picture area";
  } else {
    // The system draws a scaled program's window scaled: the capture is
    // there once the keys have been handled (Ctrl+S captures at once).
    EXPECT_TRUE(app.InputHandled()) << "Ctrl+S was not handled";
  }
  shot.picture = CopiedPicture(app);
  return shot;
}

// Ctrl+S copies the whole screen, every pixel of it, at any scaling: the
// picture is the screen's size in pixels and the same pixels.
TEST(Dpi, CtrlSCapturesTheWholeScreenPixelForPixel) {
  App app;
  CtrlSCapture shot = CaptureWithCtrlS(app);
  EXPECT_EQ(shot.picture.width, ::GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(shot.picture.height, ::GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(CountDifferences(shot.picture, shot.screen), 0);
  if (CountDifferences(shot.picture, shot.screen) != 0) {
    SaveBmp(shot.picture, app.dir() + "\\picture.bmp");
    SaveBmp(shot.screen, app.dir() + "\\screen.bmp");
  }
}

// The manifest is what makes the captures whole. The same program without
// its display-scaling settings (unaware_of_scaling.exe, a build for the
// tests only) is a program unaware of the scaling, which the system hands
// a screen scaled down by the scale factor (at 144 dpi a 1024 x 768 screen
// is 683 x 512): its Ctrl+S captures that much and no more. Framewick,
// with its manifest, captures every pixel. Should the manifest lose its
// settings, Framewick.exe is that program and the second half fails.
TEST(Dpi, OnlyTheManifestMakesCtrlSCaptureTheWholeScreen) {
  int dpi = SystemDpi();
  if (dpi == 96) GTEST_SKIP() << "at 96 dpi (100 %) the system scales nothing";
  if (!ScalesProgramsUnawareOfScaling()) {
    GTEST_SKIP() << EngineName() << " gives every program the real pixels and the system DPI, aware of the "
                 << "scaling or not, so a manifest changes nothing here (Wine 10 scales as Windows does)";
  }
  int sw = ::GetSystemMetrics(SM_CXSCREEN), sh = ::GetSystemMetrics(SM_CYSCREEN);
  {
    App unaware({.program = "unaware_of_scaling.exe"});
    CtrlSCapture shot = CaptureWithCtrlS(unaware, false);
    // Windows scales a length of the real screen by 96 / dpi, rounded.
    EXPECT_EQ(shot.picture.width, ::MulDiv(sw, 96, dpi));
    EXPECT_EQ(shot.picture.height, ::MulDiv(sh, 96, dpi));
  }
  App app;
  CtrlSCapture shot = CaptureWithCtrlS(app);
  EXPECT_EQ(shot.picture.width, sw);
  EXPECT_EQ(shot.picture.height, sh);
  EXPECT_EQ(CountDifferences(shot.picture, shot.screen), 0);
}

// Ctrl+F11 copies the foreground window pixel for pixel at any scaling.
TEST(Dpi, CtrlF11CapturesTheForegroundWindowPixelForPixel) {
  App app;
  constexpr int kW = 320, kH = 200;
  PatternWindow pattern(0, 0, kW, kH, 74);
  // The program clear of the pattern, which is in front.
  ::SetWindowPos(app.main(), nullptr, kW + 20, kH + 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(BringToFront(pattern.hwnd()));
  SendCtrlKey(VK_F11);
  ASSERT_TRUE(WaitUntil([&] { return PatternDifferences(app.PictureArea(), pattern) == 0; }, 4000, 50))
      << "the pattern did not show in the picture area";
  Image picture = CopiedPicture(app);
  EXPECT_EQ(picture.width, kW);
  EXPECT_EQ(picture.height, kH);
  EXPECT_EQ(CountDifferences(picture, pattern.expected()), 0);
}

// The face a font of that name is made with on this desktop.
std::string RealisedFace(const char* face, BYTE charset) {
  LOGFONTA lf{};
  lf.lfHeight = -16;
  lf.lfCharSet = charset;
  lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
  HFONT font = ::CreateFontIndirectA(&lf);
  HDC screen = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(screen, font);
  char got[LF_FACESIZE] = {};
  ::GetTextFaceA(screen, LF_FACESIZE, got);
  ::SelectObject(screen, old);
  ::ReleaseDC(nullptr, screen);
  ::DeleteObject(font);
  return got;
}

// Wine draws the caption buttons (minimise, maximise, close) with the
// symbol font Marlett; in a test desktop without it they show as the
// letters "0 1 r" of another font, in the screenshots too. Every prefix the
// scripts make has it, at every scaling.
TEST(Dpi, CaptionButtonsHaveTheirSymbolFont) {
  EXPECT_EQ(RealisedFace("Marlett", SYMBOL_CHARSET), "Marlett");
  // A face that is not there comes back as another one: the check above
  // means something.
  EXPECT_NE(RealisedFace("Framewick No Such Face", SYMBOL_CHARSET), "Framewick No Such Face");
}

}  // namespace
}  // namespace e2e
