// Figures of the real program, driven from outside as a user would:
//  - cold start: from starting Framewick.exe to its main window shown,
//    against a program that only opens an empty window;
//  - capture plus BMP written: from an injected Ctrl+F10 (with automatic
//    saving on) until the file is complete on disk; and the same when
//    10,000 earlier captures have taken the next names;
//  - peak memory after those captures, against the empty window's.
// Prints "figure: <name> <median> <min>" lines (ms, or bytes for memory).
// Usage: program_bench <bin dir> <work dir> [runs]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_clock.h"

namespace {

using bench::NowMs;

void Figure(const char* name, std::vector<double> v) {
  if (v.empty()) {
    std::printf("figure: %s none none\n", name);
    return;
  }
  std::sort(v.begin(), v.end());
  std::printf("figure: %s %.2f %.2f\n", name, v[v.size() / 2], v.front());
  std::fflush(stdout);
}

struct Started {
  PROCESS_INFORMATION pi{};
  HWND window = nullptr;
};

struct FindCtx {
  DWORD pid;
  const char* cls;
  HWND found;
};

BOOL CALLBACK FindVisible(HWND h, LPARAM lp) {
  auto* c = reinterpret_cast<FindCtx*>(lp);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(h, &pid);
  char cls[64] = {};
  ::GetClassNameA(h, cls, sizeof cls);
  if (pid == c->pid && ::IsWindowVisible(h) && lstrcmpA(cls, c->cls) == 0) {
    c->found = h;
    return FALSE;
  }
  return TRUE;
}

// Starts a program and waits until its window of the class shows; the
// time taken goes to *ms.
bool StartAndWait(const std::string& exe, const std::string& dir, const char* cls, Started& s, double* ms) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  std::string cmd = "\"" + exe + "\"";
  double t0 = NowMs();
  if (!::CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &s.pi)) {
    return false;
  }
  while (NowMs() - t0 < 20000) {
    FindCtx ctx{s.pi.dwProcessId, cls, nullptr};
    ::EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&ctx));
    if (ctx.found) {
      if (ms) *ms = NowMs() - t0;
      s.window = ctx.found;
      return true;
    }
    ::Sleep(1);
  }
  return false;
}

void End(Started& s) {
  if (!s.pi.hProcess) return;
  ::TerminateProcess(s.pi.hProcess, 0);
  ::WaitForSingleObject(s.pi.hProcess, 5000);
  ::CloseHandle(s.pi.hProcess);
  ::CloseHandle(s.pi.hThread);
  s = Started{};
}

SIZE_T PeakMemory(HANDLE process) {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  if (!::GetProcessMemoryInfo(process, &pmc, sizeof pmc)) return 0;
  return pmc.PeakWorkingSetSize;
}

void CtrlF10() {
  INPUT in[4]{};
  for (auto& i : in) i.type = INPUT_KEYBOARD;
  in[0].ki.wVk = VK_CONTROL;
  in[1].ki.wVk = VK_F10;
  in[2].ki.wVk = VK_F10;
  in[2].ki.dwFlags = KEYEVENTF_KEYUP;
  in[3].ki.wVk = VK_CONTROL;
  in[3].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(4, in, sizeof(INPUT));
}

long long FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA fa;
  if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &fa)) return -1;
  return (static_cast<long long>(fa.nFileSizeHigh) << 32) | fa.nFileSizeLow;
}

bool CopyInto(const std::string& from, const std::string& dir, const char* name) {
  return ::CopyFileA((from + "\\" + name).c_str(), (dir + "\\" + name).c_str(), FALSE) != FALSE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: program_bench <bin dir> <work dir> [runs]\n");
    return 2;
  }
  std::string bin = argv[1], work = argv[2];
  int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 20;
  std::string appDir = work + "\\program";
  std::string shots = work + "\\shots";
  ::CreateDirectoryA(work.c_str(), nullptr);
  ::CreateDirectoryA(appDir.c_str(), nullptr);
  ::CreateDirectoryA(shots.c_str(), nullptr);
  if (!CopyInto(bin, appDir, "Framewick.exe") || !CopyInto(bin, appDir, "camera.wav")) return 2;
  std::string exe = appDir + "\\Framewick.exe";
  std::string empty = bin + "\\empty_window.exe";

  // Cold start, the two programs taking turns.
  std::vector<double> startProgram, startEmpty;
  SIZE_T emptyPeak = 0;
  for (int i = 0; i < runs; ++i) {
    Started s;
    double ms = 0;
    if (StartAndWait(exe, appDir, "FramewickMain", s, &ms)) startProgram.push_back(ms);
    End(s);
    if (StartAndWait(empty, bin, "FwEmptyWindow", s, &ms)) {
      startEmpty.push_back(ms);
      ::Sleep(100);
      emptyPeak = std::max(emptyPeak, PeakMemory(s.pi.hProcess));
    }
    End(s);
  }
  Figure("cold_start_program", startProgram);
  Figure("cold_start_empty_window", startEmpty);

  // Captures saved automatically, one at a time.
  std::string settings = "1,0,\"" + shots + "\"\r\n";
  HANDLE f = ::CreateFileA((appDir + "\\settings.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD put = 0;
  ::WriteFile(f, settings.data(), static_cast<DWORD>(settings.size()), &put, nullptr);
  ::CloseHandle(f);

  HDC screen = ::GetDC(nullptr);
  long long w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  int bpp = ::GetDeviceCaps(screen, BITSPIXEL);
  ::ReleaseDC(nullptr, screen);
  long long rowBytes = ((w * bpp + 31) / 32) * 4;
  long long expected = 54 + (bpp <= 8 ? 4LL << bpp : 0) + rowBytes * h;
  long long frame = rowBytes * h;

  std::vector<double> save, full;
  Started s;
  if (StartAndWait(exe, appDir, "FramewickMain", s, nullptr)) {
    ::Sleep(300);
    SIZE_T idle = PeakMemory(s.pi.hProcess);
    std::printf("figure: peak_memory_program_idle %zu %zu\n", static_cast<size_t>(idle), static_cast<size_t>(idle));
    ::ShowWindow(s.window, SW_MINIMIZE);  // out of the way, as a user would have it
    ::Sleep(300);
    for (int i = 0; i <= runs; ++i) {  // the first is a warm-up (it loads the Options dialog)
      std::string path = shots + "\\snap" + std::to_string(i) + ".jpg";
      double t0 = NowMs();
      CtrlF10();
      bool done = false;
      while (NowMs() - t0 < 20000) {
        if (FileSize(path) == expected) {
          done = true;
          break;
        }
        ::Sleep(0);
      }
      double ms = NowMs() - t0;
      if (done && i > 0) save.push_back(ms);
      ::Sleep(50);
      ::DeleteFileA(path.c_str());
    }
    // The first capture after 10,000 earlier captures have taken the next
    // names: the next free number comes from one directory search, not a
    // probe per name. Each round puts 10,000 names in the way.
    const int earlier = 10000;
    int next = runs + 1;
    for (int round = 0; round < std::min(runs, 5); ++round) {
      for (int k = 0; k < earlier; ++k) {
        HANDLE e = ::CreateFileA((shots + "\\snap" + std::to_string(next + k) + ".jpg").c_str(), GENERIC_WRITE, 0,
                                 nullptr, CREATE_NEW, 0, nullptr);
        if (e != INVALID_HANDLE_VALUE) ::CloseHandle(e);
      }
      next += earlier;
      std::string path = shots + "\\snap" + std::to_string(next) + ".jpg";
      double t0 = NowMs();
      CtrlF10();
      bool done = false;
      while (NowMs() - t0 < 60000) {
        if (FileSize(path) == expected) {
          done = true;
          break;
        }
        ::Sleep(0);
      }
      if (done) full.push_back(NowMs() - t0);
      ::Sleep(50);
      // The next round meets 10,000 again, not the sum of all rounds.
      for (int k = next - earlier; k <= next; ++k)
        ::DeleteFileA((shots + "\\snap" + std::to_string(k) + ".jpg").c_str());
      ++next;
    }
    SIZE_T peak = PeakMemory(s.pi.hProcess);
    std::printf("figure: peak_memory_program %zu %zu\n", static_cast<size_t>(peak), static_cast<size_t>(peak));
    std::printf("figure: peak_memory_empty_window %zu %zu\n", static_cast<size_t>(emptyPeak),
                static_cast<size_t>(emptyPeak));
    std::printf("figure: frame_bytes %lld %lld\n", frame, frame);
  }
  End(s);
  Figure("capture_plus_bmp", save);
  Figure("capture_plus_bmp_past_10000_earlier", full);
  return save.empty() || startProgram.empty() ? 1 : 0;
}
