#include "harness/app.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "control_ids.h"
#include "harness/files.h"
#include "harness/input.h"
#include "harness/processes.h"
#include "harness/wait.h"
#include "harness/window_lookup.h"

namespace e2e {
namespace {

using namespace fw::ids;

// Barriers a sync passes, each posted once the one before has come back.
// The first can pass inside the hotkey handler's opening look at pending
// events; that look ends with the program's next call for a message, which
// the next barrier, needing the answer's way to the driver and its own way
// back, almost never overtakes (about one time in a hundred, measured); the
// third leaves that chance squared.
constexpr int kSettleBarriers = 3;

UINT BarrierMessage() {
  static const UINT message = ::RegisterWindowMessageA(kBarrierMessage);
  return message;
}

// Answers that have come back, by token.
std::vector<LPARAM>& Answers() {
  static std::vector<LPARAM> answers;
  return answers;
}

LRESULT CALLBACK AnswerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == BarrierMessage() && msg != 0) {
    Answers().push_back(lParam);
    return 0;
  }
  return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

// The driver's window the program answers barriers to: message-only, on
// the thread that runs the tests (and pumps its messages while it waits).
HWND AnswerWindow() {
  static HWND window = [] {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = AnswerProc;
    wc.hInstance = instance;
    wc.lpszClassName = "FwDriverBarrier";
    ::RegisterClassA(&wc);
    return ::CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
  }();
  return window;
}

// Takes the answer to `token` (and any older ones that came late).
bool TakeAnswer(LPARAM token) {
  auto& answers = Answers();
  if (std::find(answers.begin(), answers.end(), token) == answers.end()) return false;
  answers.erase(std::remove_if(answers.begin(), answers.end(), [&](LPARAM t) { return t <= token; }), answers.end());
  return true;
}

// Two grabs in a row that agree: what the program drew has reached the
// screen (Wine shows a program's drawing when the program next goes idle).
Image SettledGrab(const RECT& r) {
  Image shot, previous;
  WaitUntil(
      [&] {
        previous = std::move(shot);
        shot = GrabScreen(r);
        return !previous.empty() && shot.px == previous.px;
      },
      1000, 15);
  return shot;
}

}  // namespace

App::App(const AppOptions& options) {
  dir_ = options.programDir.empty() ? FreshTestDir(options.dirSuffix) : options.programDir;
  std::string exe = dir_ + "\\Framewick.exe";
  if (options.programDir.empty()) {
    ::CopyFileA((BinDir() + "\\" + options.program).c_str(), exe.c_str(), FALSE);
    if (options.withSound) ::CopyFileA((BinDir() + "\\camera.wav").c_str(), (dir_ + "\\camera.wav").c_str(), FALSE);
    if (options.settings) WriteFileBytes(dir_ + "\\settings.txt", *options.settings);
  }
  const std::string& cwd = options.cwd.empty() ? dir_ : options.cwd;
  process_ = options.unixEnvironment.empty() ? StartProcess(exe, "", cwd, &pid_)
                                             : StartWithUnixEnvironment(exe, options.unixEnvironment, cwd, &pid_);
  if (process_ && options.waitForMain) {
    WaitUntil([&] { return main() != nullptr && ::IsWindowVisible(main_); }, 10000);
    Sync();
    // Wait for the first paint: the strip's white shows.
    HWND strip = FindChildById(main(), kPicture2);
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
  if (!main_ || !::IsWindow(main_)) main_ = FindTopLevel(pid_, kMainClass, nullptr, false);
  return main_;
}

HWND App::picture1() {
  return FindChildById(main(), kPicture1);
}
HWND App::image1() {
  return FindChildById(main(), kImage1);
}
HWND App::command13() {
  return FindChildById(main(), kCommand13);
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

bool App::Barrier(DWORD timeoutMs) {
  static LPARAM lastToken = 0;
  HWND target = main();
  HWND answer = AnswerWindow();
  if (!target || !answer || BarrierMessage() == 0) return false;
  LPARAM token = ++lastToken;
  if (!::PostMessageA(target, BarrierMessage(), reinterpret_cast<WPARAM>(answer), token)) return false;
  return WaitUntil([&] { return TakeAnswer(token); }, timeoutMs, 1);
}

bool App::Sync(DWORD timeoutMs) {
  for (int i = 0; i < kSettleBarriers; ++i) {
    if (!Barrier(timeoutMs)) return false;
  }
  // Pending paints: done now (the program is sent WM_PAINT and the call
  // returns when it has painted), and on the screen once the program has
  // gone idle, which it does before it takes the next barrier.
  ::RedrawWindow(main(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  return Barrier(timeoutMs);
}

bool App::InputHandled(DWORD timeoutMs) {
  HWND before = FocusOf(main());
  if (!before) return false;
  SendKey(VK_TAB);
  if (!WaitUntil(
          [&] {
            HWND now = FocusOf(main());
            return now && now != before;
          },
          timeoutMs)) {
    return false;
  }
  SendKey(VK_TAB, false, false, true);
  if (!WaitUntil([&] { return FocusOf(main()) == before; }, timeoutMs)) return false;
  return Sync(timeoutMs);
}

std::vector<DialogInfo> App::SettledDialogs() {
  Sync();
  return DialogsIncludingUnshown(pid_);
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
  RECT r{};
  ::GetClientRect(area, &r);
  ::MapWindowPoints(area, nullptr, reinterpret_cast<POINT*>(&r), 2);
  // Only the part inside the main window's client area shows. The area is
  // sized from the window's outer size, so how far it reaches past the
  // client area depends on the system's frame and caption sizes (under
  // Wine 8 a column on the right, under Wine 10 also rows at the bottom,
  // where the window's frame shows instead).
  RECT client{};
  ::GetClientRect(main(), &client);
  ::MapWindowPoints(main(), nullptr, reinterpret_cast<POINT*>(&client), 2);
  ::IntersectRect(&r, &r, &client);
  Image shot = SettledGrab(r);
  if (c13Visible) ::ShowWindow(c13, SW_SHOWNA);
  if (imgVisible) ::ShowWindow(img, SW_SHOWNA);
  return shot;
}

}  // namespace e2e
