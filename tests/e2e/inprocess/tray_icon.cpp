// Runs the "Tray" button in the program's own process, where its window
// procedure chain and notification record can be looked at, with pictures
// the user cannot put into the picture area (an icon picture: neither the
// clipboard nor any file the program reads gives one). Prints one line per
// check and exits with the number of failed checks.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "app/startup.h"
#include "capture/hotkeys.h"
#include "platform/events.h"
#include "platform/handles.h"
#include "platform/picture.h"
#include "tray/tray.h"

namespace {

int g_failed = 0;

void Check(bool ok, const char* what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
  std::fflush(stdout);
  if (!ok) ++g_failed;
}

// Waits for a condition while the program's own messages run.
template <typename Cond>
bool WaitFor(Cond cond, DWORD ms = 3000) {
  DWORD start = ::GetTickCount();
  while (!cond()) {
    if (::GetTickCount() - start > ms) return false;
    fw::DoEvents();
    ::Sleep(10);
  }
  return true;
}

BOOL CALLBACK CollectIcon(HWND h, LPARAM out) {
  char cls[64]{};
  ::GetClassNameA(h, cls, sizeof cls);
  if (std::strcmp(cls, "__winex11_tray_icon") == 0 || std::strcmp(cls, "__wine_tray_icon") == 0) {
    reinterpret_cast<std::vector<HWND>*>(out)->push_back(h);
  }
  return TRUE;
}

// The icons the shell's notification area shows: Wine 8's standalone tray
// window, or Wine 10's taskbar window (see tests/e2e/notification_area.h).
std::vector<HWND> TrayIcons() {
  std::vector<HWND> icons;
  HWND tray = ::FindWindowA("__winex11_standalone_tray", nullptr);
  if (!tray) tray = ::FindWindowA("Shell_TrayWnd", nullptr);
  if (tray) ::EnumChildWindows(tray, CollectIcon, reinterpret_cast<LPARAM>(&icons));
  return icons;
}

HWND NewIcon(const std::vector<HWND>& before) {
  for (HWND h : TrayIcons())
    if (std::find(before.begin(), before.end(), h) == before.end()) return h;
  return nullptr;
}

// The colour the notification area shows in the middle of an icon.
COLORREF CentreColour(HWND icon) {
  RECT r{};
  ::GetWindowRect(icon, &r);
  HDC screen = ::GetDC(nullptr);
  COLORREF c = ::GetPixel(screen, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ::ReleaseDC(nullptr, screen);
  return c;
}

// A solid, opaque icon.
fw::UniqueIcon SolidIcon(COLORREF colour) {
  constexpr int kSize = 32;
  HDC screen = ::GetDC(nullptr);
  fw::UniqueBitmap colourBits(::CreateCompatibleBitmap(screen, kSize, kSize));
  fw::UniqueMemDC mem(::CreateCompatibleDC(screen));
  ::ReleaseDC(nullptr, screen);
  {
    fw::SelectGuard select(mem.get(), colourBits.get());
    fw::UniqueBrush brush(::CreateSolidBrush(colour));
    RECT all{0, 0, kSize, kSize};
    ::FillRect(mem.get(), &all, brush.get());
  }
  std::vector<BYTE> zeros(kSize * kSize / 8, 0);
  fw::UniqueBitmap mask(::CreateBitmap(kSize, kSize, 1, 1, zeros.data()));  // all opaque
  ICONINFO info{TRUE, 0, 0, mask.get(), colourBits.get()};
  return fw::UniqueIcon(::CreateIconIndirect(&info));
}

fw::Picture SolidBitmapPicture(COLORREF colour) {
  HDC screen = ::GetDC(nullptr);
  fw::UniqueBitmap bmp(::CreateCompatibleBitmap(screen, 64, 64));
  fw::UniqueMemDC mem(::CreateCompatibleDC(screen));
  ::ReleaseDC(nullptr, screen);
  {
    fw::SelectGuard select(mem.get(), bmp.get());
    fw::UniqueBrush brush(::CreateSolidBrush(colour));
    RECT all{0, 0, 64, 64};
    ::FillRect(mem.get(), &all, brush.get());
  }
  return fw::Picture::FromBitmap(std::move(bmp), fw::UniquePalette());
}

// What an icon shows, pixel for pixel (drawn on black).
std::vector<COLORREF> IconPixels(HICON icon) {
  constexpr int kSize = 32;
  HDC screen = ::GetDC(nullptr);
  fw::UniqueBitmap canvas(::CreateCompatibleBitmap(screen, kSize, kSize));
  fw::UniqueMemDC mem(::CreateCompatibleDC(screen));
  ::ReleaseDC(nullptr, screen);
  if (!canvas || !mem || !icon) return {};
  fw::SelectGuard select(mem.get(), canvas.get());
  RECT all{0, 0, kSize, kSize};
  ::FillRect(mem.get(), &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  if (!::DrawIconEx(mem.get(), 0, 0, icon, kSize, kSize, 0, nullptr, DI_NORMAL)) return {};
  std::vector<COLORREF> pixels;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) pixels.push_back(::GetPixel(mem.get(), x, y));
  return pixels;
}

bool SameImage(HICON a, HICON b) {
  std::vector<DWORD> pa = IconPixels(a);
  return !pa.empty() && pa == IconPixels(b);
}

INPUT Key(WORD vk, bool up) {
  INPUT key{};
  key.type = INPUT_KEYBOARD;
  key.ki.wVk = vk;
  key.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return key;
}

// Ctrl+F12 typed, as the user types it.
void PressCtrlF12() {
  INPUT keys[] = {Key(VK_CONTROL, false), Key(VK_F12, false), Key(VK_F12, true), Key(VK_CONTROL, true)};
  ::SendInput(4, keys, sizeof(INPUT));
}

// The shell restarts: the dying one loses the program's icon (the icon of
// its window and id goes), the new one announces itself.
bool RestartShell(HWND hwnd) {
  std::vector<HWND> before = TrayIcons();
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = hwnd;
  data.uID = 0;
  if (!::Shell_NotifyIconA(NIM_DELETE, &data)) return false;
  if (!WaitFor([&] { return TrayIcons().size() + 1 == before.size(); })) return false;
  ::SendMessageA(hwnd, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  return true;
}

WNDPROC CurrentProc(HWND hwnd) {
  return reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
}

// The chain while the icon exists: TrayWndProc, HotkeyWndProc, the window's
// own procedure, each once.
bool ChainIsTrayHotkeyOwn(HWND hwnd) {
  return CurrentProc(hwnd) == fw::TrayWndProc && fw::PrevTrayWndProc == fw::HotkeyWndProc &&
         fw::PrevMainWndProc != fw::HotkeyWndProc && fw::PrevMainWndProc != fw::TrayWndProc &&
         fw::PrevMainWndProc != nullptr;
}

// The wide record's 64-unit tip field: the text, a NUL, then spaces.
bool TipFieldIs(const wchar_t* text) {
  wchar_t expected[64];
  std::wmemset(expected, L' ', 64);
  std::size_t n = std::wcslen(text);
  std::wmemcpy(expected, text, n);
  expected[n] = L'\0';
  return std::wmemcmp(fw::TrayIconData.szTip, expected, 64) == 0;
}

bool Visible(HWND hwnd) {
  return ::IsWindowVisible(hwnd) != FALSE;
}

// The checks, run once the program has started as it always does.
int RunChecks(fw::Program& program) {
  fw::Form1& form = program.form1;
  HWND hwnd = form.hwnd();
  fw::DoEvents();
  Check(CurrentProc(hwnd) == fw::HotkeyWndProc, "at start the hotkey procedure is the window's");

  // Another icon already holds the program's place: the add fails, and the
  // window stays where the user can reach it.
  NOTIFYICONDATAA squatter{};
  squatter.cbSize = NOTIFYICONDATAA_V1_SIZE;
  squatter.hWnd = hwnd;
  squatter.uFlags = NIF_ICON;
  squatter.hIcon = form.icon();
  Check(::Shell_NotifyIconA(NIM_ADD, &squatter) != FALSE, "a first icon for the window is added");
  fw::Command6_Click(form);
  fw::DoEvents();
  Check(Visible(hwnd), "when the shell refuses the icon the window stays visible");
  Check(ChainIsTrayHotkeyOwn(hwnd), "the tray procedure is installed even so");

  // Pressed again: the old icon goes, the new one comes, the window hides.
  fw::UniqueIcon red = SolidIcon(RGB(255, 0, 0));
  HICON redHandle = red.get();
  form.SetPicture(fw::Picture::FromIcon(std::move(red)));
  Check(form.GetPicture().Type() == fw::PictureType::Icon, "the picture area holds an icon picture");
  std::vector<HWND> before = TrayIcons();
  fw::Command6_Click(form);
  fw::DoEvents();
  Check(!Visible(hwnd), "Tray hides the window");
  Check(ChainIsTrayHotkeyOwn(hwnd), "one tray procedure in front of the hotkey procedure");
  Check(fw::TrayIconData.cbSize == NOTIFYICONDATAW_V1_SIZE && fw::TrayIconData.hWnd == hwnd &&
            fw::TrayIconData.uID == 0 && fw::TrayIconData.uCallbackMessage == WM_USER + 1001,
        "the record names the window, icon 0 and the callback message");
  Check(fw::TrayIconData.hIcon != redHandle && SameImage(fw::TrayIconData.hIcon, redHandle),
        "the record carries a copy of the icon picture");
  Check(TipFieldIs(L"Framewick"), "the tip field is Framewick, a NUL and spaces");
  HWND icon = nullptr;
  Check(WaitFor([&] { return (icon = NewIcon(before)) != nullptr; }), "the shell shows an icon");
  Check(TrayIcons().size() == before.size(), "exactly one icon (the first one went)");
  Check(icon && WaitFor([&] { return CentreColour(icon) == RGB(255, 0, 0); }),
        "the notification icon shows the icon picture");

  // Everything but the icon's releases goes down the chain.
  Check(::SendMessageA(hwnd, WM_HOTKEY, 99, 0) == 1, "WM_HOTKEY reaches the hotkey procedure");
  for (LPARAM mouse : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_LBUTTONDBLCLK})
    ::SendMessageA(hwnd, WM_USER + 1001, 0, mouse);
  fw::DoEvents();
  Check(!Visible(hwnd), "moves, presses and double clicks leave the window hidden");
  Check(::SendMessageA(hwnd, WM_USER + 1001, 0, WM_LBUTTONUP) == 0 && Visible(hwnd), "a left release shows it");
  Check(ChainIsTrayHotkeyOwn(hwnd), "showing leaves the chain as it was");

  // A bitmap picture: the icon is the window's own again.
  form.SetPicture(SolidBitmapPicture(RGB(255, 0, 0)));
  before = TrayIcons();
  fw::Command6_Click(form);
  fw::DoEvents();
  Check(!Visible(hwnd) && ChainIsTrayHotkeyOwn(hwnd), "Tray again: hidden, still one tray procedure");
  Check(SameImage(fw::TrayIconData.hIcon, form.icon()), "with a bitmap picture the record carries the window's icon");
  icon = nullptr;
  Check(WaitFor([&] { return (icon = NewIcon(before)) != nullptr; }) && TrayIcons().size() == before.size(),
        "still exactly one icon");
  Check(icon && WaitFor([&] { return CentreColour(icon) != RGB(255, 0, 0); }), "the icon is not the old picture");

  // An icon picture shown in the notification area, then cleared from the
  // picture area by Ctrl+F12: after a restart of the shell the icon comes
  // back showing that picture, from the record's own copy.
  fw::UniqueIcon green = SolidIcon(RGB(0, 160, 0));
  form.SetPicture(fw::Picture::FromIcon(std::move(green)));
  form.Show();
  before = TrayIcons();
  fw::Command6_Click(form);
  fw::DoEvents();
  icon = nullptr;
  Check(WaitFor([&] { return (icon = NewIcon(before)) != nullptr; }) &&
            WaitFor([&] { return CentreColour(icon) == RGB(0, 160, 0); }),
        "Tray shows the icon picture");
  PressCtrlF12();
  Check(WaitFor([&] { return !form.GetPicture().HasImage(); }), "Ctrl+F12 clears the picture area");
  Check(!Visible(hwnd), "the window stays in the notification area");
  std::vector<HWND> lost = TrayIcons();
  Check(RestartShell(hwnd), "the shell loses the icon and restarts");
  icon = nullptr;
  Check(WaitFor([&] { return (icon = NewIcon(lost)) != nullptr; }), "the icon comes back");
  Check(icon && WaitFor([&] { return CentreColour(icon) == RGB(0, 160, 0); }),
        "the icon that came back shows the picture that was cleared");
  Check(!Visible(hwnd), "and the window stays hidden");

  // Adding twice never puts the tray procedure in front of itself.
  Check(!fw::AddTrayIcon(form, form.fileMenu()), "a second add of the same icon is refused");
  Check(ChainIsTrayHotkeyOwn(hwnd), "and the chain keeps one tray procedure");
  before = TrayIcons();
  fw::RemoveTrayIcon();
  Check(CurrentProc(hwnd) == fw::HotkeyWndProc, "removal puts the hotkey procedure back");
  Check(WaitFor([&] { return TrayIcons().size() + 1 == before.size(); }), "removal deletes the icon");
  fw::RemoveTrayIcon();
  Check(CurrentProc(hwnd) == fw::HotkeyWndProc && ::SendMessageA(hwnd, WM_HOTKEY, 99, 0) == 1,
        "a second removal changes nothing");

  ::DestroyWindow(hwnd);
  std::printf("result %d failed\n", g_failed);
  return g_failed;
}

}  // namespace

int main() {
  bool started = false;
  fw::StartOptions options;
  options.run = [&](fw::Program& program) {
    started = true;
    return RunChecks(program);
  };
  int code = fw::RunProgram(::GetModuleHandleA(nullptr), options);
  return started ? code : 90;  // the program did not start
}
