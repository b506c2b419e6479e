// Captures on more than one monitor, including one left of or above the
// primary monitor (negative coordinates). They run on a display of two
// monitors ("end-to-end, two monitors" in scripts/test.sh: FW_MONITORS) and
// skip on one.
#include <gtest/gtest.h>

#include <vector>

#include "flows.h"
#include "harness.h"
#include "harness_formats.h"
#include "options_access.h"

namespace e2e {
namespace {

constexpr int kW = 200;
constexpr int kH = 120;

struct Layout {
  RECT primary{};
  RECT other{};     // the first monitor that is not the primary one
  RECT virtual_{};  // as the system gives it
  std::vector<RECT> all;
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM lp) {
  auto* layout = reinterpret_cast<Layout*>(lp);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!::GetMonitorInfoA(monitor, &info)) return TRUE;
  layout->all.push_back(info.rcMonitor);
  if (info.dwFlags & MONITORINFOF_PRIMARY) {
    layout->primary = info.rcMonitor;
  } else if (layout->other.right == layout->other.left) {
    layout->other = info.rcMonitor;
  }
  return TRUE;
}

// The monitors as the system reports them to the driver.
Layout Monitors() {
  Layout layout;
  ::EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&layout));
  int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN), y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
  layout.virtual_ = RECT{x, y, x + ::GetSystemMetrics(SM_CXVIRTUALSCREEN), y + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  return layout;
}

#define REQUIRE_TWO_MONITORS(layout)                                                                             \
  if ((layout).all.size() < 2) GTEST_SKIP() << "one monitor here; the two-monitor run (FW_MONITORS) has two";    \
  {                                                                                                              \
    RECT overlap{};                                                                                              \
    ASSERT_FALSE(::IntersectRect(&overlap, &(layout).primary, &(layout).other)) << "the monitors overlap";       \
  }                                                                                                              \
  std::printf("monitors: primary (%ld,%ld)-(%ld,%ld), other (%ld,%ld)-(%ld,%ld), virtual (%ld,%ld)-(%ld,%ld)\n", \
              (layout).primary.left, (layout).primary.top, (layout).primary.right, (layout).primary.bottom,      \
              (layout).other.left, (layout).other.top, (layout).other.right, (layout).other.bottom,              \
              (layout).virtual_.left, (layout).virtual_.top, (layout).virtual_.right, (layout).virtual_.bottom)

// The pixels of `picture` (the virtual screen from its top-left) that are
// not as the monitors and the patterns say: each pattern's pixels where a
// monitor shows them, black wherever no monitor is (also where a pattern
// window reaches into such a part). -1 when the picture is not the virtual
// screen's size.
long VirtualScreenProblems(const Image& picture, const Layout& layout, const std::vector<const PatternWindow*>& shown) {
  const RECT& v = layout.virtual_;
  if (picture.width != v.right - v.left || picture.height != v.bottom - v.top) return -1;
  std::vector<RECT> places;
  for (const PatternWindow* p : shown) places.push_back(ScreenRect(p->hwnd()));
  long problems = 0;
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) {
      POINT at{v.left + x, v.top + y};
      bool onMonitor = false;
      for (const RECT& m : layout.all) onMonitor = onMonitor || ::PtInRect(&m, at);
      if (!onMonitor) {
        problems += picture.at(x, y) != 0;
        continue;
      }
      for (std::size_t i = 0; i < shown.size(); ++i)
        if (::PtInRect(&places[i], at)) {
          problems += picture.at(x, y) != shown[i]->expected().at(at.x - places[i].left, at.y - places[i].top);
          break;
        }
    }
  return problems;
}

TEST(Monitors, CtrlF11OfAWindowOnTheOtherMonitorIsPixelExact) {
  Layout layout = Monitors();
  REQUIRE_TWO_MONITORS(layout);
  App app;
  PatternWindow pattern(layout.other.left + 40, layout.other.top + 30, 300, 200, 91);
  ASSERT_TRUE(BringToFront(pattern.hwnd()));
  SendCtrlKey(VK_F11);
  Image shown;
  EXPECT_TRUE(WaitUntil(
      [&] {
        shown = app.PictureArea();
        return PatternDifferences(shown, pattern) == 0;
      },
      5000, 50));
  if (PatternDifferences(shown, pattern) != 0) SaveBmp(shown, app.dir() + "\\shown.bmp");
}

TEST(Monitors, CtrlShiftF10AndCtrlShiftSGiveTheVirtualScreenWithEachMonitorsPatternInPlace) {
  Layout layout = Monitors();
  REQUIRE_TWO_MONITORS(layout);
  std::string shots = FreshTestDir("-shots");
  App app({.settings = SettingsLine(1, 0, shots)});
  // A pattern at the top-left of each monitor and one at the primary's
  // bottom-right; the program in the middle of the primary, clear of them.
  PatternWindow onPrimary(layout.primary.left, layout.primary.top, kW, kH, 92);
  PatternWindow onOther(layout.other.left, layout.other.top, kW, kH, 93);
  PatternWindow corner(layout.primary.right - kW, layout.primary.bottom - kH, kW, kH, 94);
  // One reaching up out of the other monitor into the part of the virtual
  // screen no monitor covers (one X screen here shows it there all the
  // same): that part must come out black.
  ASSERT_GT(layout.other.top, layout.virtual_.top) << "the layout has no uncovered part above the other monitor";
  PatternWindow intoTheGap(layout.other.left + kW + 20, layout.other.top - kH / 2, kW, kH, 95);
  ASSERT_TRUE(WaitUntil(
      [&] { return CountDifferences(GrabScreen(ScreenRect(intoTheGap.hwnd())), intoTheGap.expected()) == 0; }, 3000))
      << "the uncovered part does not show the window here, so its black would prove nothing";
  ::SetWindowPos(app.main(), nullptr, layout.primary.left + kW + 20, layout.primary.top + kH + 20, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(app.Sync());
  std::vector<const PatternWindow*> patterns{&onPrimary, &onOther, &corner, &intoTheGap};

  // Ctrl+Shift+F10, from the background, saved automatically.
  ASSERT_TRUE(BringToFront(onOther.hwnd()));
  SendKey(VK_F10, true, false, true);
  ASSERT_TRUE(WaitUntil([&] { return SavedAs(shots + "\\snap0.jpg"); }, kSaveTimeoutMs)) << "nothing saved";
  // The file is a whole JPEG of the virtual screen's size; its pixels,
  // which JPEG does not keep exactly, are judged as Copy gives them.
  std::string saved = ReadFileBytes(shots + "\\snap0.jpg");
  EXPECT_EQ(WholeFileProblem("JPEG", saved), "");
  int savedW = 0, savedH = 0;
  EXPECT_TRUE(JpegSize(saved, savedW, savedH));
  EXPECT_EQ(savedW, layout.virtual_.right - layout.virtual_.left);
  EXPECT_EQ(savedH, layout.virtual_.bottom - layout.virtual_.top);
  EXPECT_TRUE(app.SettledDialogs().empty());
  Image captured = CopiedPicture(app);
  EXPECT_EQ(VirtualScreenProblems(captured, layout, patterns), 0);
  if (VirtualScreenProblems(captured, layout, patterns) != 0) SaveBmp(captured, app.dir() + "\\hotkey.bmp");

  // Ctrl+Shift+S in the main window: at once, no notice, nothing saved.
  SendCtrlKey(VK_F12);
  ASSERT_TRUE(WaitUntil([&] { return AreaBlank(app); }, 3000));
  ASSERT_TRUE(BringToFront(app.main()));
  SendKey('S', true, false, true);
  ASSERT_TRUE(WaitUntil([&] { return !AreaBlank(app); }, 3000)) << "Ctrl+Shift+S captured nothing";
  EXPECT_FALSE(::IsIconic(app.main()));
  EXPECT_TRUE(app.SettledDialogs().empty());
  Image copied = CopiedPicture(app);
  ASSERT_FALSE(copied.empty()) << "the picture did not reach the clipboard";
  EXPECT_EQ(VirtualScreenProblems(copied, layout, patterns), 0);
  if (VirtualScreenProblems(copied, layout, patterns) != 0) SaveBmp(copied, app.dir() + "\\shortcut.bmp");
  EXPECT_EQ(ListDir(shots), std::vector<std::string>{"snap0.jpg"}) << "the shortcut saved automatically";
}

}  // namespace
}  // namespace e2e
