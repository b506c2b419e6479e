#include "harness/window_lookup.h"

#include <algorithm>
#include <iterator>

#include "harness/text.h"

namespace e2e {
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
  wchar_t buf[2048] = {};
  // WM_GETTEXT with a timeout: a hung program must not hang the driver. In
  // UTF-16, so that a path comes whole.
  DWORD_PTR got = 0;
  if (!::SendMessageTimeoutW(hwnd, WM_GETTEXT, std::size(buf), reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000,
                             &got)) {
    return {};
  }
  return Utf8(std::wstring(buf, std::min<std::size_t>(got, std::size(buf) - 1)));
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

HWND FocusOf(HWND window) {
  GUITHREADINFO gti{};
  gti.cbSize = sizeof gti;
  DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
  return thread && ::GetGUIThreadInfo(thread, &gti) ? gti.hwndFocus : nullptr;
}

}  // namespace e2e
