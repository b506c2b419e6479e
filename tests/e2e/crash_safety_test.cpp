// The program ended in the middle of its automatic saves: every capture
// file that has a name is a whole file of the format its name asks for (a
// bitmap under ".bmp", a PNG ending with its IEND chunk under ".png", a JPEG
// from its start to its end marker under ".jpg") and decodes to the screen
// it captured, and the temporary files the kills leave go at the next save. The program runs as
// the test build stalling_writes.exe, which stops a save at a point the
// driver chooses and says so, so that every kill lands inside a save: in
// a write (so many bytes of the file written), at its flush, or just
// before the file takes its name. Meant for a small screen (the run in
// make test sets one up). FW_KILL_CAPTURES sets the number of captures
// (200; make soak 1,000), FW_KILL_SEED the points of the kills.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>

#include "flows.h"
#include "harness.h"
#include "harness_files.h"
#include "harness_formats.h"
#include "inprocess/stall_protocol.h"
#include "options_access.h"

namespace e2e {
namespace {

long EnvNumber(const char* name, long fallback) {
  char buf[32] = {};
  DWORD n = ::GetEnvironmentVariableA(name, buf, sizeof buf);
  long v = n > 0 && n < sizeof buf ? std::strtol(buf, nullptr, 10) : 0;
  return v > 0 ? v : fallback;
}

// A capture file once it was found whole: its size and first bytes.
struct Seen {
  std::size_t size = 0;
  std::string head;
};

// How far a decoded capture may be from the screen it captured: nothing for
// the lossless formats; for a JPEG, a few levels inside the flat blocks of
// its pattern (PatternStyle::Blocks), where the encoder keeps each block's
// colour.
constexpr int kJpegTolerance = 8;

// `shown`'s rows down to the last whole 16-row band that ends before its
// bottom: a JPEG encoder mixes the colours of one such band (its blocks and
// halved colour resolution), so the band that meets what lies below the
// pattern is left out of a JPEG's comparison.
Image BandsClearOfTheBottom(const Image& shown) {
  Image top = shown;
  top.height = (shown.height - 1) / 16 * 16;
  top.px.resize(static_cast<std::size_t>(top.width) * top.height);
  return top;
}

// Checks the capture files not yet seen whole (whole files of the
// screen's size and their format, their pixels decoded and compared with
// `shown`, what the screen showed from its top-left), and that those seen
// before are unchanged; returns how many files had something wrong.
int CheckCaptures(const std::string& dir, const Image& shown, std::map<std::string, Seen>& seen, const char* when) {
  const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
  int wrong = 0;
  for (const auto& name : SnapFiles(dir)) {
    std::string bytes = ReadFileBytes(dir + "\\" + name);
    auto it = seen.find(name);
    if (it != seen.end()) {
      if (bytes.size() != it->second.size || bytes.compare(0, it->second.head.size(), it->second.head) != 0) {
        ADD_FAILURE() << when << ": " << name << " changed after it was whole";
        ++wrong;
      }
      continue;
    }
    seen[name] = Seen{bytes.size(), bytes.substr(0, 64)};  // reported once
    const std::string format = FormatNamed(name);
    if (std::string why = WholeFileProblem(format, bytes); !why.empty()) {
      ADD_FAILURE() << when << ": " << name << " is not a whole " << format << ": " << why;
      ++wrong;
      continue;
    }
    Decoded decoded = DecodeFile(dir + "\\" + name);
    // (ImageMagick names a bitmap with this header "BMP3".)
    if (decoded.image.empty() || decoded.format.rfind(format, 0) != 0) {
      ADD_FAILURE() << when << ": " << name << " (" << bytes.size() << " bytes) does not decode as " << format << " (\""
                    << decoded.format << "\")";
      ++wrong;
      continue;
    }
    if (decoded.image.width != width || decoded.image.height != height) {
      ADD_FAILURE() << when << ": " << name << " is " << decoded.image.width << "x" << decoded.image.height
                    << ", not the screen's " << width << "x" << height;
      ++wrong;
    } else if (format == "JPEG") {
      if (int off = LargestDifferenceInsideBlocks(decoded.image, BandsClearOfTheBottom(shown));
          off < 0 || off > kJpegTolerance) {
        ADD_FAILURE() << when << ": " << name << " is not the screen: a colour is " << off << " levels off";
        ++wrong;
      }
    } else if (long differ = TopLeftDifferences(decoded.image, shown); differ != 0) {
      ADD_FAILURE() << when << ": " << name << " is not the screen: " << differ << " pixels differ";
      ++wrong;
    }
  }
  return wrong;
}

// Moves the program's window off the screen and puts the pattern in front
// of everything, then waits until the screen shows the pattern from its
// top-left (what it showed instead is kept beside the captures).
void CoverTheScreen(App& app, const PatternWindow& screen, const std::string& dir) {
  RECT all{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  ::SetWindowPos(app.main(), nullptr, all.right + 100, all.bottom + 100, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::SetWindowPos(screen.hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  Image shown;
  bool covered = WaitUntil(
      [&] {
        shown = GrabScreen(all);
        return TopLeftDifferences(shown, screen.expected()) == 0;
      },
      3000);
  if (!covered) SaveBmp(shown, dir + "\\uncovered.bmp");
  ASSERT_TRUE(covered) << "the pattern does not cover the screen";
}

// Opens Options, types the extension of the automatic saves and hides the
// dialog again: loaded, as a first capture leaves it, and out of the
// captures.
void UseExtension(App& app, const std::string& extension) {
  OptionsControls options(OpenOptions(app));
  ASSERT_TRUE(options.complete());
  ::SendMessageTimeoutA(options.combo1, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(extension.c_str()), SMTO_ABORTIFHUNG,
                        3000, nullptr);
  ASSERT_EQ(options.extension(), extension);
  ::ShowWindow(options.dialog, SW_HIDE);
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(options.dialog); }, 3000));
}

// The names snap0, snap1, ... with `extension`, `count` of them, sorted as
// SnapFiles sorts.
std::vector<std::string> Sequence(std::size_t count, const std::string& extension) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < count; ++i) names.push_back("snap" + std::to_string(i) + extension);
  std::sort(names.begin(), names.end());
  return names;
}

// Where a save stops before its kill.
struct Stop {
  LPARAM point = kStopInWrite;
  unsigned long long bytes = 0;  // for kStopInWrite: let through before the stop
};

// Kills the program inside its automatic saves under names ending in
// `extension`, run after run, and checks what the kills leave.
void KillInsideAutomaticSaves(const std::string& extension) {
  const long total = EnvNumber("FW_KILL_CAPTURES", 200);
  const auto seed = static_cast<unsigned>(EnvNumber("FW_KILL_SEED", static_cast<long>(::GetTickCount() & 0x7FFFFFFF)));
  SetTestTimeLimit(static_cast<DWORD>(180 + 2 * total));
  std::printf("crash safety: %ld captures as %s, seed %u (FW_KILL_SEED repeats the run)\n", total, extension.c_str(),
              seed);
  std::mt19937 random(seed);
  const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
  const bool lossy = FormatNamed(extension) == "JPEG";
  // What every capture shows: a pattern over the screen, in front of the
  // program's windows (flat blocks under a lossy format). It leaves out the
  // screen's last row: Wine 10 without a window manager stops answering in
  // its X11 driver for a window that covers the whole screen (Windows and
  // Wine 8 do not), and that row is all the comparisons leave out.
  PatternWindow screen(0, 0, width, height - 1, 91, lossy ? PatternStyle::Blocks : PatternStyle::Grid);
  // The size of a whole capture of the screen as a bitmap file. Every
  // capture of the one pattern gives a file of the same size, so the points
  // in a write are chosen within the size of the bitmap or, for the other
  // formats, of the first whole file (before there is one, within its
  // first kilobyte); a stop past the end of the file is its flush.
  HDC dc = ::GetDC(nullptr);
  const unsigned long long bitmapSize =
      54 + static_cast<unsigned long long>((width * ::GetDeviceCaps(dc, BITSPIXEL) + 31) / 32 * 4) * height;
  ::ReleaseDC(nullptr, dc);
  const unsigned long long pastAnyEnd = 2 * bitmapSize + 4096;

  std::string shots = FreshTestDir("-shots");
  std::string programDir;
  std::map<std::string, Seen> seen;
  long sent = 0, runs = 0, killedWithTemp = 0, inWrite = 0, atFlush = 0, atNaming = 0;
  int wrong = 0;

  while (sent < total && wrong < 5) {
    // The program's window shows for its start to be seen.
    ::ShowWindow(screen.hwnd(), SW_HIDE);
    AppOptions options{.settings = SettingsLine(1, 0, shots), .program = "stalling_writes.exe"};
    if (!programDir.empty()) options = AppOptions{.programDir = programDir};
    App app(options);
    programDir = app.dir();
    ASSERT_TRUE(app.started() && app.main())
        << "run " << runs << " did not start: "
        << (!app.started()   ? "the process was not created"
            : !app.running() ? "the process ended with code " + std::to_string(app.exitCode())
                             : "no main window within the start's wait");
    ASSERT_TRUE(OpenDialogs(app.pid()).empty()) << "run " << runs << " started with a message";
    ++runs;
    ASSERT_NO_FATAL_FAILURE(UseExtension(app, extension));
    ASSERT_NO_FATAL_FAILURE(CoverTheScreen(app, screen, programDir));

    // A few whole captures, then one that stops inside its save.
    long burst = std::min<long>(std::uniform_int_distribution<long>(1, 6)(random), total - sent);
    for (long i = 1; i < burst; ++i) {
      std::size_t before = SnapFiles(shots).size();
      PostHotkey(app);
      ASSERT_TRUE(WaitUntil([&] { return SnapFiles(shots).size() == before + 1; }, kSaveTimeoutMs))
          << "run " << runs << ": capture " << i << " was not saved";
    }
    const unsigned long long wholeSize = FormatNamed(extension) == "BMP" ? bitmapSize
                                         : seen.empty()                  ? 1024
                                                                         : seen.begin()->second.size;
    Stop stop;
    int kind = std::uniform_int_distribution<int>(0, 9)(random);
    if (kind < 7) {
      stop.bytes = std::uniform_int_distribution<unsigned long long>(0, wholeSize - 1)(random);
      ++inWrite;
    } else if (kind < 8) {
      stop.bytes = pastAnyEnd;  // all of it written: the flush
      ++atFlush;
    } else {
      stop.point = kStopAtNaming;
      ++atNaming;
    }
    HANDLE stalled = ::CreateEventA(nullptr, TRUE, FALSE, StalledEventName(app.pid()).c_str());
    ASSERT_NE(stalled, nullptr);
    static const UINT stallMessage = ::RegisterWindowMessageA(kStallNextSaveMessage);
    ::PostMessageA(app.main(), stallMessage, static_cast<WPARAM>(stop.bytes), stop.point);
    PostHotkey(app);
    sent += burst;
    bool reached = ::WaitForSingleObject(stalled, kSaveTimeoutMs) == WAIT_OBJECT_0;
    ::CloseHandle(stalled);
    ::TerminateProcess(app.process(), 1);
    ASSERT_EQ(::WaitForSingleObject(app.process(), 10000), WAIT_OBJECT_0) << "run " << runs << " did not end";
    ASSERT_TRUE(reached) << "run " << runs << ": the save did not reach its stop";

    // The save that was cut short left its temporary file, and only that:
    // the one an earlier kill left went when this run first saved.
    std::vector<std::string> temps = ProgramTempFiles(shots);
    if (!temps.empty()) ++killedWithTemp;
    EXPECT_EQ(temps.size(), 1u) << "run " << runs;
    if (temps.size() == 1 && stop.point == kStopInWrite && stop.bytes < wholeSize) {
      EXPECT_EQ(ReadFileBytes(shots + "\\" + temps[0]).size(), stop.bytes)
          << "run " << runs << ": not cut in its write";
    }
    wrong += CheckCaptures(shots, screen.expected(), seen, ("after kill " + std::to_string(runs)).c_str());
  }

  // One more run, to the end of one save: the temporary files are gone.
  ::ShowWindow(screen.hwnd(), SW_HIDE);
  App last({.programDir = programDir});
  ASSERT_TRUE(last.started() && last.main());
  ASSERT_NO_FATAL_FAILURE(UseExtension(last, extension));
  ASSERT_NO_FATAL_FAILURE(CoverTheScreen(last, screen, programDir));
  std::size_t before = SnapFiles(shots).size();
  PostHotkey(last);
  ASSERT_TRUE(WaitUntil([&] { return SnapFiles(shots).size() > before; }, kSaveTimeoutMs));
  ASSERT_TRUE(last.Barrier());
  EXPECT_TRUE(OpenDialogs(last.pid()).empty());
  wrong += CheckCaptures(shots, screen.expected(), seen, "at the end");
  EXPECT_EQ(ProgramTempFiles(shots), std::vector<std::string>{}) << "temporary files survived the next save";
  // Each capture that was not cut short has its file, numbered in order:
  // the saves cut short took no name.
  EXPECT_EQ(SnapFiles(shots), Sequence(static_cast<std::size_t>(sent - runs + 1), extension));
  EXPECT_EQ(SnapFiles(shots).size(), seen.size());
  EXPECT_EQ(killedWithTemp, runs) << "a kill landed outside a save";
  EXPECT_EQ(wrong, 0);
  std::printf(
      "crash safety: %ld runs, each killed inside a save (%ld in a write, %ld at the flush, %ld before the name), "
      "%zu whole captures\n",
      runs, inWrite, atFlush, atNaming, seen.size());
}

TEST(CrashSafety, KillsDuringAutomaticSavesLeaveOnlyWholeCaptures) {
  KillInsideAutomaticSaves(".bmp");
}

TEST(CrashSafety, KillsDuringPngAutomaticSavesLeaveOnlyWholePngs) {
  KillInsideAutomaticSaves(".png");
}

TEST(CrashSafety, KillsDuringJpegAutomaticSavesLeaveOnlyWholeJpegs) {
  KillInsideAutomaticSaves(".jpg");
}

}  // namespace
}  // namespace e2e
