// Saving: the Save dialog, the files it writes, failures that damage
// nothing, and the unsaved-image prompt of New and exit.
#include <gtest/gtest.h>

#include "flows.h"
#include "harness.h"

namespace e2e {
namespace {

constexpr int kW = 200, kH = 120;

std::uint32_t Le32(const std::string& s, std::size_t at) {
  return static_cast<std::uint8_t>(s[at]) | static_cast<std::uint8_t>(s[at + 1]) << 8 |
         static_cast<std::uint8_t>(s[at + 2]) << 16 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + 3])) << 24;
}

// Saves through the dialog; returns the dialog's handle (or null).
HWND SaveAs(App& app, const std::string& path) {
  app.Click("Save");
  HWND dlg = WaitForSaveDialog(app.pid(), 10000);
  if (dlg) {
    ChooseFileName(dlg, path);
    WaitDialogGone(dlg, 10000);
  }
  return dlg;
}

// A screen-sized BMP holding the pattern at its top-left.
void ExpectScreenBmp(const std::string& path, const PatternWindow& pattern) {
  std::string bytes = ReadFileBytes(path);
  ASSERT_GE(bytes.size(), 54u) << path;
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(Le32(bytes, 2), bytes.size());
  int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(static_cast<int>(Le32(bytes, 18)), w);
  EXPECT_EQ(static_cast<int>(Le32(bytes, 22)), h);
  // The capture's own depth: the screen's.
  HDC screen = ::GetDC(nullptr);
  int depth = ::GetDeviceCaps(screen, BITSPIXEL);
  ::ReleaseDC(nullptr, screen);
  EXPECT_EQ(static_cast<int>(bytes[28] | bytes[29] << 8), depth);
  Image img = LoadBmpFile(path);
  ASSERT_EQ(img.width, w);
  EXPECT_EQ(PatternDifferences(img, pattern), 0);
}

// Names that ask for no other format (.bmp, an extension the program does
// not know, none at all) give bitmaps of the capture's own depth, as
// always; the raster formats are in formats_test.cpp.
TEST(Save, BmpUnknownAndMissingExtensionsGiveBitmapsUnderExactlyTheChosenNames) {
  App app;
  PatternWindow pattern(0, 0, kW, kH, 31);
  ASSERT_TRUE(CaptureScreenWithPattern(app, pattern));
  for (std::string name : {"picture.bmp", "picture.BMP.xyz", "no extension"}) {
    std::string path = app.dir() + "\\" + name;
    ASSERT_NE(SaveAs(app, path), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return FileExists(path); }, 10000)) << name;
    app.Sync();
    ExpectScreenBmp(path, pattern);
  }
  EXPECT_TRUE(app.SettledDialogs().empty()) << "no message after a good save";
  EXPECT_TRUE(SaveLeftovers(app.dir()).empty());
}

TEST(Save, SavingTwiceReplacesTheFileWithoutAsking) {
  App app;
  PatternWindow first(0, 0, kW, kH, 32);
  ASSERT_TRUE(CaptureScreenWithPattern(app, first));
  std::string path = app.dir() + "\\twice.bmp";
  SaveAs(app, path);
  ASSERT_TRUE(WaitUntil([&] { return FileExists(path); }, 10000));
  app.Sync();
  std::string before = ReadFileBytes(path);

  PatternWindow second(0, 0, kW, kH, 33);
  ASSERT_TRUE(CaptureScreenWithPattern(app, second));
  ASSERT_NE(SaveAs(app, path), nullptr);
  app.Sync();
  ASSERT_NE(ReadFileBytes(path), before);
  EXPECT_TRUE(app.SettledDialogs().empty()) << "no confirmation";
  ExpectScreenBmp(path, second);
}

TEST(Save, WithNoPictureTheDialogShowsThenTheMessageAndNoFile) {
  App app;
  std::string path = app.dir() + "\\nothing.bmp";
  ASSERT_NE(SaveAs(app, path), nullptr) << "the dialog is shown all the same";
  auto msg = WaitForDialog(app.pid(), 5000, "Framewick");
  ASSERT_TRUE(msg);
  EXPECT_EQ(msg->text, "Could Not Save, No Image Snapped Yet");
  EXPECT_EQ(msg->icon, IconKind::Information);
  EXPECT_EQ(msg->buttons, std::vector<std::string>{"OK"});
  PressDialogButton(msg->hwnd, IDOK);
  ASSERT_TRUE(WaitDialogGone(msg->hwnd, 3000));
  EXPECT_TRUE(app.SettledDialogs().empty()) << "more than one message";
  EXPECT_FALSE(FileExists(path));
}

TEST(Save, CancellingTheDialogWritesNothingAndSaysNothing) {
  App app;
  PatternWindow pattern(0, 0, kW, kH, 34);
  ASSERT_TRUE(CaptureScreenWithPattern(app, pattern));
  auto before = ListDir(app.dir());
  app.Click("Save");
  HWND dlg = WaitForSaveDialog(app.pid(), 5000);
  ASSERT_NE(dlg, nullptr);
  PressDialogButton(dlg, IDCANCEL);
  ASSERT_TRUE(WaitDialogGone(dlg, 3000));
  EXPECT_TRUE(app.SettledDialogs().empty());
  EXPECT_EQ(ListDir(app.dir()), before);
}

TEST(Save, AReadOnlyFileOrAMissingDirectoryFailsAndDamagesNothing) {
  App app;
  PatternWindow pattern(0, 0, kW, kH, 35);
  ASSERT_TRUE(CaptureScreenWithPattern(app, pattern));
  std::string path = app.dir() + "\\locked.bmp";
  ASSERT_TRUE(WriteFileBytes(path, "the user's own bytes"));
  ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  SaveAs(app, path);
  auto msg = WaitForDialog(app.pid(), 5000, "Framewick");
  ASSERT_TRUE(msg);
  EXPECT_EQ(msg->text, "Could Not Save, No Image Snapped Yet");
  PressDialogButton(msg->hwnd, IDOK);
  ASSERT_TRUE(WaitDialogGone(msg->hwnd, 3000));
  EXPECT_EQ(ReadFileBytes(path), "the user's own bytes");
  EXPECT_TRUE(SaveLeftovers(app.dir()).empty());
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);

  // A directory that is not there: the dialog hands the name over (it is
  // not asked to check the path), the write fails and the program says so,
  // creating nothing.
  std::string missing = app.dir() + "\\no such folder\\x.bmp";
  HWND dlg = SaveAs(app, missing);
  ASSERT_NE(dlg, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(dlg); }, 5000)) << "the dialog kept the name";
  msg = WaitForDialog(app.pid(), 5000, "Framewick");
  ASSERT_TRUE(msg) << "a save into a missing directory said nothing";
  EXPECT_EQ(msg->text, "Could Not Save, No Image Snapped Yet");
  PressDialogButton(msg->hwnd, IDOK);
  ASSERT_TRUE(WaitDialogGone(msg->hwnd, 3000));
  EXPECT_TRUE(app.SettledDialogs().empty());
  EXPECT_EQ(PatternDifferences(app.PictureArea(), pattern), 0) << "the picture was lost";
  app.Sync();
  EXPECT_FALSE(DirExists(app.dir() + "\\no such folder"));
  EXPECT_TRUE(app.running());
}

// ---- the prompt ----

std::optional<DialogInfo> WaitForPrompt(App& app) {
  return WaitForDialog(app.pid(), 5000, "Save?");
}

TEST(Prompt, NewRightAfterStartAsksNothing) {
  App app;
  app.Menu(kMenuNew);
  EXPECT_TRUE(app.SettledDialogs().empty());
  EXPECT_TRUE(AreaBlank(app));
}

TEST(Prompt, AfterAScreenCaptureNewAsksAndCancelDiscards) {
  App app;
  ASSERT_TRUE(ScreenButtonCapture(app));
  EXPECT_FALSE(AreaBlank(app));
  app.Menu(kMenuNew);
  auto prompt = WaitForPrompt(app);
  ASSERT_TRUE(prompt);
  EXPECT_EQ(prompt->text, " You have not saved your file. Click OK to save, Cancel to Discard");
  EXPECT_EQ(prompt->icon, IconKind::None);
  EXPECT_EQ(prompt->buttons, (std::vector<std::string>{"OK", "Cancel"}));
  PressDialogButton(prompt->hwnd, IDCANCEL);  // Discarded
  ASSERT_TRUE(WaitDialogGone(prompt->hwnd, 3000));
  EXPECT_TRUE(WaitUntil([&] { return AreaBlank(app); }, 3000));
  // Nothing left to ask about.
  app.Menu(kMenuNew);
  EXPECT_TRUE(app.SettledDialogs().empty());
}

TEST(Prompt, CancellingTheSaveDialogKeepsThePictureAndAsksAgain) {
  App app;
  ASSERT_TRUE(ScreenButtonCapture(app));
  app.Menu(kMenuNew);
  auto prompt = WaitForPrompt(app);
  ASSERT_TRUE(prompt);
  PressDialogButton(prompt->hwnd, IDOK);
  HWND dlg = WaitForSaveDialog(app.pid(), 5000);
  ASSERT_NE(dlg, nullptr);
  PressDialogButton(dlg, IDCANCEL);  // DialogCancelled
  ASSERT_TRUE(WaitDialogGone(dlg, 3000));
  app.Sync();
  EXPECT_FALSE(AreaBlank(app)) << "the picture stays";
  app.Menu(kMenuNew);
  auto again = WaitForPrompt(app);
  ASSERT_TRUE(again) << "the next New asks again";
  PressDialogButton(again->hwnd, IDCANCEL);
}

TEST(Prompt, OkAndANameSavesThenNewClears) {
  App app;
  ASSERT_TRUE(ScreenButtonCapture(app));
  app.Menu(kMenuNew);
  auto prompt = WaitForPrompt(app);
  ASSERT_TRUE(prompt);
  PressDialogButton(prompt->hwnd, IDOK);
  HWND dlg = WaitForSaveDialog(app.pid(), 5000);
  ASSERT_NE(dlg, nullptr);
  std::string path = app.dir() + "\\from prompt.bmp";
  ChooseFileName(dlg, path);  // Saved
  EXPECT_TRUE(WaitUntil([&] { return AreaBlank(app); }, 5000));
  EXPECT_TRUE(FileExists(path));
  EXPECT_EQ(LoadBmpFile(path).width, ::GetSystemMetrics(SM_CXSCREEN));
  app.Menu(kMenuNew);
  EXPECT_TRUE(app.SettledDialogs().empty());
}

TEST(Prompt, ClearedUnsavedCaptureStillAsksAndTheSaveFails) {
  App app;
  ASSERT_TRUE(ScreenButtonCapture(app));
  app.Click("Clear");
  app.Menu(kMenuNew);
  auto prompt = WaitForPrompt(app);
  ASSERT_TRUE(prompt) << "clearing does not mark the picture saved";
  PressDialogButton(prompt->hwnd, IDOK);
  HWND dlg = WaitForSaveDialog(app.pid(), 5000);
  ASSERT_NE(dlg, nullptr);
  std::string path = app.dir() + "\\empty.bmp";
  ChooseFileName(dlg, path);  // SaveFailed: there is nothing to write
  ASSERT_TRUE(WaitDialogGone(dlg, 3000));
  // It says so, and does not claim a picture is still there.
  auto failure = WaitForDialog(app.pid(), 5000, "Framewick");
  ASSERT_TRUE(failure) << "a failed save from the prompt said nothing";
  EXPECT_EQ(failure->text, "The picture could not be saved as " + path + ".\n\nThere is no picture to save.");
  PressDialogButton(failure->hwnd, IDOK);
  ASSERT_TRUE(WaitDialogGone(failure->hwnd, 3000));
  EXPECT_TRUE(app.SettledDialogs().empty());
  EXPECT_FALSE(FileExists(path));
  app.Menu(kMenuNew);
  auto again = WaitForPrompt(app);
  ASSERT_TRUE(again) << "the next New asks again";
  PressDialogButton(again->hwnd, IDCANCEL);
}

TEST(Prompt, ShortcutCapturesNeverMakeNewOrExitAsk) {
  App app;
  PatternWindow pattern(0, 0, kW, kH, 36);
  ASSERT_TRUE(CaptureScreenWithPattern(app, pattern));
  app.Shortcut('W');
  // At the next whole second the program's own window replaces the pattern.
  EXPECT_TRUE(WaitUntil([&] { return PatternDifferences(app.PictureArea(), pattern) > 0; }, 3000, 50))
      << "Ctrl+W captured nothing";
  app.Menu(kMenuNew);
  EXPECT_TRUE(app.SettledDialogs().empty());
  ASSERT_TRUE(CaptureScreenWithPattern(app, pattern));
  app.Click("Exit");
  EXPECT_TRUE(app.WaitExit(5000));
}

TEST(Prompt, ExitAsksAndBackingOutOfTheSaveDialogKeepsTheProgramOpen) {
  App app;
  ASSERT_TRUE(ScreenButtonCapture(app));
  app.Click("Exit");
  auto prompt = WaitForPrompt(app);
  ASSERT_TRUE(prompt);
  PressDialogButton(prompt->hwnd, IDOK);
  HWND dlg = WaitForSaveDialog(app.pid(), 5000);
  ASSERT_NE(dlg, nullptr);
  PressDialogButton(dlg, IDCANCEL);
  ASSERT_TRUE(WaitDialogGone(dlg, 3000));
  app.Sync();
  // The unsaved picture stays in front of the user.
  EXPECT_TRUE(app.running());
  EXPECT_TRUE(::IsWindowVisible(app.main()));
  EXPECT_FALSE(AreaBlank(app));
  // Exit again and discard: the program ends.
  app.Click("Exit");
  auto again = WaitForPrompt(app);
  ASSERT_TRUE(again);
  PressDialogButton(again->hwnd, IDCANCEL);
  EXPECT_TRUE(app.WaitExit(5000));
}

}  // namespace
}  // namespace e2e

namespace e2e {
namespace {

TEST(Save, MetafilePicturesAreSavedAsMetafilesOfTheirOwnKind) {
  App app;
  // An enhanced metafile: the file is the metafile itself.
  ASSERT_TRUE(PasteADrawing(app));
  std::string path = app.dir() + "\\drawing.bmp";  // the name does not change the format
  SaveAs(app, path);
  ASSERT_TRUE(WaitUntil([&] { return FileExists(path); }, 10000));
  app.Sync();
  std::string bytes = ReadFileBytes(path);
  ASSERT_GE(bytes.size(), 88u);
  EXPECT_EQ(Le32(bytes, 0), 1u);             // EMR_HEADER
  EXPECT_EQ(bytes.substr(40, 4), " EMF");    // the signature
  EXPECT_EQ(Le32(bytes, 48), bytes.size());  // nBytes
  HENHMETAFILE back = ::GetEnhMetaFileA(path.c_str());
  EXPECT_NE(back, nullptr);
  if (back) ::DeleteEnhMetaFile(back);

  // A Windows metafile: a placeable metafile.
  HDC wdc = ::CreateMetaFileA(nullptr);
  ::SetWindowExtEx(wdc, 100, 50, nullptr);
  ::Rectangle(wdc, 5, 5, 60, 30);
  ASSERT_TRUE(PutMetafilePictOnClipboard(::CloseMetaFile(wdc), 2540, 1270));
  app.Click("Paste");
  app.Sync();
  std::string wpath = app.dir() + "\\drawing.wmf";
  SaveAs(app, wpath);
  ASSERT_TRUE(WaitUntil([&] { return FileExists(wpath); }, 5000));
  app.Sync();
  std::string w = ReadFileBytes(wpath);
  ASSERT_GE(w.size(), 22u + 18u);
  EXPECT_EQ(Le32(w, 0), 0x9AC6CDD7u);               // placeable key
  EXPECT_EQ(static_cast<unsigned char>(w[22]), 1);  // then the metafile header: type 1 (in memory)
}

}  // namespace
}  // namespace e2e
