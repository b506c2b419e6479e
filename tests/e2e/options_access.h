// Finding and working the Options dialog of a running Framewick from the
// test driver, as assistive technology would: by window class and caption.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "harness.h"

namespace e2e {

// The Options dialog, loaded (shown or hidden), or null.
inline HWND OptionsWindow(App& app) {
  return FindTopLevel(app.pid(), kOptionsClass, nullptr, false);
}

// Opens Options from the menu and waits until it shows.
inline HWND OpenOptions(App& app) {
  app.Menu(kMenuOptions);
  HWND dlg = nullptr;
  WaitUntil(
      [&] {
        dlg = FindTopLevel(app.pid(), kOptionsClass, nullptr, true);
        return dlg != nullptr;
      },
      5000);
  app.Sync();
  return dlg;
}

struct ClassSearch {
  const char* cls;
  HWND found;
};

inline BOOL CALLBACK MatchClass(HWND h, LPARAM lp) {
  auto* c = reinterpret_cast<ClassSearch*>(lp);
  if (lstrcmpiA(ClassOf(h).c_str(), c->cls) == 0) {
    c->found = h;
    return FALSE;
  }
  return TRUE;
}

inline HWND ChildOfClass(HWND parent, const char* cls) {
  ClassSearch search{cls, nullptr};
  ::EnumChildWindows(parent, MatchClass, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

inline LRESULT Ask(HWND h, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
  DWORD_PTR r = 0;
  ::SendMessageTimeoutA(h, msg, wp, lp, SMTO_ABORTIFHUNG, 3000, &r);
  return static_cast<LRESULT>(r);
}

struct OptionsControls {
  HWND dialog = nullptr;
  HWND check1 = nullptr;  // "Auto save to file"
  HWND check2 = nullptr;  // "Show program after each snap"
  HWND dir1 = nullptr;    // the directory list
  HWND combo1 = nullptr;  // the extension box
  HWND apply = nullptr;

  explicit OptionsControls(HWND dlg) : dialog(dlg) {
    if (!dlg) return;
    check1 = FindChildByText(dlg, "Auto save to file", "Button");
    check2 = FindChildByText(dlg, "Show program after each snap", "Button");
    dir1 = ChildOfClass(dlg, "ListBox");
    combo1 = ChildOfClass(dlg, "ComboBox");
    apply = FindChildByText(dlg, "Apply", "Button");
  }
  bool complete() const { return check1 && check2 && dir1 && combo1 && apply; }
  int state1() const { return static_cast<int>(Ask(check1, BM_GETCHECK)); }
  int state2() const { return static_cast<int>(Ask(check2, BM_GETCHECK)); }
  // The list's current directory is its window text.
  std::string dir() const { return Text(dir1); }
  std::string extension() const { return Text(combo1); }
  // Lines of the list and items of the extension box, in UTF-8. Wine hands
  // another process these strings in UTF-16 only, so they are asked for as
  // such.
  std::vector<std::string> listLines() const { return Items(dir1, LB_GETCOUNT, LB_GETTEXT); }
  std::vector<std::string> extensionItems() const { return Items(combo1, CB_GETCOUNT, CB_GETLBTEXT); }
  static std::vector<std::string> Items(HWND h, UINT countMsg, UINT textMsg) {
    std::vector<std::string> items;
    LRESULT n = Ask(h, countMsg);
    for (LRESULT i = 0; i < n; ++i) {
      wchar_t wide[MAX_PATH * 2] = {};
      ::SendMessageTimeoutW(h, textMsg, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide), SMTO_ABORTIFHUNG, 3000,
                            nullptr);
      items.push_back(Utf8(wide));
    }
    return items;
  }
  void Click(HWND button) const { ::PostMessageA(button, BM_CLICK, 0, 0); }
};

// Opens the entry `name` (UTF-8) of the directory list with a click and
// Enter.
inline bool OpenListEntry(App& app, const OptionsControls& c, const std::string& name) {
  std::vector<std::string> lines = c.listLines();
  auto it = std::find(lines.begin(), lines.end(), name);
  if (it == lines.end() || !BringToFront(c.dialog)) return false;
  auto index = static_cast<WPARAM>(it - lines.begin());
  RECT item{};
  ::SendMessageTimeoutA(c.dir1, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item), SMTO_ABORTIFHUNG, 3000,
                        nullptr);
  POINT p{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
  ::ClientToScreen(c.dir1, &p);
  MoveMouse(p.x, p.y);
  MouseButton(true);
  MouseButton(false);
  if (!WaitUntil([&] { return Ask(c.dir1, LB_GETCURSEL) == static_cast<LRESULT>(index); }, 3000)) return false;
  SendKey(VK_RETURN);
  return app.Barrier();
}

// An automatic save is done once its file holds a bitmap (the file takes
// its name only when whole; a file of that name from elsewhere does not
// count).
inline bool SavedBitmap(const std::string& path) {
  HANDLE f = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  char head[2] = {};
  DWORD got = 0;
  bool ok = ::ReadFile(f, head, sizeof head, &got, nullptr) && got == 2 && head[0] == 'B' && head[1] == 'M';
  ::CloseHandle(f);
  return ok;
}
// Saves flush the file to disk, which a busy disk can hold up for seconds.
inline constexpr DWORD kSaveTimeoutMs = 15000;

}  // namespace e2e
