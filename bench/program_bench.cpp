// Figures of the real program, each beside the floor it is read against,
// timed in turn within every run so that the machine's drifts hit both:
//  - cold start: from starting Framewick.exe to its main window shown,
//    against a program with the same look and nothing of its own (the
//    program's manifest, its common controls started, a window with one
//    button and its tooltip), and for context a program that only opens an
//    empty window;
//  - hotkey to picture held: a Ctrl+F10 message through the program's own
//    window procedures and handler (in this process), against the bare
//    BitBlt of the screen (bare_capture.h);
//  - hotkey to BMP on disk: an injected Ctrl+F10 to the real program (with
//    automatic saving on) until the file is complete, against the bare
//    capture written the same way; and the same when 10,000 earlier
//    captures have taken the next names;
//  - memory: idle, against the empty window's, and the peak of captures
//    over the idle program; the libraries the program has loaded at idle
//    that the empty window has not.
// Prints "figure: <name> <median> <min>" lines (ms, or bytes for memory).
// Usage: program_bench <bin dir> <work dir> [runs]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "bare_capture.h"
#include "bench_clock.h"

#include "app/program.h"
#include "capture/hotkeys.h"
#include "platform/events.h"
#include "platform/ole.h"

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

// The libraries a process has loaded (lower-case base names) and the
// bytes of their images.
std::set<std::string> Modules(HANDLE process, SIZE_T* imageBytes) {
  std::set<std::string> names;
  HMODULE mods[512];
  DWORD need = 0;
  if (imageBytes) *imageBytes = 0;
  if (!::EnumProcessModulesEx(process, mods, sizeof mods, &need, LIST_MODULES_ALL)) return names;
  for (DWORD i = 0; i < std::min<DWORD>(need / sizeof(HMODULE), 512); ++i) {
    char name[MAX_PATH] = {};
    if (!::GetModuleBaseNameA(process, mods[i], name, sizeof name)) continue;
    ::CharLowerA(name);
    names.insert(name);
    MODULEINFO info{};
    if (imageBytes && ::GetModuleInformation(process, mods[i], &info, sizeof info)) *imageBytes += info.SizeOfImage;
  }
  return names;
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

// Waits until the file is complete on disk; the time since t0, or < 0.
double WaitForFile(const std::string& path, long long expected, double t0, double limitMs) {
  while (NowMs() - t0 < limitMs) {
    if (FileSize(path) == expected) return NowMs() - t0;
    ::Sleep(0);
  }
  return -1;
}

// The program's own code in this process, for the hotkey's path to the
// picture held: the window procedure chain and the hotkey handler, as the
// real program runs them (the hotkeys themselves stay with the real one).
struct InProcessProgram {
  fw::ole::Session ole;
  fw::Program program;
  bool ok = false;
  InProcessProgram() {
    ok = fw::ole::Start() && program.form1.Create(::GetModuleHandleA(nullptr));
    if (!ok) return;
    ::ShowWindow(program.form1.hwnd(), SW_SHOWMINNOACTIVE);
    fw::InstallHotkeyWndProc(program.form1.capturing());
    fw::DoEvents();
  }
  ~InProcessProgram() {
    if (ok) ::DestroyWindow(program.form1.hwnd());
  }
  // Not timed: what the previous capture left to do (its painting).
  void Settle() {
    ::RedrawWindow(program.form1.hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    fw::DoEvents();
  }
  double HotkeyToPicture() {
    fw::Form1& form = program.form1;
    fw::Picture before = form.GetPicture();
    double t0 = NowMs();
    ::PostMessageA(form.hwnd(), WM_HOTKEY, 0, 0);
    MSG msg;
    while (form.GetPicture().SameObject(before)) {
      if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
      }
    }
    return NowMs() - t0;
  }
};

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
  std::string probeDir = work + "\\probe";
  ::CreateDirectoryA(work.c_str(), nullptr);
  ::CreateDirectoryA(appDir.c_str(), nullptr);
  ::CreateDirectoryA(shots.c_str(), nullptr);
  ::CreateDirectoryA(probeDir.c_str(), nullptr);
  if (!CopyInto(bin, appDir, "Framewick.exe") || !CopyInto(bin, appDir, "camera.wav")) return 2;
  std::string exe = appDir + "\\Framewick.exe";
  std::string empty = bin + "\\empty_window.exe";
  std::string controls = bin + "\\controls_window.exe";

  // Cold start, the three programs taking turns; the empty window's memory
  // once idle.
  const DWORD settleMs = 300;
  std::vector<double> startProgram, startControls, startEmpty;
  SIZE_T emptyPeak = 0, emptyImages = 0;
  std::set<std::string> emptyModules;
  for (int i = 0; i < runs; ++i) {
    Started s;
    double ms = 0;
    if (StartAndWait(exe, appDir, "FramewickMain", s, &ms)) startProgram.push_back(ms);
    End(s);
    if (StartAndWait(controls, bin, "FwControlsWindow", s, &ms)) startControls.push_back(ms);
    End(s);
    if (StartAndWait(empty, bin, "FwEmptyWindow", s, &ms)) {
      startEmpty.push_back(ms);
      ::Sleep(settleMs);
      emptyPeak = std::max(emptyPeak, PeakMemory(s.pi.hProcess));
      if (emptyModules.empty()) emptyModules = Modules(s.pi.hProcess, &emptyImages);
    }
    End(s);
  }
  Figure("cold_start_program", startProgram);
  Figure("cold_start_controls_window", startControls);
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

  std::vector<double> bareBlt, hotkey, bareWrite, save, full;
  Started s;
  if (StartAndWait(exe, appDir, "FramewickMain", s, nullptr)) {
    ::Sleep(settleMs);
    SIZE_T idle = PeakMemory(s.pi.hProcess);
    SIZE_T programImages = 0;
    std::set<std::string> programModules = Modules(s.pi.hProcess, &programImages);
    std::printf("figure: peak_memory_program_idle %zu %zu\n", static_cast<size_t>(idle), static_cast<size_t>(idle));
    std::printf("figure: peak_memory_empty_window %zu %zu\n", static_cast<size_t>(emptyPeak),
                static_cast<size_t>(emptyPeak));
    std::printf("figure: module_images_program_idle %zu %zu\n", static_cast<size_t>(programImages),
                static_cast<size_t>(programImages));
    std::printf("figure: module_images_empty_window %zu %zu\n", static_cast<size_t>(emptyImages),
                static_cast<size_t>(emptyImages));
    std::string extra;
    for (const auto& m : programModules) {
      if (!emptyModules.count(m)) extra += " " + m;
    }
    std::printf("modules: idle program %zu, empty window %zu; only in the program:%s\n", programModules.size(),
                emptyModules.size(), extra.c_str());
    ::ShowWindow(s.window, SW_MINIMIZE);  // out of the way, as a user would have it
    ::Sleep(settleMs);

    InProcessProgram local;
    // Warm-up: the first capture loads the Options dialog and the sound.
    std::string warm = shots + "\\snap0.jpg";
    CtrlF10();
    WaitForFile(warm, expected, NowMs(), 20000);
    ::DeleteFileA(warm.c_str());
    if (local.ok) local.HotkeyToPicture();
    bench::BareBitBlt();
    bench::BareCaptureAndWrite(probeDir, "probe.bmp");
    ::DeleteFileA((probeDir + "\\probe.bmp").c_str());

    // Each run: the bare BitBlt, the program's hotkey to picture, the bare
    // capture written, the program's hotkey to file; in turn.
    for (int i = 1; i <= runs; ++i) {
      double t0 = NowMs();
      if (bench::BareBitBlt()) bareBlt.push_back(NowMs() - t0);
      if (local.ok) {
        local.Settle();
        hotkey.push_back(local.HotkeyToPicture());
        local.Settle();
      }
      t0 = NowMs();
      if (bench::BareCaptureAndWrite(probeDir, "probe.bmp")) bareWrite.push_back(NowMs() - t0);
      ::DeleteFileA((probeDir + "\\probe.bmp").c_str());
      ::Sleep(50);
      std::string path = shots + "\\snap" + std::to_string(i) + ".jpg";
      t0 = NowMs();
      CtrlF10();
      double ms = WaitForFile(path, expected, t0, 20000);
      if (ms >= 0) save.push_back(ms);
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
      double ms = WaitForFile(path, expected, t0, 60000);
      if (ms >= 0) full.push_back(ms);
      ::Sleep(50);
      // The next round meets 10,000 again, not the sum of all rounds.
      for (int k = next - earlier; k <= next; ++k)
        ::DeleteFileA((shots + "\\snap" + std::to_string(k) + ".jpg").c_str());
      ++next;
    }
    SIZE_T peak = PeakMemory(s.pi.hProcess);
    std::printf("figure: peak_memory_program %zu %zu\n", static_cast<size_t>(peak), static_cast<size_t>(peak));
    std::printf("figure: frame_bytes %lld %lld\n", frame, frame);
  }
  End(s);
  // Ratios are of medians; the pairs were timed in turn within each run.
  Figure("bare_bitblt", bareBlt);
  Figure("hotkey_to_picture", hotkey);
  Figure("bare_capture_and_write", bareWrite);
  Figure("hotkey_to_bmp_on_disk", save);
  Figure("hotkey_to_bmp_past_10000_earlier", full);
  return save.empty() || startProgram.empty() ? 1 : 0;
}
