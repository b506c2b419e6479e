// A file holds the format its name asks for, read back by a decoder that
// is not the program's (ImageMagick): PNG and TIFF every pixel of the
// picture, JPEG the picture within what a lossy format keeps, GIF a GIF of
// it; for Save, the unsaved-image prompt's save and automatic saving. A
// pasted metafile under a raster name is drawn at its natural size; a
// folder that cannot be written, or a system without the codecs, gives
// today's messages.
#include <gtest/gtest.h>

#include "flows.h"
#include "harness.h"
#include "harness_files.h"
#include "harness_formats.h"
#include "harness_reentry.h"
#include "options_access.h"

namespace e2e {
namespace {

constexpr int kW = 240, kH = 160;  // whole blocks of 16

// Saves through the dialog and waits until the file holds the format its
// name asks for; false when it did not come.
bool SaveAs(App& app, const std::string& path) {
  app.Click("Save");
  HWND dlg = WaitForSaveDialog(app.pid(), 10000);
  if (!dlg) return false;
  ChooseFileName(dlg, path);
  if (!WaitUntil([&] { return SavedAs(path); }, kSaveTimeoutMs)) return false;
  return app.Barrier();
}

int ScreenW() {
  return ::GetSystemMetrics(SM_CXSCREEN);
}
int ScreenH() {
  return ::GetSystemMetrics(SM_CYSCREEN);
}

TEST(Formats, PngAndTiffHoldEveryPixelThatCopyPutsOnTheClipboard) {
  App app;
  PatternWindow pattern(0, 0, kW, kH, 51);
  ASSERT_TRUE(CaptureScreenWithPattern(app, pattern));
  Image copied = CopiedPicture(app);
  ASSERT_EQ(copied.width, ScreenW());
  ASSERT_EQ(copied.height, ScreenH());
  for (const char* name : {"shot.png", "shot.PNG.tif", "shot.tiff"}) {
    std::string path = app.dir() + "\\" + name;
    ASSERT_TRUE(SaveAs(app, path)) << name << " holds " << FormatOfBytes(ReadFileBytes(path));
    EXPECT_EQ(WholeFileProblem(FormatNamed(path), ReadFileBytes(path)), "") << name;
    Decoded decoded = DecodeFile(path);
    EXPECT_EQ(decoded.format, FormatNamed(path)) << name;
    EXPECT_EQ(CountDifferences(decoded.image, copied), 0) << name << ": pixels differ from the copied picture";
  }
  EXPECT_TRUE(app.SettledDialogs().empty()) << "no message after a good save";
  EXPECT_TRUE(SaveLeftovers(app.dir()).empty());
}

TEST(Formats, JpegNamesInAnyCaseGiveJpegFilesOfThePicturesSizeAndPattern) {
  App app;
  PatternWindow pattern(0, 0, kW, kH, 52, PatternStyle::Blocks);
  ASSERT_TRUE(CaptureScreenWithPattern(app, pattern));
  std::size_t bitmapBytes = static_cast<std::size_t>(ScreenW()) * ScreenH() * 3;
  for (const char* name : {"shot.jpg", "shot.jpeg", "SHOT2.JPG", "shot.Jpe", "shot.jfif"}) {
    std::string path = app.dir() + "\\" + name;
    ASSERT_TRUE(SaveAs(app, path)) << name << " holds " << FormatOfBytes(ReadFileBytes(path));
    std::string bytes = ReadFileBytes(path);
    EXPECT_EQ(WholeFileProblem("JPEG", bytes), "") << name;
    EXPECT_LT(bytes.size(), bitmapBytes / 4) << name << " is not much smaller than a bitmap";
    Decoded decoded = DecodeFile(path);
    EXPECT_EQ(decoded.format, "JPEG") << name;
    EXPECT_EQ(decoded.image.width, ScreenW()) << name;
    EXPECT_EQ(decoded.image.height, ScreenH()) << name;
    // Inside the flat blocks a JPEG keeps the colours within rounding.
    int worst = LargestDifferenceInsideBlocks(decoded.image, pattern.expected());
    EXPECT_GE(worst, 0) << name;
    EXPECT_LE(worst, 8) << name;
  }
  // A different pattern is told apart at that tolerance.
  PatternWindow other(0, 0, kW, kH, 53, PatternStyle::Blocks);
  EXPECT_GT(LargestDifferenceInsideBlocks(DecodeFile(app.dir() + "\\shot.jpg").image, other.expected()), 8);
  EXPECT_TRUE(app.SettledDialogs().empty());
}

TEST(Formats, GifNamesGiveAGifOfThePicturesSize) {
  App app;
  PatternWindow pattern(0, 0, kW, kH, 54, PatternStyle::Blocks);
  ASSERT_TRUE(CaptureScreenWithPattern(app, pattern));
  std::string path = app.dir() + "\\shot.Gif";
  ASSERT_TRUE(SaveAs(app, path)) << "it holds " << FormatOfBytes(ReadFileBytes(path));
  EXPECT_EQ(WholeFileProblem("GIF", ReadFileBytes(path)), "");
  Decoded decoded = DecodeFile(path);
  EXPECT_EQ(decoded.format, "GIF");
  EXPECT_EQ(decoded.image.width, ScreenW());
  EXPECT_EQ(decoded.image.height, ScreenH());
  EXPECT_TRUE(app.SettledDialogs().empty());
}

TEST(Formats, APastedMetafileUnderARasterNameIsDrawnAtItsNaturalSize) {
  App app;
  ASSERT_TRUE(PasteADrawing(app));
  std::string path = app.dir() + "\\drawing.png";
  ASSERT_TRUE(SaveAs(app, path)) << "it holds " << FormatOfBytes(ReadFileBytes(path));
  Decoded decoded = DecodeFile(path);
  EXPECT_EQ(decoded.format, "PNG");
  // An inch at the screen's 96 dots per inch by half of one.
  HDC screen = ::GetDC(nullptr);
  int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
  ::ReleaseDC(nullptr, screen);
  EXPECT_EQ(decoded.image.width, dpi);
  EXPECT_EQ(decoded.image.height, dpi / 2);
  // The rectangle's black outline on white.
  long black = 0, white = 0;
  for (std::uint32_t p : decoded.image.px) black += p == 0, white += p == 0xFFFFFF;
  EXPECT_GT(black, 0);
  EXPECT_GT(white, 0);
  EXPECT_EQ(black + white, static_cast<long>(decoded.image.px.size()));
}

TEST(Formats, ThePromptsSaveWritesTheFormatTheNameAsksFor) {
  App app;
  ASSERT_TRUE(ScreenButtonCapture(app));
  app.Menu(kMenuNew);
  auto prompt = WaitForDialog(app.pid(), 5000, "Save?");
  ASSERT_TRUE(prompt);
  PressDialogButton(prompt->hwnd, IDOK);
  HWND dlg = WaitForSaveDialog(app.pid(), 5000);
  ASSERT_NE(dlg, nullptr);
  std::string path = app.dir() + "\\from prompt.png";
  ChooseFileName(dlg, path);
  EXPECT_TRUE(WaitUntil([&] { return AreaBlank(app); }, kSaveTimeoutMs)) << "New did not go on";
  ASSERT_TRUE(SavedAs(path)) << "it holds " << FormatOfBytes(ReadFileBytes(path));
  Decoded decoded = DecodeFile(path);
  EXPECT_EQ(decoded.format, "PNG");
  EXPECT_EQ(decoded.image.width, ScreenW());
  EXPECT_TRUE(app.SettledDialogs().empty());
}

TEST(Formats, AutomaticSavesWithPngAndJpgGiveThoseFormats) {
  std::string shots = FreshTestDir("-shots");
  App app({.settings = SettingsLine(1, 0, shots)});
  ASSERT_TRUE(SetAutoSaveExtension(app, ".png"));
  PatternWindow pattern(0, 0, kW, kH, 55, PatternStyle::Blocks);
  BringToFront(pattern.hwnd());
  PostHotkey(app);
  ASSERT_TRUE(WaitUntil([&] { return SavedAs(shots + "\\snap0.png"); }, kSaveTimeoutMs));
  ASSERT_TRUE(app.Sync());
  Image copied = CopiedPicture(app);
  Decoded png = DecodeFile(shots + "\\snap0.png");
  EXPECT_EQ(png.format, "PNG");
  EXPECT_EQ(CountDifferences(png.image, copied), 0);
  EXPECT_EQ(PatternDifferences(png.image, pattern), 0);

  ASSERT_TRUE(SetAutoSaveExtension(app, ".jpg"));
  BringToFront(pattern.hwnd());
  PostHotkey(app);
  ASSERT_TRUE(WaitUntil([&] { return SavedAs(shots + "\\snap1.jpg"); }, kSaveTimeoutMs));
  ASSERT_TRUE(app.Sync());
  Decoded jpeg = DecodeFile(shots + "\\snap1.jpg");
  EXPECT_EQ(jpeg.format, "JPEG");
  EXPECT_EQ(jpeg.image.width, ScreenW());
  EXPECT_EQ(jpeg.image.height, ScreenH());
  int worst = LargestDifferenceInsideBlocks(jpeg.image, pattern.expected());
  EXPECT_GE(worst, 0);
  EXPECT_LE(worst, 8);
  EXPECT_EQ(ListDir(shots), (std::vector<std::string>{"snap0.png", "snap1.jpg"}));
  EXPECT_TRUE(app.SettledDialogs().empty());
}

TEST(Formats, AReadOnlyFolderGivesTodaysMessagesForPngAndWritesNothing) {
  const std::string ro = ReadOnlyDir();
  if (ro.empty()) GTEST_SKIP() << "no unwritable directory on this machine";
  App app({.settings = SettingsLine(1, 0, ro)});
  PatternWindow pattern(0, 0, kW, kH, 56);
  ASSERT_TRUE(CaptureScreenWithPattern(app, pattern));
  // Save: the one message of a failed Save.
  app.Click("Save");
  HWND dlg = WaitForSaveDialog(app.pid(), 10000);
  ASSERT_NE(dlg, nullptr);
  ChooseFileName(dlg, ro + "\\shot.png");
  auto msg = WaitForDialog(app.pid(), 6000, "Framewick");
  ASSERT_TRUE(msg);
  EXPECT_EQ(msg->text, "Could Not Save, No Image Snapped Yet");
  PressDialogButton(msg->hwnd, IDOK);
  ASSERT_TRUE(WaitDialogGone(msg->hwnd, 3000));

  // An automatic save: the message naming the file.
  ASSERT_TRUE(SetAutoSaveExtension(app, ".png"));
  BringToFront(pattern.hwnd());
  PostHotkey(app);
  auto failure = WaitForDialog(app.pid(), 6000, "Framewick");
  ASSERT_TRUE(failure);
  EXPECT_NE(failure->text.find(ro + "\\snap0.png"), std::string::npos) << failure->text;
  PressDialogButton(failure->hwnd, IDOK);
  ASSERT_TRUE(WaitDialogGone(failure->hwnd, 3000));
  EXPECT_TRUE(app.SettledDialogs().empty());
  EXPECT_TRUE(ListDir(ro).empty());
  EXPECT_EQ(PatternDifferences(app.PictureArea(), pattern), 0) << "the picture went with the failed saves";
}

// Wine told to load no windowscodecs.dll: a system without the codecs.
// Every save under a raster name fails as a save fails, says so where
// saves say so, and writes nothing; a bitmap is still written.
TEST(Formats, WithoutTheSystemsCodecsRasterSavesFailWithTodaysMessagesAndWriteNothing) {
  std::string shots = FreshTestDir("-shots");
  App app(
      {.settings = SettingsLine(1, 0, shots), .unixEnvironment = "WINEDLLOVERRIDES='mscoree,mshtml=;windowscodecs=d'"});
  ASSERT_TRUE(app.started() && app.main());
  PatternWindow pattern(0, 0, kW, kH, 57);
  ASSERT_TRUE(CaptureScreenWithPattern(app, pattern));
  std::vector<std::string> before = ListDir(app.dir());

  // Save: its one message.
  app.Click("Save");
  HWND dlg = WaitForSaveDialog(app.pid(), 10000);
  ASSERT_NE(dlg, nullptr);
  ChooseFileName(dlg, app.dir() + "\\shot.png");
  auto msg = WaitForDialog(app.pid(), 6000, "Framewick");
  ASSERT_TRUE(msg) << "a failed save said nothing";
  EXPECT_EQ(msg->text, "Could Not Save, No Image Snapped Yet");
  PressDialogButton(msg->hwnd, IDOK);
  ASSERT_TRUE(WaitDialogGone(msg->hwnd, 3000));
  EXPECT_EQ(ListDir(app.dir()), before) << "something was written";

  // An automatic save: the message naming the file and why.
  ASSERT_TRUE(SetAutoSaveExtension(app, ".jpg"));
  BringToFront(pattern.hwnd());
  PostHotkey(app);
  auto failure = WaitForDialog(app.pid(), 6000, "Framewick");
  ASSERT_TRUE(failure) << "a failed automatic save said nothing";
  EXPECT_NE(failure->text.find(shots + "\\snap0.jpg"), std::string::npos) << failure->text;
  EXPECT_NE(failure->text.find("windowscodecs.dll"), std::string::npos) << failure->text;
  PressDialogButton(failure->hwnd, IDOK);
  ASSERT_TRUE(WaitDialogGone(failure->hwnd, 3000));
  EXPECT_TRUE(ListDir(shots).empty());

  // A bitmap needs no codec.
  std::string bmp = app.dir() + "\\shot.bmp";
  ASSERT_TRUE(SaveAs(app, bmp));
  EXPECT_EQ(WholeFileProblem("BMP", ReadFileBytes(bmp)), "");
  EXPECT_TRUE(app.SettledDialogs().empty());
  EXPECT_TRUE(app.running());
}

}  // namespace
}  // namespace e2e
