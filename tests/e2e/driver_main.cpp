// The end-to-end driver's entry point: GoogleTest with a watchdog that ends
// a hung test (and every process it started) instead of hanging the run.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "harness.h"

namespace {

volatile LONG g_deadlineTick = 0;  // 0: no test running
char g_testName[512];

DWORD TestLimitMs() {
  char buf[32];
  DWORD n = ::GetEnvironmentVariableA("FW_TEST_LIMIT_S", buf, sizeof buf);
  int s = (n > 0 && n < sizeof buf) ? std::atoi(buf) : 0;
  return static_cast<DWORD>(s > 0 ? s : 90) * 1000;
}

DWORD WINAPI Watchdog(LPVOID) {
  while (true) {
    ::Sleep(200);
    LONG deadline = g_deadlineTick;
    if (deadline != 0 && static_cast<LONG>(::GetTickCount() - static_cast<DWORD>(deadline)) > 0) {
      std::fprintf(stderr, "\n[ WATCHDOG ] %s ran past its time limit; ending it and its programs\n", g_testName);
      std::fflush(stderr);
      e2e::EndAllProcesses();
      ::ExitProcess(3);
    }
  }
}

class Guard : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo& info) override {
    std::snprintf(g_testName, sizeof g_testName, "%s.%s", info.test_suite_name(), info.name());
    ::InterlockedExchange(&g_deadlineTick, static_cast<LONG>(::GetTickCount() + TestLimitMs()) | 1);
  }
  void OnTestEnd(const ::testing::TestInfo&) override {
    ::InterlockedExchange(&g_deadlineTick, 0);
    e2e::EndAllProcesses();
  }
};

// The driver sees real pixels, as the program does (its manifest makes it
// aware of each monitor's scaling): a program unaware of the scaling is
// handed scaled-down coordinates and sizes by Windows, and the tests' pixel
// places would not be the program's.
void SeeRealPixels() {
  HMODULE user = ::GetModuleHandleA("user32.dll");
  using ContextFn = BOOL WINAPI(DPI_AWARENESS_CONTEXT);
  auto* perMonitor =
      reinterpret_cast<ContextFn*>(reinterpret_cast<void*>(::GetProcAddress(user, "SetProcessDpiAwarenessContext")));
  if (perMonitor && perMonitor(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2)) return;
  using AwareFn = BOOL WINAPI();
  auto* systemAware = reinterpret_cast<AwareFn*>(reinterpret_cast<void*>(::GetProcAddress(user, "SetProcessDPIAware")));
  if (systemAware) systemAware();
}

}  // namespace

void e2e::SetTestTimeLimit(DWORD seconds) {
  ::InterlockedExchange(&g_deadlineTick, static_cast<LONG>(::GetTickCount() + seconds * 1000) | 1);
}

int main(int argc, char** argv) {
  ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  SeeRealPixels();
  ::testing::InitGoogleTest(&argc, argv);
  // GoogleTest takes ownership of its listeners.
  ::testing::UnitTest::GetInstance()->listeners().Append(std::make_unique<Guard>().release());
  ::CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);
  int rc = RUN_ALL_TESTS();
  e2e::EndAllProcesses();
  return rc;
}
