// Many hotkey captures with automatic saving in one run of the program:
// every file is there, whole, of the screen's size and under the next
// number, and the program's GDI and USER objects and memory stay flat.
// The run is meant for a small screen (the soak runs set one up); each file
// is checked and deleted as the run goes. FW_SOAK_CAPTURES sets the number.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "harness.h"
#include "harness_formats.h"
#include "options_access.h"
#include "process_figures.h"

namespace e2e {
namespace {

long Captures() {
  char buf[32] = {};
  DWORD n = ::GetEnvironmentVariableA("FW_SOAK_CAPTURES", buf, sizeof buf);
  long v = n > 0 && n < sizeof buf ? std::strtol(buf, nullptr, 10) : 0;
  return v > 0 ? v : 1000;
}

// Why the file is not a whole JPEG (the default extension's format) of the
// screen ("" when it is).
std::string CheckCapture(const std::string& bytes) {
  std::string why = WholeFileProblem("JPEG", bytes);
  if (!why.empty()) return why;
  int w = 0, h = 0;
  if (!JpegSize(bytes, w, h)) return "no JPEG frame header";
  if (w != ::GetSystemMetrics(SM_CXSCREEN) || h != ::GetSystemMetrics(SM_CYSCREEN))
    return "a " + std::to_string(w) + "x" + std::to_string(h) + " JPEG";
  return "";
}

struct Figures {
  long gdi = 0, user = 0;
  std::size_t bytes = 0;
};

Figures Measure(App& app) {
  return {ProcessGdiObjects(app.process()), ProcessUserObjects(app.process(), app.pid()),
          ProcessPrivateBytes(app.process())};
}

double NowSeconds() {
  LARGE_INTEGER t, f;
  ::QueryPerformanceCounter(&t);
  ::QueryPerformanceFrequency(&f);
  return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

// The pace of the run, printed beside the memory figures so that a
// slowdown over time shows; a figure to read, never checked.
class Pace {
 public:
  // Captures per second since the last call, and since the first.
  void Mark(long done) {
    double now = NowSeconds();
    if (start_ < 0) {
      start_ = last_ = now;
      startDone_ = lastDone_ = done;
    }
    interval_ = Rate(done - lastDone_, now - last_);
    whole_ = Rate(done - startDone_, now - start_);
    last_ = now;
    lastDone_ = done;
  }
  double interval() const { return interval_; }
  double whole() const { return whole_; }

 private:
  static double Rate(long n, double s) { return s > 0 ? static_cast<double>(n) / s : 0.0; }
  double start_ = -1, last_ = 0, interval_ = 0, whole_ = 0;
  long startDone_ = 0, lastDone_ = 0;
};

void Print(const char* when, long done, const Figures& f, const Pace& pace) {
  std::printf("soak: %-10s %6ld captures  gdi=%5ld  user=%4ld  private=%8.1f KB  %6.1f/s (run %6.1f/s)\n", when, done,
              f.gdi, f.user, static_cast<double>(f.bytes) / 1024.0, pace.interval(), pace.whole());
  std::fflush(stdout);
}

TEST(Soak, HotkeyCapturesWithAutomaticSavingKeepEveryFileAndStayFlat) {
  const long total = Captures();
  const long warmUp = total < 100 ? total / 2 : 50;
  const long step = total > 2000 ? 1000 : 250;
  SetTestTimeLimit(static_cast<DWORD>(120 + total / 2));
  std::string shots = FreshTestDir("-shots");
  App app({.settings = "1,0,\"" + shots + "\"\r\n"});
  ASSERT_TRUE(app.started());
  Pace pace;
  pace.Mark(0);
  Figures base = Measure(app);
  Print("start", 0, base, pace);
  ASSERT_GE(base.gdi, 0) << "the program's GDI objects cannot be counted";

  long failures = 0;
  for (long i = 0; i < total && failures < 5; ++i) {
    std::string name = "snap" + std::to_string(i) + ".jpg";
    std::string path = shots + "\\" + name;
    SendCtrlKey(VK_F10);
    if (!WaitUntil([&] { return SavedAs(path); }, kSaveTimeoutMs)) {
      ADD_FAILURE() << "capture " << i << ": " << name << " did not appear; the directory holds "
                    << ::testing::PrintToString(ListDir(shots));
      ++failures;
      continue;
    }
    std::vector<std::string> present = ListDir(shots);
    if (present != std::vector<std::string>{name}) {
      ADD_FAILURE() << "capture " << i << ": the directory holds " << ::testing::PrintToString(present);
      ++failures;
    }
    std::string why = CheckCapture(ReadFileBytes(path));
    if (!why.empty()) {
      ADD_FAILURE() << name << ": " << why;
      ++failures;
    }
    // The program may still hold the file for a moment after writing it.
    if (!WaitUntil([&] { return ::DeleteFileA(path.c_str()) != FALSE; }, 2000, 20)) {
      ADD_FAILURE() << name << " could not be deleted";
      ++failures;
    }
    long done = i + 1;
    if (done == warmUp) {
      pace.Mark(done);
      base = Measure(app);
      Print("warmed up", done, base, pace);
    } else if (done % step == 0 || done == total) {
      pace.Mark(done);
      Print(done == total ? "end" : "", done, Measure(app), pace);
    }
  }
  ASSERT_TRUE(app.Sync());
  EXPECT_TRUE(app.SettledDialogs().empty()) << "a message came up during the run";
  Figures end = Measure(app);
  // Flat: a leak of one object or one screen bitmap per capture would show
  // as hundreds of objects or many megabytes.
  EXPECT_LE(end.gdi, base.gdi + 3) << "GDI objects grew from " << base.gdi;
  EXPECT_LE(end.user, base.user + 1) << "USER objects grew from " << base.user;
  if (base.bytes && end.bytes) {
    EXPECT_LE(end.bytes, base.bytes + 8u * 1024 * 1024) << "private bytes grew";
  }
}

}  // namespace
}  // namespace e2e
