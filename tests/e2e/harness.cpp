#include "harness.h"

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace e2e {
namespace {

std::string EnvOr(const char* name, const char* fallback) {
  char buf[4096];
  DWORD n = ::GetEnvironmentVariableA(name, buf, sizeof buf);
  if (n == 0 || n >= sizeof buf) return fallback;
  return std::string(buf, n);
}

std::string TrimSlash(std::string s) {
  while (s.size() > 3 && (s.back() == '\\' || s.back() == '/')) s.pop_back();
  return s;
}

std::vector<HANDLE>& Tracked() {
  static std::vector<HANDLE> processes;
  return processes;
}

CRITICAL_SECTION& TrackedLock() {
  static CRITICAL_SECTION cs = [] {
    CRITICAL_SECTION c;
    ::InitializeCriticalSection(&c);
    return c;
  }();
  return cs;
}

std::string Quote(const std::string& s) {
  return "\"" + s + "\"";
}

}  // namespace

const std::string& BinDir() {
  static std::string dir = TrimSlash(EnvOr("FW_BIN_DIR", "."));
  return dir;
}

const std::string& WorkRoot() {
  static std::string dir = [] {
    std::string d = TrimSlash(EnvOr("FW_WORK_DIR", "C:\\fwtest"));
    ::CreateDirectoryA(d.c_str(), nullptr);
    return d;
  }();
  return dir;
}

std::string FreshTestDir(const std::string& suffix) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "test";
  for (char& c : name) {
    if (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|')
      c = '_';
  }
  std::string dir = WorkRoot() + "\\" + name + suffix;
  RemoveTree(dir);
  ::CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

void PumpMessages() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

void Sleep(DWORD ms) {
  DWORD start = ::GetTickCount();
  do {
    PumpMessages();
    DWORD elapsed = ::GetTickCount() - start;
    if (elapsed >= ms) break;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(ms - elapsed, 10), QS_ALLINPUT);
  } while (true);
}

bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs, DWORD stepMs) {
  DWORD start = ::GetTickCount();
  while (true) {
    PumpMessages();
    if (cond()) return true;
    if (::GetTickCount() - start >= timeoutMs) return false;
    Sleep(stepMs);
  }
}

HANDLE StartProcess(const std::string& exe, const std::string& args, const std::string& cwd, DWORD* pid) {
  std::string cmd = Quote(exe);
  if (!args.empty()) cmd += " " + args;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::vector<char> buf(cmd.begin(), cmd.end());
  buf.push_back('\0');
  if (!::CreateProcessA(exe.c_str(), buf.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        cwd.empty() ? nullptr : cwd.c_str(), &si, &pi)) {
    return nullptr;
  }
  ::CloseHandle(pi.hThread);
  if (pid) *pid = pi.dwProcessId;
  ::EnterCriticalSection(&TrackedLock());
  Tracked().push_back(pi.hProcess);
  ::LeaveCriticalSection(&TrackedLock());
  return pi.hProcess;
}

int RunAndCollect(const std::string& exe, const std::string& args, DWORD timeoutMs, std::string& output) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!::CreatePipe(&readEnd, &writeEnd, &sa, 0)) return -1;
  ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  std::string cmd = Quote(exe) + (args.empty() ? "" : " " + args);
  std::vector<char> buf(cmd.begin(), cmd.end());
  buf.push_back('\0');
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = writeEnd;
  si.hStdError = writeEnd;
  si.hStdInput = nullptr;
  PROCESS_INFORMATION pi{};
  BOOL ok = ::CreateProcessA(exe.c_str(), buf.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  ::CloseHandle(writeEnd);
  if (!ok) {
    ::CloseHandle(readEnd);
    return -1;
  }
  ::CloseHandle(pi.hThread);
  ::EnterCriticalSection(&TrackedLock());
  Tracked().push_back(pi.hProcess);
  ::LeaveCriticalSection(&TrackedLock());
  DWORD start = ::GetTickCount();
  int code = -1;
  while (true) {
    DWORD avail = 0;
    while (::PeekNamedPipe(readEnd, nullptr, 0, nullptr, &avail, nullptr) && avail > 0) {
      char chunk[4096];
      DWORD got = 0;
      if (!::ReadFile(readEnd, chunk, std::min<DWORD>(avail, sizeof chunk), &got, nullptr) || got == 0) break;
      output.append(chunk, got);
    }
    if (::WaitForSingleObject(pi.hProcess, 20) == WAIT_OBJECT_0) {
      DWORD c = 0;
      ::GetExitCodeProcess(pi.hProcess, &c);
      code = static_cast<int>(c);
      // What is left in the pipe.
      while (::PeekNamedPipe(readEnd, nullptr, 0, nullptr, &avail, nullptr) && avail > 0) {
        char chunk[4096];
        DWORD got = 0;
        if (!::ReadFile(readEnd, chunk, std::min<DWORD>(avail, sizeof chunk), &got, nullptr) || got == 0) break;
        output.append(chunk, got);
      }
      break;
    }
    if (::GetTickCount() - start > timeoutMs) {
      ::TerminateProcess(pi.hProcess, 97);
      break;
    }
    PumpMessages();
  }
  ::CloseHandle(readEnd);
  return code;
}

void EndAllProcesses() {
  ::EnterCriticalSection(&TrackedLock());
  std::vector<HANDLE> all;
  all.swap(Tracked());
  ::LeaveCriticalSection(&TrackedLock());
  for (HANDLE h : all) {
    if (::WaitForSingleObject(h, 0) == WAIT_TIMEOUT) {
      ::TerminateProcess(h, 99);
      ::WaitForSingleObject(h, 5000);
    }
    ::CloseHandle(h);
  }
}

std::string UnixPath(const std::string& winPath) {
  std::string p = winPath;
  if (p.size() >= 2 && (p[0] == 'Z' || p[0] == 'z') && p[1] == ':') p.erase(0, 2);
  std::replace(p.begin(), p.end(), '\\', '/');
  return p;
}

std::string WinPath(const std::string& unixPath) {
  std::string p("Z:");
  p += unixPath;
  std::replace(p.begin(), p.end(), '/', '\\');
  return p;
}

namespace {

// Starts /bin/sh -c command. Wine hands out no process handle for a Unix
// program, so there is nothing to track or wait on.
bool StartShell(const std::string& command) {
  std::string line = "\"Z:\\bin\\sh\" -c \"" + command + "\"";
  std::vector<char> buf(line.begin(), line.end());
  buf.push_back('\0');
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessA("Z:\\bin\\sh", buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    return false;
  }
  if (pi.hThread) ::CloseHandle(pi.hThread);
  if (pi.hProcess) ::CloseHandle(pi.hProcess);
  return true;
}

}  // namespace

bool RunUnix(const std::string& command, DWORD timeoutMs) {
  // The process handle Wine gives for a Unix program does not follow it to
  // its end, so the command leaves a mark when it is done.
  static int counter = 0;
  std::string mark =
      WorkRoot() + "\\unix-done-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++counter);
  ::DeleteFileA(mark.c_str());
  if (!StartShell(command + "; touch '" + UnixPath(mark) + "'")) return false;
  bool done = WaitUntil([&] { return FileExists(mark); }, timeoutMs, 20);
  ::DeleteFileA(mark.c_str());
  return done;
}

namespace {

std::vector<DWORD> ProcessesNamed(const char* name) {
  std::vector<DWORD> out;
  HANDLE snap = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return out;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32First(snap, &entry); more; more = ::Process32Next(snap, &entry))
    if (lstrcmpiA(entry.szExeFile, name) == 0) out.push_back(entry.th32ProcessID);
  ::CloseHandle(snap);
  return out;
}

// Starts a program through /bin/sh with Unix environment settings and
// finds its Windows process (tracked like the others) by its image path.
HANDLE StartWithUnixEnvironment(const std::string& exe, const std::string& environment, const std::string& cwd,
                                DWORD* pid) {
  std::string name = exe.substr(exe.find_last_of('\\') + 1);
  std::vector<DWORD> before = ProcessesNamed(name.c_str());
  char wine[1024];
  DWORD n = ::GetEnvironmentVariableA("WINE", wine, sizeof wine);
  std::string loader = (n > 0 && n < sizeof wine) ? std::string(wine, n) : std::string("wine");
  std::string command = "cd '" + UnixPath(cwd) + "' && exec env " + environment + " '" + loader + "' '" +
                        UnixPath(exe) + "' </dev/null >/dev/null 2>&1";
  if (!StartShell(command)) return nullptr;
  HANDLE found = nullptr;
  WaitUntil(
      [&] {
        for (DWORD id : ProcessesNamed(name.c_str())) {
          if (std::find(before.begin(), before.end(), id) != before.end()) continue;
          HANDLE h = ::OpenProcess(PROCESS_ALL_ACCESS, FALSE, id);
          if (!h) continue;
          char path[MAX_PATH];
          DWORD size = sizeof path;
          if (::QueryFullProcessImageNameA(h, 0, path, &size) && lstrcmpiA(path, exe.c_str()) == 0) {
            found = h;
            if (pid) *pid = id;
            return true;
          }
          ::CloseHandle(h);
        }
        return false;
      },
      10000, 20);
  if (found) {
    ::EnterCriticalSection(&TrackedLock());
    Tracked().push_back(found);
    ::LeaveCriticalSection(&TrackedLock());
  }
  return found;
}

}  // namespace

// ---- windows ----

namespace {
struct TopCtx {
  DWORD pid;
  bool visible;
  std::vector<HWND> out;
};
BOOL CALLBACK CollectTop(HWND h, LPARAM lp) {
  auto* c = reinterpret_cast<TopCtx*>(lp);
  DWORD p = 0;
  ::GetWindowThreadProcessId(h, &p);
  if (p == c->pid && (!c->visible || ::IsWindowVisible(h))) c->out.push_back(h);
  return TRUE;
}
struct TextCtx {
  const std::string* text;
  const char* cls;
  HWND found;
};
BOOL CALLBACK MatchText(HWND h, LPARAM lp) {
  auto* c = reinterpret_cast<TextCtx*>(lp);
  if (Text(h) == *c->text && (!c->cls || lstrcmpiA(ClassOf(h).c_str(), c->cls) == 0)) {
    c->found = h;
    return FALSE;
  }
  return TRUE;
}
struct IdCtx {
  int id;
  HWND found;
};
BOOL CALLBACK MatchId(HWND h, LPARAM lp) {
  auto* c = reinterpret_cast<IdCtx*>(lp);
  if (::GetDlgCtrlID(h) == c->id) {
    c->found = h;
    return FALSE;
  }
  return TRUE;
}
BOOL CALLBACK CountOne(HWND, LPARAM lp) {
  ++*reinterpret_cast<int*>(lp);
  return TRUE;
}
}  // namespace

std::vector<HWND> TopLevelWindows(DWORD pid, bool visibleOnly) {
  TopCtx ctx{pid, visibleOnly, {}};
  ::EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&ctx));
  return ctx.out;
}

HWND FindTopLevel(DWORD pid, const char* className, const char* title, bool visibleOnly) {
  for (HWND h : TopLevelWindows(pid, visibleOnly)) {
    if (className && ClassOf(h) != className) continue;
    if (title && Text(h) != title) continue;
    return h;
  }
  return nullptr;
}

HWND FindChildByText(HWND parent, const std::string& text, const char* className) {
  TextCtx ctx{&text, className, nullptr};
  ::EnumChildWindows(parent, MatchText, reinterpret_cast<LPARAM>(&ctx));
  return ctx.found;
}

HWND FindChildById(HWND parent, int id) {
  IdCtx ctx{id, nullptr};
  ::EnumChildWindows(parent, MatchId, reinterpret_cast<LPARAM>(&ctx));
  return ctx.found;
}

std::string Text(HWND hwnd) {
  char buf[2048] = {};
  // WM_GETTEXT with a timeout: a hung program must not hang the driver.
  DWORD_PTR got = 0;
  if (!::SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000,
                             &got)) {
    return {};
  }
  return std::string(buf, std::min<std::size_t>(got, sizeof buf - 1));
}

std::string ClassOf(HWND hwnd) {
  char buf[256] = {};
  int n = ::GetClassNameA(hwnd, buf, sizeof buf);
  return std::string(buf, n > 0 ? n : 0);
}

RECT ScreenRect(HWND hwnd) {
  RECT r{};
  ::GetWindowRect(hwnd, &r);
  return r;
}

int CountWindows(DWORD pid) {
  int count = 0;
  for (HWND h : TopLevelWindows(pid, false)) {
    ++count;
    ::EnumChildWindows(h, CountOne, reinterpret_cast<LPARAM>(&count));
  }
  return count;
}

// ---- dialogs ----
namespace {

Image RenderIcon(LPCSTR id, int w, int h, COLORREF bg) {
  Image img;
  HDC screen = ::GetDC(nullptr);
  HDC mem = ::CreateCompatibleDC(screen);
  HBITMAP bmp = ::CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = ::SelectObject(mem, bmp);
  HBRUSH brush = ::CreateSolidBrush(bg);
  RECT r{0, 0, w, h};
  ::FillRect(mem, &r, brush);
  ::DeleteObject(brush);
  HICON icon = ::LoadIconA(nullptr, id);
  ::DrawIconEx(mem, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
  ::SelectObject(mem, old);
  img = ImageFromBitmap(bmp, screen);
  ::DeleteObject(bmp);
  ::DeleteDC(mem);
  ::ReleaseDC(nullptr, screen);
  return img;
}

IconKind DetectIcon(HWND dialog) {
  HWND icon = ::GetDlgItem(dialog, 0x440);
  if (!icon || !::IsWindowVisible(icon)) return IconKind::None;
  DWORD_PTR handle = 0;
  if (!::SendMessageTimeoutA(icon, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &handle) || handle == 0) {
    return IconKind::None;
  }
  RECT r = ScreenRect(icon);
  if (r.right - r.left <= 0 || r.bottom - r.top <= 0) return IconKind::None;
  // The icon is drawn after the box shows; give it a moment.
  Sleep(50);
  Image shown = GrabScreen(r);
  if (shown.empty()) return IconKind::Unknown;
  COLORREF bg = RGB((shown.at(0, 0) >> 16) & 255, (shown.at(0, 0) >> 8) & 255, shown.at(0, 0) & 255);
  struct Candidate {
    LPCSTR id;
    IconKind kind;
  } candidates[] = {{IDI_ASTERISK, IconKind::Information},
                    {IDI_HAND, IconKind::Error},
                    {IDI_EXCLAMATION, IconKind::Warning},
                    {IDI_QUESTION, IconKind::Question}};
  IconKind best = IconKind::Unknown;
  long bestDiff = -1;
  for (const auto& c : candidates) {
    Image ref = RenderIcon(c.id, shown.width, shown.height, bg);
    long d = CountDifferences(shown, ref);
    if (d >= 0 && (bestDiff < 0 || d < bestDiff)) {
      bestDiff = d;
      best = c.kind;
    }
  }
  // Nothing drawn at all counts as no icon.
  bool blank = std::all_of(shown.px.begin(), shown.px.end(), [&](std::uint32_t p) { return p == shown.px[0]; });
  return blank ? IconKind::None : best;
}

DialogInfo Describe(HWND dialog) {
  DialogInfo info;
  info.hwnd = dialog;
  info.title = Text(dialog);
  if (HWND t = ::GetDlgItem(dialog, 0xFFFF)) info.text = Text(t);
  info.icon = DetectIcon(dialog);
  for (HWND c = ::GetWindow(dialog, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
    if (lstrcmpiA(ClassOf(c).c_str(), "Button") == 0 && ::IsWindowVisible(c)) info.buttons.push_back(Text(c));
  }
  return info;
}

}  // namespace

std::vector<DialogInfo> OpenDialogs(DWORD pid) {
  std::vector<DialogInfo> out;
  for (HWND h : TopLevelWindows(pid, true)) {
    if (ClassOf(h) == "#32770") out.push_back(Describe(h));
  }
  return out;
}

std::optional<DialogInfo> WaitForDialog(DWORD pid, DWORD timeoutMs, const char* title) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND h : TopLevelWindows(pid, true)) {
          if (ClassOf(h) == "#32770" && (!title || Text(h) == title)) {
            found = h;
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  if (!found) return std::nullopt;
  return Describe(found);
}

void PressDialogButton(HWND dialog, int id) {
  HWND button = ::GetDlgItem(dialog, id);
  if (button) {
    ::PostMessageA(button, BM_CLICK, 0, 0);
  } else {
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
  }
}

bool WaitDialogGone(HWND dialog, DWORD timeoutMs) {
  return WaitUntil([&] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); }, timeoutMs);
}

void CloseFromFrame(HWND window) {
  ::PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

HWND WaitForSaveDialog(DWORD pid, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND h : TopLevelWindows(pid, true)) {
          if (ClassOf(h) == "#32770" && ::GetDlgItem(h, 0x47C)) {
            found = h;
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  return found;
}

void ChooseFileName(HWND saveDialog, const std::string& path) {
  HWND box = ::GetDlgItem(saveDialog, 0x47C);
  DWORD_PTR r = 0;
  ::SendMessageTimeoutA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), SMTO_NORMAL, 3000, &r);
  PressDialogButton(saveDialog, IDOK);
}

// ---- clipboard ----
namespace {
class OpenClip {
 public:
  OpenClip() {
    for (int i = 0; i < 50 && !open_; ++i) {
      open_ = ::OpenClipboard(nullptr) != FALSE;
      if (!open_) ::Sleep(20);
    }
  }
  ~OpenClip() {
    if (open_) ::CloseClipboard();
  }
  explicit operator bool() const { return open_; }

 private:
  bool open_ = false;
};
}  // namespace

Image ClipboardBitmap() {
  OpenClip clip;
  if (!clip) return {};
  HBITMAP bmp = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
  return bmp ? ImageFromBitmap(bmp) : Image{};
}

bool ClipboardHasFormat(UINT format) {
  OpenClip clip;
  return clip && ::IsClipboardFormatAvailable(format);
}

HBITMAP BitmapFromImage(const Image& img) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = img.width;
  bi.bmiHeader.biHeight = -img.height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bmp = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bmp && bits) std::memcpy(bits, img.px.data(), img.px.size() * 4);
  return bmp;
}

bool PutMetafilePictOnClipboard(HMETAFILE wmf, LONG widthHimetric, LONG heightHimetric) {
  HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT));
  if (!wmf || !mem) {
    if (mem) ::GlobalFree(mem);
    if (wmf) ::DeleteMetaFile(wmf);
    return false;
  }
  auto* pict = static_cast<METAFILEPICT*>(::GlobalLock(mem));
  *pict = METAFILEPICT{MM_ANISOTROPIC, widthHimetric, heightHimetric, wmf};
  ::GlobalUnlock(mem);
  bool ok = false;
  if (::OpenClipboard(nullptr)) {
    ::EmptyClipboard();
    ok = ::SetClipboardData(CF_METAFILEPICT, mem) != nullptr;
    ::CloseClipboard();
  }
  if (!ok) {
    ::GlobalFree(mem);
    ::DeleteMetaFile(wmf);
  }
  return ok;
}

bool PutBitmapOnClipboard(const Image& img) {
  // The clipboard takes a device-dependent bitmap.
  HDC screen = ::GetDC(nullptr);
  HBITMAP ddb = ::CreateCompatibleBitmap(screen, img.width, img.height);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = img.width;
  bi.bmiHeader.biHeight = -img.height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  ::SetDIBits(screen, ddb, 0, img.height, img.px.data(), &bi, DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  OpenClip clip;
  if (!clip || !::EmptyClipboard()) {
    ::DeleteObject(ddb);
    return false;
  }
  if (!::SetClipboardData(CF_BITMAP, ddb)) {
    ::DeleteObject(ddb);
    return false;
  }
  return true;
}

bool PutTextOnClipboard(const std::string& text) {
  HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  std::memcpy(::GlobalLock(mem), text.c_str(), text.size() + 1);
  ::GlobalUnlock(mem);
  OpenClip clip;
  if (!clip || !::EmptyClipboard() || !::SetClipboardData(CF_TEXT, mem)) {
    ::GlobalFree(mem);
    return false;
  }
  return true;
}

bool EmptyTheClipboard() {
  OpenClip clip;
  return clip && ::EmptyClipboard();
}

Image LoadBmpFile(const std::string& path) {
  HBITMAP bmp = static_cast<HBITMAP>(
      ::LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  if (!bmp) return {};
  Image img = ImageFromBitmap(bmp);
  ::DeleteObject(bmp);
  return img;
}

// ---- input ----

bool BringToFront(HWND hwnd) {
  // Without a window manager, Wine hands the X input focus over
  // asynchronously, and a late focus event can take the activation back:
  // the window counts as in front once it has stayed there for a moment.
  int steady = 0;
  return WaitUntil(
      [&] {
        if (::GetForegroundWindow() != hwnd) {
          steady = 0;
          ::SetForegroundWindow(hwnd);
          return false;
        }
        return ++steady >= 4;
      },
      5000, 20);
}

namespace {
INPUT KeyInput(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  if (vk >= VK_PRIOR && vk <= VK_DELETE) in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
  return in;
}
}  // namespace

void SendKey(WORD vk, bool ctrl, bool alt, bool shift) {
  std::vector<INPUT> in;
  if (ctrl) in.push_back(KeyInput(VK_CONTROL, false));
  if (alt) in.push_back(KeyInput(VK_MENU, false));
  if (shift) in.push_back(KeyInput(VK_LSHIFT, false));
  in.push_back(KeyInput(vk, false));
  in.push_back(KeyInput(vk, true));
  if (shift) in.push_back(KeyInput(VK_LSHIFT, true));
  if (alt) in.push_back(KeyInput(VK_MENU, true));
  if (ctrl) in.push_back(KeyInput(VK_CONTROL, true));
  ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

void SendCtrlKey(WORD vk) {
  SendKey(vk, true);
}

void SendText(const std::string& text) {
  std::vector<INPUT> in;
  for (unsigned char c : text) {
    INPUT down{};
    down.type = INPUT_KEYBOARD;
    down.ki.wScan = c;
    down.ki.dwFlags = KEYEVENTF_UNICODE;
    INPUT up = down;
    up.ki.dwFlags |= KEYEVENTF_KEYUP;
    in.push_back(down);
    in.push_back(up);
  }
  if (!in.empty()) ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

void MoveMouse(int x, int y) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  int sw = ::GetSystemMetrics(SM_CXSCREEN), sh = ::GetSystemMetrics(SM_CYSCREEN);
  in.mi.dx = static_cast<LONG>((x * 65535LL + sw / 2) / (sw - 1));
  in.mi.dy = static_cast<LONG>((y * 65535LL + sh / 2) / (sh - 1));
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  ::SendInput(1, &in, sizeof in);
}

void MouseButton(bool down, bool right) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags =
      right ? (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP) : (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
  ::SendInput(1, &in, sizeof in);
}

// ---- pixels ----

Image ImageFromBitmap(HBITMAP bmp, HDC ref) {
  Image img;
  BITMAP bm{};
  if (!bmp || !::GetObjectA(bmp, sizeof bm, &bm)) return img;
  img.width = bm.bmWidth;
  img.height = bm.bmHeight;
  img.px.assign(static_cast<std::size_t>(img.width) * img.height, 0);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = img.width;
  bi.bmiHeader.biHeight = -img.height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  HDC dc = ref ? ref : ::GetDC(nullptr);
  ::GetDIBits(dc, bmp, 0, img.height, img.px.data(), &bi, DIB_RGB_COLORS);
  if (!ref) ::ReleaseDC(nullptr, dc);
  for (auto& p : img.px) p &= 0xFFFFFF;
  return img;
}

Image GrabScreen(const RECT& r) {
  int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return {};
  HDC screen = ::GetDC(nullptr);
  HDC mem = ::CreateCompatibleDC(screen);
  HBITMAP bmp = ::CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = ::SelectObject(mem, bmp);
  // Only the part on the screen can be read (Wine reads nothing at all for
  // a rectangle that reaches past the screen's edge); the rest stays black.
  RECT screenRect{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  RECT on{};
  RECT black{0, 0, w, h};
  ::FillRect(mem, &black, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  if (::IntersectRect(&on, &r, &screenRect)) {
    ::BitBlt(mem, on.left - r.left, on.top - r.top, on.right - on.left, on.bottom - on.top, screen, on.left, on.top,
             SRCCOPY);
  }
  ::SelectObject(mem, old);
  Image img = ImageFromBitmap(bmp, screen);
  ::DeleteObject(bmp);
  ::DeleteDC(mem);
  ::ReleaseDC(nullptr, screen);
  return img;
}

long CountDifferences(const Image& a, const Image& b, int ox, int oy) {
  if (ox == 0 && oy == 0 && (a.width != b.width || a.height != b.height)) return -1;
  long diff = 0;
  for (int y = 0; y < b.height && y + oy < a.height; ++y) {
    for (int x = 0; x < b.width && x + ox < a.width; ++x) {
      if (a.at(x + ox, y + oy) != b.at(x, y)) ++diff;
    }
  }
  return diff;
}

long TopLeftDifferences(const Image& whole, const Image& part) {
  if (whole.width < part.width || whole.height < part.height) return -1;
  long diff = 0;
  for (int y = 0; y < part.height; ++y)
    for (int x = 0; x < part.width; ++x) diff += whole.at(x, y) != part.at(x, y);
  return diff;
}

bool SaveBmp(const Image& img, const std::string& path) {
  BITMAPFILEHEADER fh{};
  BITMAPINFOHEADER ih{};
  ih.biSize = sizeof ih;
  ih.biWidth = img.width;
  ih.biHeight = -img.height;
  ih.biPlanes = 1;
  ih.biBitCount = 32;
  DWORD bytes = static_cast<DWORD>(img.px.size() * 4);
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof ih;
  fh.bfSize = fh.bfOffBits + bytes;
  std::string out(reinterpret_cast<const char*>(&fh), sizeof fh);
  out.append(reinterpret_cast<const char*>(&ih), sizeof ih);
  out.append(reinterpret_cast<const char*>(img.px.data()), bytes);
  return WriteFileBytes(path, out);
}

// ---- pattern window ----
namespace {

struct ClockState {
  DWORD start;
  int band;
};

void PaintClock(HWND hwnd, HDC dc, const ClockState& clock) {
  RECT rc;
  ::GetClientRect(hwnd, &rc);
  DWORD v = (::GetTickCount() - clock.start) / 10;
  HBRUSH brush = ::CreateSolidBrush(RGB((v >> 8) & 0xFF, v & 0xFF, 0x5A));
  RECT band{0, rc.bottom - clock.band, rc.right, rc.bottom};
  ::FillRect(dc, &band, brush);
  ::DeleteObject(brush);
}

LRESULT CALLBACK PatternProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER) {
    if (auto* clock = static_cast<ClockState*>(::GetPropA(hwnd, "FwClock"))) {
      HDC dc = ::GetDC(hwnd);
      PaintClock(hwnd, dc, *clock);
      ::ReleaseDC(hwnd, dc);
    }
    return 0;
  }
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd, &ps);
    auto* img = reinterpret_cast<const Image*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (img) {
      BITMAPINFO bi{};
      bi.bmiHeader.biSize = sizeof bi.bmiHeader;
      bi.bmiHeader.biWidth = img->width;
      bi.bmiHeader.biHeight = -img->height;
      bi.bmiHeader.biPlanes = 1;
      bi.bmiHeader.biBitCount = 32;
      ::SetDIBitsToDevice(dc, 0, 0, img->width, img->height, 0, 0, 0, img->height, img->px.data(), &bi, DIB_RGB_COLORS);
    }
    if (auto* clock = static_cast<ClockState*>(::GetPropA(hwnd, "FwClock"))) PaintClock(hwnd, dc, *clock);
    ::EndPaint(hwnd, &ps);
    return 0;
  }
  if (msg == WM_ERASEBKGND) return 1;
  return ::DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

std::uint32_t PatternWindow::Colour(int x, int y, int seed) {
  // Blocks of distinct colours with a fine grid, so shifts and scaling show.
  std::uint32_t r = static_cast<std::uint32_t>((x / 8 * 37 + seed * 53) & 0xFF);
  std::uint32_t g = static_cast<std::uint32_t>((y / 8 * 59 + seed * 11) & 0xFF);
  std::uint32_t b = static_cast<std::uint32_t>(((x + y) % 7 == 0 ? 255 : (x ^ y) * 3 + seed) & 0xFF);
  return (r << 16) | (g << 8) | b;
}

PatternWindow::PatternWindow(int x, int y, int w, int h, int seed) {
  static bool registered = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = PatternProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "FwTestPattern";
    wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    return ::RegisterClassA(&wc) != 0;
  }();
  (void)registered;
  expected_.width = w;
  expected_.height = h;
  expected_.px.resize(static_cast<std::size_t>(w) * h);
  for (int yy = 0; yy < h; ++yy)
    for (int xx = 0; xx < w; ++xx) expected_.px[static_cast<std::size_t>(yy) * w + xx] = Colour(xx, yy, seed);
  hwnd_ = ::CreateWindowExA(0, "FwTestPattern", "Pattern", WS_POPUP, x, y, w, h, nullptr, nullptr,
                            ::GetModuleHandleA(nullptr), nullptr);
  ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&expected_));
  ::ShowWindow(hwnd_, SW_SHOW);
  ::UpdateWindow(hwnd_);
  BringToFront(hwnd_);
  WaitUntil([&] { return CountDifferences(GrabScreen(ScreenRect(hwnd_)), expected_) == 0; }, 3000);
}

void PatternWindow::StartClock(int band) {
  band_ = band;
  clockStart_ = ::GetTickCount();
  static ClockState state;
  state = ClockState{clockStart_, band};
  ::SetPropA(hwnd_, "FwClock", &state);
  ::SetTimer(hwnd_, 1, 10, nullptr);
  ::InvalidateRect(hwnd_, nullptr, FALSE);
  PumpMessages();
}

long PatternWindow::ClockIn(const Image& capture) const {
  if (band_ <= 0 || capture.height < expected_.height || capture.width < 1) return -1;
  std::uint32_t p = capture.at(0, expected_.height - 1);
  if ((p & 0xFF) != 0x5A) return -1;
  long v = static_cast<long>(((p >> 16) & 0xFF) << 8 | ((p >> 8) & 0xFF));
  return v * 10;
}

PatternWindow::~PatternWindow() {
  if (hwnd_) {
    ::KillTimer(hwnd_, 1);
    ::RemovePropA(hwnd_, "FwClock");
  }
  if (hwnd_) ::DestroyWindow(hwnd_);
  PumpMessages();
}

// ---- files ----

bool FileExists(const std::string& path) {
  DWORD a = ::GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirExists(const std::string& path) {
  DWORD a = ::GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadFileBytes(const std::string& path) {
  HANDLE f = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return {};
  std::string out;
  char buf[65536];
  DWORD got = 0;
  while (::ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
  ::CloseHandle(f);
  return out;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE f = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD put = 0;
  BOOL ok = ::WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
  ::CloseHandle(f);
  return ok && put == bytes.size();
}

std::vector<std::string> ListDir(const std::string& dir) {
  std::vector<std::string> out;
  WIN32_FIND_DATAA fd;
  HANDLE h = ::FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return out;
  do {
    if (std::strcmp(fd.cFileName, ".") && std::strcmp(fd.cFileName, "..")) out.push_back(fd.cFileName);
  } while (::FindNextFileA(h, &fd));
  ::FindClose(h);
  std::sort(out.begin(), out.end());
  return out;
}

void RemoveTree(const std::string& path) {
  DWORD a = ::GetFileAttributesA(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return;
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL | (a & FILE_ATTRIBUTE_DIRECTORY));
  if (a & FILE_ATTRIBUTE_DIRECTORY) {
    for (const auto& name : ListDir(path)) RemoveTree(path + "\\" + name);
    ::RemoveDirectoryA(path.c_str());
  } else {
    ::DeleteFileA(path.c_str());
  }
}

// ---- the program ----

App::App(const AppOptions& options) {
  dir_ = options.programDir.empty() ? FreshTestDir(options.dirSuffix) : options.programDir;
  std::string exe = dir_ + "\\Framewick.exe";
  if (options.programDir.empty()) {
    ::CopyFileA((BinDir() + "\\Framewick.exe").c_str(), exe.c_str(), FALSE);
    if (options.withSound) ::CopyFileA((BinDir() + "\\camera.wav").c_str(), (dir_ + "\\camera.wav").c_str(), FALSE);
    if (options.settings) WriteFileBytes(dir_ + "\\settings.txt", *options.settings);
  }
  const std::string& cwd = options.cwd.empty() ? dir_ : options.cwd;
  process_ = options.unixEnvironment.empty() ? StartProcess(exe, "", cwd, &pid_)
                                             : StartWithUnixEnvironment(exe, options.unixEnvironment, cwd, &pid_);
  if (process_ && options.waitForMain) {
    WaitUntil([&] { return main() != nullptr && ::IsWindowVisible(main_); }, 10000);
    ::WaitForInputIdle(process_, 5000);
    Sync();
    // Wait for the first paint: the strip's white shows.
    HWND strip = FindChildById(main(), 100);
    WaitUntil(
        [&] {
          RECT r = ScreenRect(strip);
          Image corner = GrabScreen(RECT{r.left, r.top, r.left + 4, r.top + 4});
          return !corner.empty() && corner.at(2, 2) == 0xFFFFFF;
        },
        5000, 20);
  }
}

App::~App() {
  if (process_ && ::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    ::TerminateProcess(process_, 98);
    ::WaitForSingleObject(process_, 5000);
  }
}

HWND App::main() {
  if (!main_ || !::IsWindow(main_)) main_ = FindTopLevel(pid_, "FramewickMain", nullptr, false);
  return main_;
}

HWND App::picture1() {
  return FindChildById(main(), 101);
}
HWND App::image1() {
  return FindChildById(main(), 102);
}
HWND App::command13() {
  return FindChildById(main(), 123);
}
HWND App::button(const std::string& caption) {
  return FindChildByText(main(), caption, "Button");
}

void App::Click(const std::string& caption) {
  HWND b = button(caption);
  EXPECT_NE(b, nullptr) << "no button " << caption;
  if (b) ::PostMessageA(b, BM_CLICK, 0, 0);
}

void App::Menu(int id) {
  ::PostMessageA(main(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void App::Shortcut(WORD vk) {
  EXPECT_TRUE(BringToFront(main()));
  SendCtrlKey(vk);
}

bool App::running() const {
  return process_ && ::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool App::WaitExit(DWORD timeoutMs) {
  return WaitUntil([&] { return !running(); }, timeoutMs);
}

DWORD App::exitCode() const {
  DWORD code = STILL_ACTIVE;
  if (process_) ::GetExitCodeProcess(process_, &code);
  return code;
}

bool App::Sync(DWORD timeoutMs) {
  DWORD_PTR r = 0;
  bool ok = ::SendMessageTimeoutA(main(), WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &r) != 0;
  // Let pending paints reach the screen.
  ::RedrawWindow(main(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  ::SendMessageTimeoutA(main(), WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &r);
  return ok;
}

Image App::PictureArea() {
  HWND area = picture1();
  HWND c13 = command13();
  HWND img = image1();
  bool c13Visible = c13 && ::IsWindowVisible(c13);
  bool imgVisible = img && ::IsWindowVisible(img);
  if (c13Visible) ::ShowWindow(c13, SW_HIDE);
  if (imgVisible) ::ShowWindow(img, SW_HIDE);
  ::RedrawWindow(area, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Sync();
  Sleep(50);
  RECT r{};
  ::GetClientRect(area, &r);
  ::MapWindowPoints(area, nullptr, reinterpret_cast<POINT*>(&r), 2);
  Image shot = GrabScreen(r);
  if (c13Visible) ::ShowWindow(c13, SW_SHOWNA);
  if (imgVisible) ::ShowWindow(img, SW_SHOWNA);
  return shot;
}

}  // namespace e2e
