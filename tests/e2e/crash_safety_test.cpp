// The program killed at random moments while it saves hotkey captures
// automatically: every capture file that has a name is whole in the format
// its name asks for (a JPEG under the default ".jpg", a PNG ending with its
// IEND chunk under ".png") and decodes, and the temporary files the kills
// leave go at the next save. Meant for a
// small screen (the run in make test sets one up). FW_KILL_CAPTURES sets
// the number of captures (200; make soak 1,000), FW_KILL_SEED the random
// moments.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>

#include "flows.h"
#include "harness.h"
#include "harness_files.h"
#include "harness_formats.h"
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

// Checks the capture files not yet seen whole, and that those seen before
// are unchanged; returns how many files had something wrong.
int CheckCaptures(const std::string& dir, std::map<std::string, Seen>& seen, const char* when) {
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
    std::string why = WholeFileProblem(FormatNamed(name), bytes);
    if (!why.empty()) {
      ADD_FAILURE() << when << ": " << name << " is not a whole " << FormatNamed(name) << ": " << why;
      ++wrong;
      seen[name] = Seen{bytes.size(), bytes.substr(0, 64)};  // reported once
      continue;
    }
    seen[name] = Seen{bytes.size(), bytes.substr(0, 64)};
  }
  return wrong;
}

// Every capture file decodes as the format its name asks for, at the
// screen's size; returns how many do not.
int CheckDecoded(const std::string& dir) {
  std::vector<std::string> names = SnapFiles(dir);
  std::map<std::string, std::string> found = IdentifyAll(dir, names);
  int wrong = 0;
  for (const auto& name : names) {
    std::string expected = FormatNamed(name) + " " + std::to_string(::GetSystemMetrics(SM_CXSCREEN)) + "x" +
                           std::to_string(::GetSystemMetrics(SM_CYSCREEN));
    if (found[name] != expected) {
      ADD_FAILURE() << name << " decodes as \"" << found[name] << "\", not " << expected;
      ++wrong;
    }
  }
  return wrong;
}

// Captures saved under `extension` ("" leaves the Options dialog's own,
// ".jpg"), killed at random moments.
void KillDuringAutomaticSaves(const std::string& extension) {
  const long total = EnvNumber("FW_KILL_CAPTURES", 200);
  const auto seed = static_cast<unsigned>(EnvNumber("FW_KILL_SEED", static_cast<long>(::GetTickCount() & 0x7FFFFFFF)));
  SetTestTimeLimit(static_cast<DWORD>(120 + total));
  std::printf("crash safety: %ld captures, seed %u (FW_KILL_SEED repeats the run)\n", total, seed);
  std::mt19937 random(seed);
  std::string shots = FreshTestDir("-shots");
  std::string programDir;
  std::map<std::string, Seen> seen;
  long sent = 0, runs = 0, killedWithTemp = 0;
  int wrong = 0;

  while (sent < total && wrong < 5) {
    AppOptions options{.settings = SettingsLine(1, 0, shots)};
    if (!programDir.empty()) options = AppOptions{.programDir = programDir};
    App app(options);
    programDir = app.dir();
    ASSERT_TRUE(app.started() && app.main()) << "run " << runs << " did not start";
    ASSERT_TRUE(OpenDialogs(app.pid()).empty()) << "run " << runs << " started with a message";
    if (!extension.empty()) {
      ASSERT_TRUE(SetAutoSaveExtension(app, extension)) << "run " << runs;
    }
    ++runs;
    // A few captures, then the kill at a random moment among their saves.
    long burst = std::min<long>(std::uniform_int_distribution<long>(1, 6)(random), total - sent);
    for (long i = 0; i < burst; ++i) PostHotkey(app);
    sent += burst;
    DWORD pause = std::uniform_int_distribution<DWORD>(0, static_cast<DWORD>(burst) * 40)(random);
    Sleep(pause);  // chooses the moment of the kill; nothing is checked against the clock
    ::TerminateProcess(app.process(), 1);
    ASSERT_EQ(::WaitForSingleObject(app.process(), 10000), WAIT_OBJECT_0) << "run " << runs << " did not end";
    if (!ProgramTempFiles(shots).empty()) ++killedWithTemp;
    wrong += CheckCaptures(shots, seen, ("after kill " + std::to_string(runs)).c_str());
  }

  // One more run, to the end of one save: the temporary files are gone.
  App last({.programDir = programDir});
  ASSERT_TRUE(last.started() && last.main());
  if (!extension.empty()) {
    ASSERT_TRUE(SetAutoSaveExtension(last, extension));
  }
  std::size_t before = SnapFiles(shots).size();
  PostHotkey(last);
  ASSERT_TRUE(WaitUntil([&] { return SnapFiles(shots).size() > before; }, kSaveTimeoutMs));
  ASSERT_TRUE(last.Barrier());
  EXPECT_TRUE(OpenDialogs(last.pid()).empty());
  wrong += CheckCaptures(shots, seen, "at the end");
  EXPECT_EQ(ProgramTempFiles(shots), std::vector<std::string>{}) << "temporary files survived the next save";
  EXPECT_EQ(SnapFiles(shots).size(), seen.size());
  wrong += CheckDecoded(shots);
  EXPECT_EQ(wrong, 0);
  std::printf("crash safety: %ld runs killed, %zu whole captures, %ld kills left a temporary file\n", runs, seen.size(),
              killedWithTemp);
}

TEST(CrashSafety, KillsDuringAutomaticSavesLeaveOnlyWholeCaptures) {
  KillDuringAutomaticSaves("");
}

TEST(CrashSafety, KillsDuringPngAutomaticSavesLeaveOnlyWholePngs) {
  KillDuringAutomaticSaves(".png");
}

}  // namespace
}  // namespace e2e
