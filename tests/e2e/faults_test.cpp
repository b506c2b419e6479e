// Faults and bad input: a full disk, settings files the program cannot use
// or cannot reach, a program directory it may not write, clipboard contents
// of every kind (damaged ones too), and captures whose window goes away.
// In each the program says what went wrong or stays silent as it should,
// damages no file, and still captures afterwards.
#include <gtest/gtest.h>

#include <cstring>

#include "flows.h"
#include "harness.h"
#include "harness_formats.h"
#include "options_access.h"

namespace e2e {
namespace {

constexpr int kW = 200;
constexpr int kH = 120;

std::string Env(const char* name) {
  char buf[MAX_PATH] = {};
  DWORD n = ::GetEnvironmentVariableA(name, buf, sizeof buf);
  return n > 0 && n < sizeof buf ? std::string(buf) : std::string();
}

// The program still captures: Ctrl+S puts the pattern in the area.
void ExpectStillCaptures(App& app, int seed) {
  PatternWindow pattern(0, 0, kW, kH, seed);
  EXPECT_TRUE(CaptureScreenWithPattern(app, pattern)) << "the program no longer captures";
  EXPECT_TRUE(app.running());
}

// Answers the one message the program shows, returning its text ("" when
// none came).
std::string AnswerMessage(App& app, DWORD timeoutMs = 6000) {
  auto box = WaitForDialog(app.pid(), timeoutMs, "Framewick");
  if (!box) return "";
  PressDialogButton(box->hwnd, IDOK);
  WaitDialogGone(box->hwnd, 3000);
  return box->text.empty() ? "(a message without text)" : box->text;
}

TEST(Faults, AFullDiskKeepsEarlierFilesWholeAndLeavesNothingHalfWritten) {
  std::string full = Env("FW_FULL_DIR");
  if (full.empty()) GTEST_SKIP() << "no small file system could be mounted on this machine";
  for (const auto& f : ListDir(full)) ::DeleteFileA((full + "\\" + f).c_str());
  // An earlier capture, and a filler that leaves less room than any capture
  // file needs (a page: a compressed capture of the screen is larger).
  std::string earlier(200 * 1024, '\0');
  for (std::size_t i = 0; i < earlier.size(); ++i) earlier[i] = static_cast<char>(i * 7 + 3);
  ASSERT_TRUE(WriteFileBytes(full + "\\earlier.bmp", earlier));
  ULARGE_INTEGER room{};
  ASSERT_TRUE(::GetDiskFreeSpaceExA((full + "\\").c_str(), &room, nullptr, nullptr));
  std::size_t screenBytes =
      static_cast<std::size_t>(::GetSystemMetrics(SM_CXSCREEN)) * ::GetSystemMetrics(SM_CYSCREEN) * 4;
  ASSERT_GT(room.QuadPart, screenBytes) << "the file system is too small for the test";
  ASSERT_TRUE(WriteFileBytes(full + "\\filler", std::string(room.QuadPart - 4096, 'f')));
  const std::vector<std::string> before = ListDir(full);

  App app({.settings = SettingsLine(1, 0, full)});
  PatternWindow pattern(0, 0, kW, kH, 81);
  BringToFront(pattern.hwnd());
  SendCtrlKey(VK_F10);
  std::string text = AnswerMessage(app);
  EXPECT_NE(text.find(full + "\\snap0.jpg"), std::string::npos) << "no message naming the file: " << text;
  app.Sync();
  EXPECT_EQ(ListDir(full), before) << "a half-written or placeholder file was left";
  EXPECT_EQ(PatternDifferences(app.PictureArea(), pattern), 0) << "the picture was lost with the save";

  // Saving over the earlier file fails and leaves it as it was.
  app.Click("Save");
  HWND dlg = WaitForSaveDialog(app.pid(), 10000);
  ASSERT_NE(dlg, nullptr);
  ChooseFileName(dlg, full + "\\earlier.bmp");
  EXPECT_EQ(AnswerMessage(app), "Could Not Save, No Image Snapped Yet");
  EXPECT_EQ(ReadFileBytes(full + "\\earlier.bmp"), earlier) << "the earlier file was damaged";
  EXPECT_TRUE(SaveLeftovers(full).empty());
  // A PNG, written by the system's encoder, fails the same way.
  app.Click("Save");
  dlg = WaitForSaveDialog(app.pid(), 10000);
  ASSERT_NE(dlg, nullptr);
  ChooseFileName(dlg, full + "\\shot.png");
  EXPECT_EQ(AnswerMessage(app), "Could Not Save, No Image Snapped Yet");
  EXPECT_EQ(ListDir(full), before) << "a half-written PNG was left";

  // The failure used no number: with room again, snap0 is written.
  ::DeleteFileA((full + "\\filler").c_str());
  ::DeleteFileA((full + "\\earlier.bmp").c_str());
  BringToFront(pattern.hwnd());
  SendCtrlKey(VK_F10);
  EXPECT_TRUE(WaitUntil([&] { return SavedAs(full + "\\snap0.jpg"); }, kSaveTimeoutMs));
  app.Sync();
  EXPECT_TRUE(app.running());
  ExpectStillCaptures(app, 82);
}

TEST(Faults, ASettingsFileHeldByAnotherProgramIsPassedOverAndApplySaysWhy) {
  std::string shots = FreshTestDir("-shots");
  App app({.settings = SettingsLine(1, 1, shots)});
  std::string path = app.dir() + "\\settings.txt";
  // Another program holds the file open and shares it with nobody.
  HANDLE held = ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  OptionsControls c(OpenOptions(app));
  ASSERT_TRUE(c.complete());
  EXPECT_TRUE(app.SettledDialogs().empty()) << "reading is silent";
  EXPECT_EQ(c.state1(), BST_UNCHECKED);
  EXPECT_EQ(c.state2(), BST_UNCHECKED);
  EXPECT_EQ(c.dir(), app.dir());
  c.Click(c.apply);
  std::string text = AnswerMessage(app);
  EXPECT_NE(text.find(path), std::string::npos) << "no message naming the file: " << text;
  app.Sync();
  EXPECT_TRUE(::IsWindowVisible(c.dialog)) << "the dialog closed although nothing was written";
  ::CloseHandle(held);
  EXPECT_EQ(ReadFileBytes(path), SettingsLine(1, 1, shots)) << "the file was damaged";
  c.Click(c.apply);
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(c.dialog); }, 3000));
  EXPECT_EQ(ReadFileBytes(path), SettingsLine(0, 0, app.dir()));
  ExpectStillCaptures(app, 83);
}

TEST(Faults, ADirectoryNamedLikeTheSettingsFileCountsAsNoFile) {
  App app;
  std::string path = app.dir() + "\\settings.txt";
  ASSERT_TRUE(::CreateDirectoryA(path.c_str(), nullptr));
  OptionsControls c(OpenOptions(app));
  ASSERT_TRUE(c.complete());
  EXPECT_TRUE(app.SettledDialogs().empty());
  EXPECT_EQ(c.state1(), BST_UNCHECKED);
  EXPECT_EQ(c.dir(), app.dir());
  CloseFromFrame(c.dialog);
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(c.dialog); }, 3000));
  EXPECT_TRUE(DirExists(path));
  ExpectStillCaptures(app, 84);
}

TEST(Faults, AProgramDirectoryNobodyMayWriteMakesApplySayWhy) {
  std::string dir = Env("FW_READONLY_PROGRAM_DIR");
  if (dir.empty()) GTEST_SKIP() << "no unwritable program directory on this machine";
  App app({.programDir = dir});
  OptionsControls c(OpenOptions(app));
  ASSERT_TRUE(c.complete());
  c.Click(c.check2);
  ASSERT_TRUE(WaitUntil([&] { return c.state2() == BST_CHECKED; }, 3000));
  c.Click(c.apply);
  std::string text = AnswerMessage(app);
  EXPECT_NE(text.find(dir + "\\settings.txt"), std::string::npos) << "no message naming the file: " << text;
  app.Sync();
  EXPECT_TRUE(::IsWindowVisible(c.dialog));
  EXPECT_EQ(c.state2(), BST_CHECKED) << "the user's choice was lost";
  EXPECT_FALSE(FileExists(dir + "\\settings.txt"));
  CloseFromFrame(c.dialog);
  ExpectStillCaptures(app, 85);
}

// ---- settings files the reader cannot use ----

struct SettingsCase {
  const char* what;
  std::string content;
  int state1, state2;  // what the boxes show after the load
  bool dirFromFile;    // the list shows the file's directory
};

TEST(BadInput, SettingsFilesOfEveryShapeLoadWithoutAMessageAndTheProgramCaptures) {
  std::string shots = FreshTestDir("-shots");
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 131 + 7) & 0xFF);
  std::string megabyte(1024 * 1024, '1');
  std::string longPath = "C:\\" + std::string(300, 'd');
  const std::vector<SettingsCase> cases = {
      {"empty", "", 0, 0, false},
      {"one megabyte of digits", megabyte, 0, 0, false},
      {"a good line and a megabyte after it", SettingsLine(1, 1, shots) + std::string(1024 * 1024, 'x'), 1, 1, true},
      {"binary", binary, 0, 0, false},
      {"a quote that never closes", "1,1,\"" + shots + "\r\n", 1, 1, true},
      {"a first state of 3", SettingsLine(3, 1, shots), 0, 0, false},
      {"a second state of -1", SettingsLine(1, -1, shots), 1, 0, false},
      {"states of 2", SettingsLine(2, 2, shots), 0, 0, true},
      {"a state far past any integer", "99999999999999999999,1,\"" + shots + "\"\r\n", 0, 0, false},
      {"a path longer than MAX_PATH", SettingsLine(1, 1, longPath), 1, 1, false},
      {"NUL bytes in the line", std::string("1,1,\"C:\\\0x\"\r\n", 12), 1, 1, false},
  };
  int seed = 90;
  for (const auto& k : cases) {
    SCOPED_TRACE(k.what);
    App app({.settings = k.content});
    ASSERT_TRUE(app.started());
    OptionsControls c(OpenOptions(app));
    ASSERT_TRUE(c.complete());
    EXPECT_TRUE(app.SettledDialogs().empty()) << "a message came up";
    EXPECT_EQ(c.state1(), k.state1);
    EXPECT_EQ(c.state2(), k.state2);
    EXPECT_EQ(c.dir(), k.dirFromFile ? shots : app.dir());
    // Unchecked so the capture below saves nothing.
    if (c.state1() == BST_CHECKED) {
      c.Click(c.check1);
      WaitUntil([&] { return c.state1() == BST_UNCHECKED; }, 3000);
    }
    CloseFromFrame(c.dialog);
    WaitUntil([&] { return !::IsWindow(c.dialog); }, 3000);
    ExpectStillCaptures(app, ++seed);
  }
}

TEST(BadInput, ADirectoryOnAnotherDriveIsShownAndReceivesTheCaptures) {
  // The program runs from drive Z:; C: is the Windows drive.
  std::string other = "C:\\framewick-e2e-other";
  RemoveTree(other);
  ASSERT_TRUE(::CreateDirectoryA(other.c_str(), nullptr));
  App app({.settings = SettingsLine(1, 0, other)});
  OptionsControls c(OpenOptions(app));
  ASSERT_TRUE(c.complete());
  EXPECT_EQ(c.dir(), other);
  EXPECT_EQ(c.state1(), BST_CHECKED);
  CloseFromFrame(c.dialog);
  PatternWindow pattern(0, 0, kW, kH, 101);
  BringToFront(pattern.hwnd());
  SendCtrlKey(VK_F10);
  EXPECT_TRUE(WaitUntil([&] { return SavedAs(other + "\\snap0.jpg"); }, kSaveTimeoutMs));
  app.Sync();
  EXPECT_EQ(ListDir(other), std::vector<std::string>{"snap0.jpg"});
  RemoveTree(other);
}

// ---- the clipboard ----

// A packed DIB: header, colour table, pixels.
std::string PackedDib(int w, int h, int bits, DWORD compression, const std::vector<RGBQUAD>& colours,
                      const std::string& pixels, DWORD headerSize = sizeof(BITMAPINFOHEADER)) {
  std::string header(headerSize, '\0');
  auto* bih = reinterpret_cast<BITMAPINFOHEADER*>(header.data());
  bih->biSize = headerSize;
  bih->biWidth = w;
  bih->biHeight = h;
  bih->biPlanes = 1;
  bih->biBitCount = static_cast<WORD>(bits);
  bih->biCompression = compression;
  bih->biClrUsed = static_cast<DWORD>(colours.size());
  std::string table(reinterpret_cast<const char*>(colours.data()), colours.size() * sizeof(RGBQUAD));
  return header + table + pixels;
}

bool PutOnClipboard(UINT format, const std::string& bytes) {
  HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, bytes.empty() ? 1 : bytes.size());
  if (!mem) return false;
  std::memcpy(::GlobalLock(mem), bytes.data(), bytes.size());
  ::GlobalUnlock(mem);
  if (!::OpenClipboard(nullptr)) {
    ::GlobalFree(mem);
    return false;
  }
  ::EmptyClipboard();
  bool ok = ::SetClipboardData(format, mem) != nullptr;
  ::CloseClipboard();
  if (!ok) ::GlobalFree(mem);
  return ok;
}

int RowBytes(int w, int bits) {
  return ((w * bits + 31) / 32) * 4;
}

// Rows bottom-up, each pixel's colour from `colour(x, y)` given as the
// pixel's value at that depth.
std::string Pixels(int w, int h, int bits, const std::function<std::uint32_t(int, int)>& value, bool topDown = false) {
  std::string out;
  for (int r = 0; r < h; ++r) {
    int y = topDown ? r : h - 1 - r;
    std::string row(RowBytes(w, bits), '\0');
    for (int x = 0; x < w; ++x) {
      std::uint32_t v = value(x, y);
      if (bits < 8) {
        int shift = 8 - bits - (x * bits) % 8;
        row[x * bits / 8] = static_cast<char>(row[x * bits / 8] | (v << shift));
      } else {
        for (int b = 0; b < bits / 8; ++b) row[x * bits / 8 + b] = static_cast<char>((v >> (8 * b)) & 0xFF);
      }
    }
    out += row;
  }
  return out;
}

// The area shows `expected(x, y)` (0xRRGGBB) over w × h at its top-left.
// `tolerance` allows for depths with fewer levels per channel than 8 bits.
bool AreaShowsColours(App& app, int w, int h, const std::function<std::uint32_t(int, int)>& expected,
                      int tolerance = 0) {
  Image a = app.PictureArea();
  if (a.width < w || a.height < h) return false;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int shift : {0, 8, 16}) {
        int got = static_cast<int>((a.at(x, y) >> shift) & 0xFF);
        int want = static_cast<int>((expected(x, y) >> shift) & 0xFF);
        if (got - want > tolerance || want - got > tolerance) return false;
      }
  return true;
}

TEST(BadInput, PasteTakesEveryPictureFormatAndSurvivesDamagedOnes) {
  App app;
  const int w = 37, h = 21;  // rows that need padding
  auto stripes = [](int x, int y) { return static_cast<std::uint32_t>(((x / 4) + (y / 3)) % 4); };
  const std::uint32_t rgb[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
  std::vector<RGBQUAD> table = {{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {0, 255, 255, 0}};
  auto expected = [&](int x, int y) { return rgb[stripes(x, y)]; };

  struct Good {
    const char* what;
    UINT format;
    std::string bytes;
  };
  std::vector<RGBQUAD> mono = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  std::vector<Good> good = {
      {"24-bit DIB", CF_DIB,
       PackedDib(w, h, 24, BI_RGB, {}, Pixels(w, h, 24, [&](int x, int y) { return expected(x, y); }))},
      {"32-bit top-down DIB", CF_DIB,
       PackedDib(w, -h, 32, BI_RGB, {},
                 Pixels(
                     w, h, 32, [&](int x, int y) { return expected(x, y); }, true))},
      {"8-bit DIB with its colours", CF_DIB, PackedDib(w, h, 8, BI_RGB, table, Pixels(w, h, 8, stripes))},
      {"4-bit DIB with its colours", CF_DIB, PackedDib(w, h, 4, BI_RGB, table, Pixels(w, h, 4, stripes))},
      {"32-bit V5 DIB", CF_DIBV5,
       PackedDib(w, h, 32, BI_RGB, {}, Pixels(w, h, 32, [&](int x, int y) { return expected(x, y); }),
                 sizeof(BITMAPV5HEADER))},
  };
  for (const auto& g : good) {
    SCOPED_TRACE(g.what);
    ASSERT_TRUE(PutOnClipboard(g.format, g.bytes));
    app.Click("Paste");
    EXPECT_TRUE(WaitUntil([&] { return AreaShowsColours(app, w, h, expected); }, 3000)) << "not shown as sent";
  }
  {
    SCOPED_TRACE("1-bit DIB");
    ASSERT_TRUE(PutOnClipboard(CF_DIB, PackedDib(w, h, 1, BI_RGB, mono, Pixels(w, h, 1, [](int x, int y) {
                                                   return static_cast<std::uint32_t>((x + y) % 2);
                                                 }))));
    app.Click("Paste");
    EXPECT_TRUE(WaitUntil(
        [&] { return AreaShowsColours(app, w, h, [](int x, int y) { return (x + y) % 2 ? 0xFFFFFFu : 0u; }); }, 3000));
  }
  {
    SCOPED_TRACE("16-bit 5-6-5 DIB");
    std::string masks(12, '\0');
    DWORD m[3] = {0xF800, 0x07E0, 0x001F};
    std::memcpy(masks.data(), m, 12);
    const std::uint32_t px565[4] = {0xF800, 0x07E0, 0x001F, 0xFFE0};
    std::string dib = PackedDib(w, h, 16, BI_BITFIELDS, {}, "");
    dib += masks + Pixels(w, h, 16, [&](int x, int y) { return px565[stripes(x, y)]; });
    ASSERT_TRUE(PutOnClipboard(CF_DIB, dib));
    app.Click("Paste");
    EXPECT_TRUE(WaitUntil([&] { return AreaShowsColours(app, w, h, expected, 8); }, 3000));
  }
  {
    SCOPED_TRACE("Windows metafile picture");
    HDC mf = ::CreateMetaFileA(nullptr);
    ::SetWindowExtEx(mf, 100, 50, nullptr);
    HBRUSH red = ::CreateSolidBrush(RGB(255, 0, 0));
    RECT all{0, 0, 100, 50};
    ::FillRect(mf, &all, red);
    ::DeleteObject(red);
    ASSERT_TRUE(PutMetafilePictOnClipboard(::CloseMetaFile(mf), 2540, 1270));  // 1 by 0.5 inches
    app.Click("Paste");
    HDC screen = ::GetDC(nullptr);
    int pw = ::GetDeviceCaps(screen, LOGPIXELSX), ph = ::GetDeviceCaps(screen, LOGPIXELSY) / 2;
    ::ReleaseDC(nullptr, screen);
    EXPECT_TRUE(WaitUntil(
        [&] {
          Image a = app.PictureArea();
          return a.width > pw + 4 && a.height > ph + 4 && a.at(pw / 2, ph / 2) == 0xFF0000 &&
                 a.at(pw + 4, ph / 2) == 0xFFFFFF;
        },
        3000))
        << "the metafile is drawn at its natural size";
  }

  // Damaged pictures: each is refused or shown as far as it goes, and the
  // program goes on.
  std::string fine = Pixels(4, 4, 24, [](int, int) { return 0u; });
  struct Bad {
    const char* what;
    UINT format;
    std::string bytes;
  };
  std::string huge = PackedDib(50000, 50000, 24, BI_RGB, {}, fine);
  std::string wrongSize = PackedDib(4, 4, 24, BI_RGB, {}, fine);
  reinterpret_cast<BITMAPINFOHEADER*>(wrongSize.data())->biSize = 0x7FFFFFFF;
  std::string manyColours = PackedDib(4, 4, 8, BI_RGB, {}, fine);
  reinterpret_cast<BITMAPINFOHEADER*>(manyColours.data())->biClrUsed = 0x40000000;
  const std::vector<Bad> bad = {
      {"a DIB far larger than its data", CF_DIB, huge},
      {"a DIB header of a wrong size", CF_DIB, wrongSize},
      {"a DIB of 7 bits per pixel", CF_DIB, PackedDib(4, 4, 7, BI_RGB, {}, fine)},
      {"a DIB of no width", CF_DIB, PackedDib(0, 4, 24, BI_RGB, {}, fine)},
      {"a DIB claiming a billion colours", CF_DIB, manyColours},
      {"a run-length DIB of garbage", CF_DIB, PackedDib(4, 4, 8, BI_RLE8, {}, std::string(64, '\x7f'))},
      {"a cut-off DIB header", CF_DIB, std::string(10, '\x28')},
      {"an empty DIB", CF_DIB, ""},
      {"a cut-off V5 DIB", CF_DIBV5, std::string(sizeof(BITMAPINFOHEADER), '\0')},
      {"a metafile picture of garbage", CF_METAFILEPICT, std::string(4, '\x01')},
  };
  for (const auto& b : bad) {
    SCOPED_TRACE(b.what);
    PutOnClipboard(b.format, b.bytes);
    app.Click("Paste");
    EXPECT_TRUE(app.Sync()) << "the program stopped answering";
    ASSERT_TRUE(app.running()) << "the program ended";
    EXPECT_TRUE(app.SettledDialogs().empty());
  }
  ExpectStillCaptures(app, 102);
}

// ---- captures whose window goes ----

TEST(BadInput, WindowCapturesWithoutAProperForegroundWindowGiveAPictureAndNoFault) {
  App app;
  // A "Window" capture whose foreground window closes during the delay.
  {
    auto pattern = std::make_unique<PatternWindow>(0, 0, kW, kH, 103);
    app.Click("Window");
    auto notice = WaitForDialog(app.pid(), 5000);
    ASSERT_TRUE(notice);
    PressDialogButton(notice->hwnd, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return ::IsIconic(app.main()) != FALSE; }, 3000));
    ASSERT_TRUE(BringToFront(pattern->hwnd()));
    pattern.reset();  // gone before the delay ends
    ASSERT_TRUE(WaitFirstCaptureTaken(app)) << "no capture";
    EXPECT_TRUE(app.SettledDialogs().empty());
    Restore(app);
    EXPECT_TRUE(app.running());
  }
  // Ctrl+F11 with a 0 x 0 window in front.
  {
    HWND tiny = ::CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 10, 10, 0, 0, nullptr, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(tiny, nullptr);
    ::SetForegroundWindow(tiny);
    PumpMessages();
    SendCtrlKey(VK_F11);
    EXPECT_TRUE(app.Sync());
    ::DestroyWindow(tiny);
    EXPECT_TRUE(app.running());
  }
  // Ctrl+F11 right after the foreground window went.
  {
    HWND gone = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    BringToFront(gone);
    ::DestroyWindow(gone);
    SendCtrlKey(VK_F11);
    EXPECT_TRUE(app.Sync());
    EXPECT_TRUE(app.running());
  }
  EXPECT_TRUE(app.SettledDialogs().empty());
  ExpectStillCaptures(app, 104);
}

}  // namespace
}  // namespace e2e
