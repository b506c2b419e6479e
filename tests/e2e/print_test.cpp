// Printing on a real print spooler: the run's private CUPS server has a PDF
// queue as its default printer (scripts/lib/cups.sh). Each test prints from
// the real program, takes the PDF the queue wrote, renders it with pdftoppm
// and looks at where the picture landed on the page.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "flows.h"
#include "harness.h"

namespace e2e {
namespace {

constexpr int kRenderDpi = 72;
constexpr int kTolerance = 2;  // pixels of rendering tolerance at that resolution

std::string Env(const char* name) {
  char buf[4096];
  DWORD n = ::GetEnvironmentVariableA(name, buf, sizeof buf);
  return (n > 0 && n < sizeof buf) ? std::string(buf, n) : std::string();
}

// A binary PPM (P6) as pdftoppm writes it.
Image ReadPpm(const std::string& path) {
  std::string data = ReadFileBytes(path);
  Image img;
  std::size_t pos = 0;
  auto token = [&]() -> std::string {
    while (pos < data.size()) {
      if (data[pos] == '#') {
        while (pos < data.size() && data[pos] != '\n') ++pos;
      } else if (std::isspace(static_cast<unsigned char>(data[pos]))) {
        ++pos;
      } else {
        break;
      }
    }
    std::size_t start = pos;
    while (pos < data.size() && !std::isspace(static_cast<unsigned char>(data[pos]))) ++pos;
    return data.substr(start, pos - start);
  };
  if (token() != "P6") return img;
  int w = std::atoi(token().c_str()), h = std::atoi(token().c_str()), max = std::atoi(token().c_str());
  ++pos;  // the single white space before the samples
  if (w <= 0 || h <= 0 || max != 255 || data.size() < pos + static_cast<std::size_t>(w) * h * 3) return img;
  img.width = w;
  img.height = h;
  img.px.resize(static_cast<std::size_t>(w) * h);
  const auto* p = reinterpret_cast<const unsigned char*>(data.data() + pos);
  for (std::size_t i = 0; i < img.px.size(); ++i, p += 3) img.px[i] = (p[0] << 16) | (p[1] << 8) | p[2];
  return img;
}

// This run's PDF queue: the folder it writes its files to.
class PdfQueue {
 public:
  PdfQueue() : unixDir_(Env("FW_PDF_DIR")), why_(Env("FW_CUPS_UNAVAILABLE")) {}
  bool available() const { return !unixDir_.empty() && DirExists(WinPath(unixDir_)); }
  std::string whyNot() const {
    return why_.empty() ? "FW_PDF_DIR does not name this run's PDF folder (run the tests through scripts/e2e.sh)"
                        : why_;
  }

  std::vector<std::string> Files() const {
    std::vector<std::string> out;
    for (const auto& name : ListDir(WinPath(unixDir_)))
      if (name.size() > 4 && _stricmp(name.c_str() + name.size() - 4, ".pdf") == 0) out.push_back(name);
    return out;
  }

  // Waits for a complete PDF that was not there before; its Unix path.
  std::string WaitForNew(const std::vector<std::string>& before, DWORD timeoutMs) const {
    std::string found;
    WaitUntil(
        [&] {
          for (const auto& name : Files()) {
            if (std::find(before.begin(), before.end(), name) != before.end()) continue;
            std::string bytes = ReadFileBytes(WinPath(unixDir_ + "/" + name));
            // Written by Ghostscript; complete when its trailer is there.
            std::size_t tail = bytes.size() > 32 ? bytes.size() - 32 : 0;
            if (bytes.compare(0, 5, "%PDF-") == 0 && bytes.find("%%EOF", tail) != std::string::npos) {
              found = unixDir_ + "/" + name;
              return true;
            }
          }
          return false;
        },
        timeoutMs, 100);
    return found;
  }

 private:
  std::string unixDir_;
  std::string why_;
};

// The page of a PDF rendered (its rotation applied).
Image RenderPage(const std::string& pdf, const std::string& workDir, int dpi = kRenderDpi) {
  std::string out = UnixPath(workDir) + "/page";
  ::DeleteFileA((workDir + "\\page.ppm").c_str());
  if (!RunUnix("pdftoppm -r " + std::to_string(dpi) + " -singlefile '" + pdf + "' '" + out + "'", 30000)) {
    return {};
  }
  return ReadPpm(workDir + "\\page.ppm");
}

// A landscape page as it is read. Wine 8's PostScript driver makes the
// PDF's page itself landscape; Wine 10's prints it on portrait paper (A4,
// 595 x 842 points, no rotation in the PDF) turned a quarter
// counterclockwise, the page's top along the paper's left edge. Either is
// a landscape print; the paper is turned back here.
Image AsLandscape(const Image& page) {
  if (WineMajor() < 10 || page.width >= page.height) return page;
  Image turned;
  turned.width = page.height;
  turned.height = page.width;
  turned.px.resize(page.px.size());
  for (int y = 0; y < turned.height; ++y)
    for (int x = 0; x < turned.width; ++x)
      turned.px[static_cast<std::size_t>(y) * turned.width + x] = page.at(y, page.height - 1 - x);
  return turned;
}

// The sizes of the raster images a PDF holds, from pdfimages.
std::vector<SIZE> ImagesIn(const std::string& pdf, const std::string& workDir) {
  std::string list = UnixPath(workDir) + "/images.txt";
  std::vector<SIZE> out;
  if (!RunUnix("pdfimages -list '" + pdf + "' > '" + list + "' 2>&1", 30000)) return out;
  std::string text = ReadFileBytes(workDir + "\\images.txt");
  std::size_t rule = text.find("\n---");
  if (rule == std::string::npos) return out;
  std::size_t line = text.find('\n', rule + 1);
  while (line != std::string::npos && line + 1 < text.size()) {
    std::size_t end = text.find('\n', line + 1);
    std::string row = text.substr(line + 1, end == std::string::npos ? std::string::npos : end - line - 1);
    int page = 0, num = 0, w = 0, h = 0;
    char type[32] = {};
    if (std::sscanf(row.c_str(), "%d %d %31s %d %d", &page, &num, type, &w, &h) == 5) out.push_back(SIZE{w, h});
    line = end;
  }
  return out;
}

// The first raster image of a PDF exactly as it is stored, rows in either
// order (placing it upright is the page's business, which the rendering
// checks): the one of the two row orders that matches `expected` at its
// top-left, or as stored when neither does.
Image StoredImage(const std::string& pdf, const std::string& workDir, const Image& expected) {
  ::DeleteFileA((workDir + "\\stored-000.ppm").c_str());
  if (!RunUnix("pdfimages -f 1 -l 1 '" + pdf + "' '" + UnixPath(workDir) + "/stored'", 30000)) return {};
  Image img = ReadPpm(workDir + "\\stored-000.ppm");
  if (img.empty() || TopLeftDifferences(img, expected) == 0) return img;
  Image flipped = img;
  for (int y = 0; y < img.height; ++y)
    std::copy_n(img.px.begin() + static_cast<std::ptrdiff_t>(img.height - 1 - y) * img.width, img.width,
                flipped.px.begin() + static_cast<std::ptrdiff_t>(y) * img.width);
  return TopLeftDifferences(flipped, expected) == 0 ? flipped : img;
}

// The pattern windows' pixels as an image of its own.
Image PatternImage(int w, int h, int seed) {
  Image img;
  img.width = w;
  img.height = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.px.push_back(PatternWindow::Colour(x, y, seed));
  return img;
}

bool Paper(std::uint32_t p) {
  return ((p >> 16) & 255) > 235 && ((p >> 8) & 255) > 235 && (p & 255) > 235;
}

// The rectangle of the page that is not blank paper.
RECT Printed(const Image& page) {
  RECT r{page.width, page.height, -1, -1};
  for (int y = 0; y < page.height; ++y)
    for (int x = 0; x < page.width; ++x)
      if (!Paper(page.at(x, y))) {
        r.left = std::min<LONG>(r.left, x);
        r.top = std::min<LONG>(r.top, y);
        r.right = std::max<LONG>(r.right, x + 1);
        r.bottom = std::max<LONG>(r.bottom, y + 1);
      }
  return r;
}

std::string Describe(const RECT& r) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "(%ld,%ld)-(%ld,%ld)", static_cast<long>(r.left), static_cast<long>(r.top),
                static_cast<long>(r.right), static_cast<long>(r.bottom));
  return buf;
}

int Channel(std::uint32_t p, int shift) {
  return static_cast<int>((p >> shift) & 255);
}

// Share of a pattern's 8x8 blocks whose colour (red and green, which are
// constant over a block) shows where the scale puts the block's centre.
double PatternBlocksFound(const Image& page, const PatternWindow& pattern, int seed, int srcLeft, int srcTop,
                          double scale, int rows = -1) {
  const Image& e = pattern.expected();
  int h = rows > 0 ? rows : e.height;
  int total = 0, found = 0;
  for (int by = 0; by + 8 <= h; by += 8)
    for (int bx = 0; bx + 8 <= e.width; bx += 8) {
      ++total;
      int x = static_cast<int>((srcLeft + bx + 4) * scale), y = static_cast<int>((srcTop + by + 4) * scale);
      if (x >= page.width || y >= page.height) continue;
      std::uint32_t want = PatternWindow::Colour(bx + 4, by + 4, seed), got = page.at(x, y);
      if (std::abs(Channel(want, 16) - Channel(got, 16)) <= 12 && std::abs(Channel(want, 8) - Channel(got, 8)) <= 12)
        ++found;
    }
  return total ? static_cast<double>(found) / total : 0;
}

void ExpectNoPrintMessage(App& app) {
  auto msg = WaitForDialog(app.pid(), 15000);
  ASSERT_TRUE(msg) << "no message";
  EXPECT_EQ(msg->title, "Framewick");
  EXPECT_EQ(msg->text, "No Image To Print");
  EXPECT_EQ(msg->icon, IconKind::None);
  EXPECT_EQ(msg->buttons, std::vector<std::string>{"OK"});
  PressDialogButton(msg->hwnd, IDOK);
  EXPECT_TRUE(WaitDialogGone(msg->hwnd, 3000));
}

// Printing is part of the program: a run that cannot print fails.
#define REQUIRE_PRINTER(queue) \
  if (!(queue).available()) FAIL() << "no printer for this run: " << (queue).whyNot()

// Prints and returns the new PDF's Unix path (empty if none came).
std::string PrintAndCollect(App& app, const PdfQueue& queue) {
  std::vector<std::string> before = queue.Files();
  app.Click("Print");
  return queue.WaitForNew(before, 30000);
}

// Checks that nothing reached the queue since `before` by printing a known
// picture with `app` and finding its PDF the only new one: the queue prints
// its jobs one after the other, in order, so a page sent earlier would have
// come out first.
void ExpectOnlyTheNextPrintComesOut(App& app, const PdfQueue& queue, const std::vector<std::string>& before) {
  Image picture = PatternImage(96, 64, 8);
  ASSERT_TRUE(PutBitmapOnClipboard(picture));
  app.Click("Paste");
  ASSERT_TRUE(WaitUntil([&] { return TopLeftDifferences(app.PictureArea(), picture) == 0; }, 5000, 50));
  app.Click("Print");
  std::string pdf = queue.WaitForNew(before, 30000);
  ASSERT_FALSE(pdf.empty()) << "the queue wrote no PDF";
  std::vector<SIZE> images = ImagesIn(pdf, app.dir());
  ASSERT_EQ(images.size(), 1u) << "the first new PDF is not this print";
  EXPECT_EQ(images[0].cx, picture.width);
  EXPECT_EQ(images[0].cy, picture.height);
  EXPECT_EQ(queue.Files().size(), before.size() + 1) << "something else came out of the queue";
}

TEST(Printing, ScreenCaptureFillsTheHeightOfALandscapePageFromItsTopLeft) {
  PdfQueue queue;
  REQUIRE_PRINTER(queue);
  App app;
  // Known pictures at the screen's top-left and bottom-right corners.
  PatternWindow corner(864, 668, 160, 100, 5);
  PatternWindow pattern(0, 0, 300, 200, 3);
  ASSERT_TRUE(CaptureScreenWithPattern(app, pattern));
  const int screenW = ::GetSystemMetrics(SM_CXSCREEN), screenH = ::GetSystemMetrics(SM_CYSCREEN);
  ASSERT_GT(screenW, screenH) << "the screen must be wider than high";

  std::string pdf = PrintAndCollect(app, queue);
  ASSERT_FALSE(pdf.empty()) << "the queue wrote no PDF";
  EXPECT_TRUE(app.SettledDialogs().empty()) << "printing asks nothing and reports nothing";

  Image page = AsLandscape(RenderPage(pdf, app.dir()));
  ASSERT_FALSE(page.empty()) << "pdftoppm rendered nothing from " << pdf;
  EXPECT_GT(page.width, page.height) << "a wide picture prints landscape";

  // At the top-left corner, as high as the printable area (the page: the
  // queue's printable area has no margins), as wide as the proportions say,
  // with a blank strip on the right.
  RECT printed = Printed(page);
  SCOPED_TRACE("printed " + Describe(printed) + " on a page of " + std::to_string(page.width) + " x " +
               std::to_string(page.height));
  EXPECT_LE(printed.left, 1);
  EXPECT_LE(printed.top, 1);
  EXPECT_GE(printed.bottom, page.height - kTolerance);
  double expectedWidth = static_cast<double>(page.height) * screenW / screenH;
  EXPECT_NEAR(printed.right, expectedWidth, kTolerance);
  EXPECT_LT(printed.right, page.width - 20) << "the strip on the right stays blank";

  // The whole screen, in its proportions, not flipped: both corners' pictures
  // are where the scale puts them.
  double scale = static_cast<double>(page.height) / screenH;
  EXPECT_GT(PatternBlocksFound(page, pattern, 3, 0, 0, scale), 0.9);
  EXPECT_GT(PatternBlocksFound(page, corner, 5, 864, 668, scale), 0.9);

  // The bitmap went to the printer whole, as one image of its own size and
  // pixels.
  std::vector<SIZE> images = ImagesIn(pdf, app.dir());
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].cx, screenW);
  EXPECT_EQ(images[0].cy, screenH);
  Image stored = StoredImage(pdf, app.dir(), pattern.expected());
  EXPECT_EQ(PatternDifferences(stored, pattern), 0);

  // Printing leaves the picture area as it was.
  EXPECT_EQ(PatternDifferences(app.PictureArea(), pattern), 0);
}

TEST(Printing, TallPictureFillsThePortraitHeightAndASquareItsWidth) {
  PdfQueue queue;
  REQUIRE_PRINTER(queue);
  App app;
  // 150 x 300: portrait; half as wide as high, narrower in proportion than
  // the page, so it takes the full height.
  ASSERT_TRUE(PutBitmapOnClipboard(PatternImage(150, 300, 11)));
  app.Click("Paste");
  app.Sync();
  std::string tall = PrintAndCollect(app, queue);
  ASSERT_FALSE(tall.empty());
  Image page = RenderPage(tall, app.dir());
  ASSERT_FALSE(page.empty());
  EXPECT_LT(page.width, page.height) << "a tall picture prints portrait";
  RECT printed = Printed(page);
  SCOPED_TRACE("tall: printed " + Describe(printed) + " on " + std::to_string(page.width) + " x " +
               std::to_string(page.height));
  EXPECT_LE(printed.left, 1);
  EXPECT_LE(printed.top, 1);
  EXPECT_GE(printed.bottom, page.height - kTolerance);
  EXPECT_NEAR(printed.right, page.height / 2.0, kTolerance);

  // 200 x 200: portrait too; wider in proportion than the page, so it takes
  // the full width and as much height.
  ASSERT_TRUE(PutBitmapOnClipboard(PatternImage(200, 200, 13)));
  app.Click("Paste");
  app.Sync();
  std::string square = PrintAndCollect(app, queue);
  ASSERT_FALSE(square.empty());
  page = RenderPage(square, app.dir());
  ASSERT_FALSE(page.empty());
  EXPECT_LT(page.width, page.height) << "a square picture prints portrait";
  printed = Printed(page);
  SCOPED_TRACE("square: printed " + Describe(printed));
  EXPECT_LE(printed.left, 1);
  EXPECT_LE(printed.top, 1);
  EXPECT_GE(printed.right, page.width - kTolerance);
  EXPECT_NEAR(printed.bottom, page.width, kTolerance);
  EXPECT_LT(printed.bottom, page.height - 20) << "the strip below stays blank";
  std::vector<SIZE> images = ImagesIn(square, app.dir());
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].cx, 200);
  EXPECT_EQ(images[0].cy, 200);
}

TEST(Printing, EnhancedMetafilePrintsAsADrawingAcrossTheWidth) {
  PdfQueue queue;
  REQUIRE_PRINTER(queue);
  App app;
  // A red square on blue, 2 by 1 inches.
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
  app.Sync();

  std::string pdf = PrintAndCollect(app, queue);
  ASSERT_FALSE(pdf.empty());
  Image page = AsLandscape(RenderPage(pdf, app.dir()));
  ASSERT_FALSE(page.empty());
  EXPECT_GT(page.width, page.height) << "a wide picture prints landscape";
  RECT printed = Printed(page);
  SCOPED_TRACE("printed " + Describe(printed) + " on " + std::to_string(page.width) + " x " +
               std::to_string(page.height));
  // Twice as wide as high: wider in proportion than the page, so the full
  // width, half as high, a blank strip below.
  EXPECT_LE(printed.left, 1);
  EXPECT_LE(printed.top, 1);
  EXPECT_GE(printed.right, page.width - kTolerance);
  EXPECT_NEAR(printed.bottom, page.width / 2.0, kTolerance);
  int pw = printed.right, ph = printed.bottom;
  EXPECT_EQ(page.at(pw * 3 / 8, ph / 2), 0xFF0000u) << "the square";
  EXPECT_EQ(page.at(pw * 3 / 4, ph / 2), 0x0000FFu) << "the ground";
  EXPECT_EQ(page.at(pw / 8, ph / 8), 0x0000FFu);
  // Played as drawing commands, not turned into a raster image.
  EXPECT_TRUE(ImagesIn(pdf, app.dir()).empty());
}

TEST(Printing, WindowsMetafilePrintsAsADrawingDownTheHeight) {
  PdfQueue queue;
  REQUIRE_PRINTER(queue);
  App app;
  // A Windows metafile 1 by 2 inches: blue with a red square in its upper
  // half, drawn in its own logical units of 100 by 200.
  HDC mf = ::CreateMetaFileA(nullptr);
  ASSERT_NE(mf, nullptr);
  ::SetWindowOrgEx(mf, 0, 0, nullptr);
  ::SetWindowExtEx(mf, 100, 200, nullptr);
  HBRUSH blue = ::CreateSolidBrush(RGB(0, 0, 255)), red = ::CreateSolidBrush(RGB(255, 0, 0));
  RECT all{0, 0, 100, 200}, square{25, 25, 75, 75};
  ::FillRect(mf, &all, blue);
  ::FillRect(mf, &square, red);
  HMETAFILE wmf = ::CloseMetaFile(mf);
  ::DeleteObject(blue);
  ::DeleteObject(red);
  ASSERT_TRUE(PutMetafilePictOnClipboard(wmf, 2540, 5080));
  app.Click("Paste");
  app.Sync();

  std::string pdf = PrintAndCollect(app, queue);
  ASSERT_FALSE(pdf.empty());
  Image page = RenderPage(pdf, app.dir());
  ASSERT_FALSE(page.empty());
  EXPECT_LT(page.width, page.height) << "a tall picture prints portrait";
  RECT printed = Printed(page);
  SCOPED_TRACE("printed " + Describe(printed) + " on " + std::to_string(page.width) + " x " +
               std::to_string(page.height));
  EXPECT_LE(printed.left, 1);
  EXPECT_LE(printed.top, 1);
  EXPECT_GE(printed.bottom, page.height - kTolerance);
  EXPECT_NEAR(printed.right, page.height / 2.0, kTolerance);
  int pw = printed.right, ph = printed.bottom;
  EXPECT_EQ(page.at(pw / 2, ph / 4), 0xFF0000u) << "the square";
  EXPECT_EQ(page.at(pw / 2, ph * 3 / 4), 0x0000FFu) << "the ground";
  EXPECT_TRUE(ImagesIn(pdf, app.dir()).empty());
}

TEST(Printing, EmptyPictureAreaShowsTheMessageAndPrintsNothing) {
  PdfQueue queue;
  REQUIRE_PRINTER(queue);
  App app;
  std::vector<std::string> before = queue.Files();
  // No picture at all.
  app.Click("Print");
  ExpectNoPrintMessage(app);
  // An empty picture object (what Cut leaves).
  PatternWindow pattern(0, 0, 120, 80, 2);
  ASSERT_TRUE(CaptureScreenWithPattern(app, pattern));
  app.Click("Cut");
  app.Sync();
  app.Click("Print");
  ExpectNoPrintMessage(app);
  EXPECT_TRUE(app.running());
  // No page, not even a blank one, came out of the queue.
  ExpectOnlyTheNextPrintComesOut(app, queue, before);
}

TEST(Printing, NoDefaultPrinterShowsTheMessageAndPrintsNothing) {
  PdfQueue queue;
  REQUIRE_PRINTER(queue);
  std::vector<std::string> before = queue.Files();
  {
    // The program's CUPS server does not exist, so Wine finds no printer at
    // all: a program that loads the printing services while no other
    // program has them loaded takes the printers from CUPS and drops those
    // it no longer finds. The next program puts the queue back.
    App app({.unixEnvironment = "CUPS_SERVER=/nonexistent/framewick-no-printer.sock"});
    ASSERT_TRUE(app.started());
    // A picture to print, pasted.
    Image picture = PatternImage(120, 80, 4);
    ASSERT_TRUE(PutBitmapOnClipboard(picture));
    app.Click("Paste");
    bool pasted = WaitUntil([&] { return TopLeftDifferences(app.PictureArea(), picture) == 0; }, 5000, 50);
    if (!pasted) SaveBmp(app.PictureArea(), app.dir() + "\\shown.bmp");
    ASSERT_TRUE(pasted);
    app.Click("Print");
    ExpectNoPrintMessage(app);
    // The picture stays.
    EXPECT_EQ(TopLeftDifferences(app.PictureArea(), picture), 0);
  }
  // Nothing reached the queue: the next program, which has the printer
  // again, is the first to print there.
  App next({.dirSuffix = "-next"});
  ExpectOnlyTheNextPrintComesOut(next, queue, before);
}

// Runs in the 8-bit pass of the end-to-end tests (the Palette suite).
TEST(Palette, APrintedCaptureShowsTheColoursOfThePaletteDisplay) {
  HDC screenDc = ::GetDC(nullptr);
  bool palette = (::GetDeviceCaps(screenDc, RASTERCAPS) & RC_PALETTE) != 0;
  ::ReleaseDC(nullptr, screenDc);
  if (!palette) GTEST_SKIP() << "not a palette display";
  PdfQueue queue;
  REQUIRE_PRINTER(queue);
  App app;
  PatternWindow pattern(0, 0, 240, 160, 6);
  ::SetWindowPos(app.main(), nullptr, 250, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  app.Sync();
  const int screenW = ::GetSystemMetrics(SM_CXSCREEN), screenH = ::GetSystemMetrics(SM_CYSCREEN);
  Image screen = GrabScreen(RECT{0, 0, screenW, screenH});  // as it will be captured
  // The pattern shows in the display's palette colours.
  Image shown = GrabScreen(RECT{0, 0, 240, 160});
  app.Shortcut('S');
  ASSERT_TRUE(WaitUntil([&] { return TopLeftDifferences(app.PictureArea(), shown) == 0; }, 4000, 50));
  std::string pdf = PrintAndCollect(app, queue);
  ASSERT_FALSE(pdf.empty());
  // The printer got the capture's own colours, read through its palette,
  // pixel for pixel.
  Image stored = StoredImage(pdf, app.dir(), shown);
  ASSERT_EQ(stored.width, screenW);
  ASSERT_EQ(stored.height, screenH);
  EXPECT_EQ(CountDifferences(stored, screen), 0);
  Image page = AsLandscape(RenderPage(pdf, app.dir()));
  ASSERT_FALSE(page.empty());
  EXPECT_GT(page.width, page.height);
}

}  // namespace
}  // namespace e2e
