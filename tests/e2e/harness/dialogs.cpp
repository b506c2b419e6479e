#include "harness/dialogs.h"

#include <dlgs.h>

#include <algorithm>
#include <cstdint>

#include "harness/pixels.h"
#include "harness/text.h"
#include "harness/wait.h"
#include "harness/window_lookup.h"

namespace e2e {
namespace {

// The controls of a message box as Windows and Wine number them.
constexpr int kMessageBoxText = 0xFFFF;
constexpr int kMessageBoxIcon = 0x440;
// The file-name box of the explorer-style Save dialog.
constexpr int kFileNameBox = cmb13;
constexpr const char* kDialogClass = "#32770";

bool Uniform(const Image& img) {
  return std::all_of(img.px.begin(), img.px.end(), [&](std::uint32_t p) { return p == img.px[0]; });
}

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
  HWND icon = ::GetDlgItem(dialog, kMessageBoxIcon);
  if (!icon || !::IsWindowVisible(icon)) return IconKind::None;
  DWORD_PTR handle = 0;
  if (!::SendMessageTimeoutA(icon, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &handle) || handle == 0) {
    return IconKind::None;
  }
  RECT r = ScreenRect(icon);
  if (r.right - r.left <= 0 || r.bottom - r.top <= 0) return IconKind::None;
  // The icon is drawn after the box shows: wait until it is on the screen
  // and has stopped changing. Nothing drawn at all counts as no icon.
  Image shown, previous;
  bool drawn = WaitUntil(
      [&] {
        previous = shown;
        shown = GrabScreen(r);
        return !shown.empty() && !Uniform(shown) && shown.px == previous.px;
      },
      1000, 15);
  if (shown.empty()) return IconKind::Unknown;
  if (!drawn && Uniform(shown)) return IconKind::None;
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
  return best;
}

DialogInfo Describe(HWND dialog) {
  DialogInfo info;
  info.hwnd = dialog;
  info.title = Text(dialog);
  if (HWND t = ::GetDlgItem(dialog, kMessageBoxText)) info.text = Text(t);
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
    if (ClassOf(h) == kDialogClass) out.push_back(Describe(h));
  }
  return out;
}

std::vector<DialogInfo> DialogsIncludingUnshown(DWORD pid) {
  std::vector<DialogInfo> out;
  for (HWND h : TopLevelWindows(pid, false)) {
    if (ClassOf(h) == kDialogClass) out.push_back(Describe(h));
  }
  return out;
}

std::optional<DialogInfo> WaitForDialog(DWORD pid, DWORD timeoutMs, const char* title) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND h : TopLevelWindows(pid, true)) {
          if (ClassOf(h) == kDialogClass && (!title || Text(h) == title)) {
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
          if (ClassOf(h) == kDialogClass && ::GetDlgItem(h, kFileNameBox)) {
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
  HWND box = ::GetDlgItem(saveDialog, kFileNameBox);
  DWORD_PTR r = 0;
  std::wstring wide = Wide(path);
  ::SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()), SMTO_NORMAL, 3000, &r);
  PressDialogButton(saveDialog, IDOK);
}

}  // namespace e2e
