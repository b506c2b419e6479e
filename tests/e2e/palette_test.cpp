// Captures on a 256-colour palette display carry the system palette. These
// tests run in a second pass on an 8-bit screen and skip on true colour.
#include <gtest/gtest.h>

#include <set>

#include "flows.h"
#include "harness.h"
#include "harness_formats.h"
#include "options_access.h"

namespace e2e {
namespace {

bool PaletteDisplay() {
  HDC screen = ::GetDC(nullptr);
  bool pal = (::GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) && ::GetDeviceCaps(screen, SIZEPALETTE) == 256;
  ::ReleaseDC(nullptr, screen);
  return pal;
}

std::uint32_t Le32(const std::string& s, std::size_t at) {
  return static_cast<std::uint8_t>(s[at]) | static_cast<std::uint8_t>(s[at + 1]) << 8 |
         static_cast<std::uint8_t>(s[at + 2]) << 16 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + 3])) << 24;
}

TEST(Palette, ACaptureOnA256ColourDisplayIsSavedWithItsPalette) {
  if (!PaletteDisplay()) GTEST_SKIP() << "not a 256-colour palette display";
  App app;
  app.Shortcut('S');
  ASSERT_TRUE(app.InputHandled()) << "Ctrl+S was not handled";
  std::string path = app.dir() + "\\palette.bmp";
  app.Click("Save");
  HWND dlg = WaitForSaveDialog(app.pid(), 5000);
  ASSERT_NE(dlg, nullptr);
  ChooseFileName(dlg, path);
  ASSERT_TRUE(WaitUntil([&] { return FileExists(path); }, 5000));
  app.Sync();
  std::string bytes = ReadFileBytes(path);
  ASSERT_GE(bytes.size(), 54u + 1024u);
  EXPECT_EQ(bytes[28], 8) << "the capture keeps the display's 8 bits";
  EXPECT_EQ(Le32(bytes, 46), 256u) << "with a full colour table";
  // A real palette of the display's colours, not just the twenty static ones.
  std::set<std::uint32_t> colours;
  for (int i = 0; i < 256; ++i) colours.insert(Le32(bytes, 54 + 4 * i) & 0xFFFFFF);
  EXPECT_GT(colours.size(), 200u);
  // And the picture reads back as the screen looked.
  Image saved = LoadBmpFile(path);
  Image live = GrabScreen(RECT{0, 0, 64, 64});
  ASSERT_FALSE(saved.empty());
  EXPECT_EQ(TopLeftDifferences(saved, live), 0);
}

// PNG keeps every pixel of a palette capture; GIF holds it with its own
// palette, so every pixel too.
TEST(Palette, APngAndAGifOfAPaletteCaptureHoldEveryPixelThatCopyPutsOnTheClipboard) {
  if (!PaletteDisplay()) GTEST_SKIP() << "not a 256-colour palette display";
  App app;
  app.Shortcut('S');
  ASSERT_TRUE(app.InputHandled()) << "Ctrl+S was not handled";
  EmptyTheClipboard();
  app.Click("Copy");
  Image copied;
  ASSERT_TRUE(WaitUntil(
      [&] {
        copied = ClipboardBitmap();
        return !copied.empty();
      },
      5000));
  ASSERT_EQ(copied.width, ::GetSystemMetrics(SM_CXSCREEN));
  for (const char* name : {"palette.png", "palette.gif"}) {
    std::string path = app.dir() + "\\" + name;
    app.Click("Save");
    HWND dlg = WaitForSaveDialog(app.pid(), 5000);
    ASSERT_NE(dlg, nullptr);
    ChooseFileName(dlg, path);
    ASSERT_TRUE(WaitUntil([&] { return SavedAs(path); }, kSaveTimeoutMs)) << name;
    app.Sync();
    Decoded decoded = DecodeFile(path);
    EXPECT_EQ(decoded.format, FormatNamed(path));
    EXPECT_EQ(CountDifferences(decoded.image, copied), 0) << name;
  }
  EXPECT_TRUE(app.SettledDialogs().empty());
}

}  // namespace
}  // namespace e2e
