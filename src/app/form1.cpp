#include "app/form1.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "about/about.h"
#include "app/layout_rules.h"
#include "app/shared_state.h"
#include "capture/capture_commands.h"
#include "capture/hotkeys.h"
#include "image/mail.h"
#include "image/picture_commands.h"
#include "image/save.h"
#include "output/options_dialog.h"
#include "output/print.h"
#include "platform/events.h"
#include "platform/handles.h"
#include "platform/msgbox.h"
#include "platform/picture_box.h"
#include "platform/skin.h"
#include "platform/window.h"
#include "tray/tray.h"

namespace fw {
namespace {

constexpr const char* kForm1Class = ids::kMainClass;
constexpr int kIconResource = 1;
// Shortcut keys send their own command ids, so they act even though their
// menu ("Shortcuts") is unavailable.
constexpr int kShortcutOffset = 1000;
constexpr UINT_PTR kSamplePhotoTimer = 1;

MainWindow g_form1;
UniqueAccel g_shortcuts;
UniqueIcon g_bigIcon;
UniqueIcon g_smallIcon;
bool g_closing = false;
HWND g_lastFocus = nullptr;
std::vector<HWND> g_tabOrder;  // the strip's buttons, then Command13

HMENU BuildMenuBar(HMENU& fileMenu) {
  HMENU bar = ::CreateMenu();
  for (const auto& menu : layout::kMenuBar) {
    HMENU popup = ::CreatePopupMenu();
    for (int i = 0; i < menu.count; ++i) {
      const auto& item = menu.items[i];
      if (item.id == 0) {
        ::AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
        continue;
      }
      std::string text(item.caption);
      if (!item.shortcut.empty()) {
        text.push_back('\t');
        text.append(item.shortcut);
      }
      ::AppendMenuA(popup, MF_STRING | (item.enabled ? 0 : MF_GRAYED), static_cast<UINT_PTR>(item.id), text.c_str());
    }
    std::string caption(menu.caption);
    ::AppendMenuA(bar, MF_POPUP | (menu.enabled ? 0 : MF_GRAYED), reinterpret_cast<UINT_PTR>(popup), caption.c_str());
    if (menu.name == "file") fileMenu = popup;
  }
  return bar;
}

// Ctrl+S, Ctrl+W and Ctrl+A. The shortcuts of the two unavailable items
// (Ctrl+F, Ctrl+C) do not act, as a greyed item's shortcut never does.
HACCEL BuildShortcuts() {
  ACCEL keys[] = {
      {FCONTROL | FVIRTKEY, 'S', kMenuCaptureScreen + kShortcutOffset},
      {FCONTROL | FVIRTKEY, 'W', kMenuCaptureWindow + kShortcutOffset},
      {FCONTROL | FVIRTKEY, 'A', kMenuClearPicture + kShortcutOffset},
  };
  return ::CreateAcceleratorTableA(keys, static_cast<int>(std::size(keys)));
}

void OnCommand(int id) {
  if (id > kShortcutOffset) id -= kShortcutOffset;
  switch (id) {
    case layout::kCommand1: Command1_Click(); break;
    case layout::kCommand2: Command2_Click(); break;
    case layout::kCommand3: Command3_Click(); break;
    case layout::kCommand4: Command4_Click(); break;
    case layout::kCommand6: Command6_Click(); break;
    case layout::kCommand7: Command7_Click(); break;
    case layout::kCommand8: Command8_Click(); break;
    case layout::kCommand9: Command9_Click(); break;
    case layout::kCommand10: Command10_Click(); break;
    case layout::kCommand11: Command11_Click(); break;
    case layout::kCommand12: Command12_Click(); break;
    case layout::kCommand13: Command13_Click(); break;
    case kMenuNew: New_Click(); break;
    case kMenuExit: exity_Click(); break;
    case kMenuCaptureScreen: capensc_Click(); break;
    case kMenuCaptureForm: sdform_Click(); break;
    case kMenuCaptureClient: kjhkjh_Click(); break;
    case kMenuCaptureWindow: snap_Click(); break;
    case kMenuClearPicture: dfgd_Click(); break;
    case kMenuOptions: Options2_Click(); break;
    case kMenuHelp: he_Click(); break;
    case kMenuVersion: version_Click(); break;
    default: break;
  }
}

LRESULT HandleForm1(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  static const UINT barrier = ::RegisterWindowMessageA(ids::kBarrierMessage);
  if (msg == barrier && barrier != 0) {
    // Answered in queue order: everything posted before it has been handled.
    if (HWND asker = reinterpret_cast<HWND>(wParam); asker && ::IsWindow(asker)) {
      ::PostMessageA(asker, barrier, 0, lParam);
    }
    return 0;
  }
  LRESULT skinResult = 0;
  if (skin::HandleMessage(hwnd, msg, wParam, lParam, skinResult)) return skinResult;
  switch (msg) {
    case WM_COMMAND:
      // Buttons report BN_CLICKED, menus 0, shortcut keys 1.
      if (HIWORD(wParam) == BN_CLICKED || HIWORD(wParam) == 1) OnCommand(LOWORD(wParam));
      return 0;
    case WM_SIZE: Form_Resize(); return 0;
    case WM_TIMER:
      if (wParam == kSamplePhotoTimer) {
        ::KillTimer(hwnd, kSamplePhotoTimer);
        LoadSamplePhoto();
        return 0;
      }
      break;
    case WM_ACTIVATE:
      // Like a dialog, the window keeps the keyboard focus on a control
      // across deactivation: the last one, or the first button.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(hwnd, focus)) g_lastFocus = focus;
      } else if (!HIWORD(wParam)) {
        HWND target = g_lastFocus && ::IsWindow(g_lastFocus) ? g_lastFocus
                      : g_tabOrder.empty()                   ? nullptr
                                                             : g_tabOrder.front();
        if (target) ::SetFocus(target);
        return 0;
      }
      break;
    case WM_CLOSE:
      if (Form_Unload()) {
        g_closing = true;
        ::DestroyWindow(hwnd);
      }
      return 0;
    case WM_DESTROY: FormUnloaded(); return 0;
    default: break;
  }
  return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

// The main window's own procedure. Handlers never let an exception leave it.
LRESULT CALLBACK Form1Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  try {
    return HandleForm1(hwnd, msg, wParam, lParam);
  } catch (...) {
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

MainWindow& Form1() {
  return g_form1;
}

Picture MainWindow::GetPicture() const {
  return GetBoxPicture(picture1_);
}

void MainWindow::SetPicture(Picture picture) {
  SetBoxPicture(picture1_, std::move(picture));
}

void MainWindow::SetPictureFrom(Picture (*capture)()) {
  SetBoxPicture(picture1_, Picture());
  SetBoxPicture(picture1_, capture());
}

WindowState MainWindow::GetWindowState() const {
  return ::IsIconic(hwnd_) ? WindowState::Minimised : WindowState::Normal;
}

void MainWindow::SetWindowState(WindowState state) {
  if (state == GetWindowState()) return;
  ::ShowWindow(hwnd_, state == WindowState::Minimised ? SW_MINIMIZE : SW_RESTORE);
}

void MainWindow::Show() {
  if (!::IsWindowVisible(hwnd_)) ::ShowWindow(hwnd_, ::IsIconic(hwnd_) ? SW_SHOWMINIMIZED : SW_SHOW);
}

void MainWindow::Hide() {
  ::ShowWindow(hwnd_, SW_HIDE);
}

void MainWindow::Close() {
  if (hwnd_ && ::IsWindow(hwnd_)) ::SendMessageA(hwnd_, WM_CLOSE, 0, 0);
}

bool MainWindow::Create(HINSTANCE instance) {
  RegisterPictureControls(instance);

  g_bigIcon.reset(
      static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(kIconResource), IMAGE_ICON, 48, 48, LR_DEFAULTCOLOR)));
  g_smallIcon.reset(static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(kIconResource), IMAGE_ICON,
                                                    ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                                    LR_DEFAULTCOLOR)));
  icon_ = g_bigIcon.get();

  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = Form1Proc;
  wc.hInstance = instance;
  wc.hIcon = g_bigIcon.get();
  wc.hIconSm = g_smallIcon.get();
  wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = kForm1Class;
  if (!::RegisterClassExA(&wc)) return false;

  HMENU bar = BuildMenuBar(fileMenu_);
  hwnd_ = ::CreateWindowExA(WS_EX_APPWINDOW, kForm1Class, kAppTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                            CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, nullptr, bar, instance, nullptr);
  if (!hwnd_) {
    ::DestroyMenu(bar);
    return false;
  }
  skin::SetBackground(hwnd_, RGB(255, 255, 255));
  SetMessageOwner(hwnd_);

  picture2_ = CreatePictureBox(hwnd_, layout::kPicture2, layout::kPicture2Place, RGB(255, 255, 255));
  HWND tips = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0,
                                0, 0, hwnd_, nullptr, instance, nullptr);
  auto addTip = [tips](HWND control, std::string_view text) {
    std::string t(text);
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = ::GetParent(control);
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    ti.lpszText = t.data();
    ::SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
  };
  for (const auto& b : layout::kStripButtons) {
    std::string caption(b.caption);
    HWND button =
        CreateControl("BUTTON", caption.c_str(), WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, picture2_, b.id, b.place);
    SetFont(button, FontKind::Arial8);
    addTip(button, b.tip);
    g_tabOrder.push_back(button);
  }

  // The picture area; its size follows the window (Form_Resize).
  Place area{layout::kPicture1Left, layout::kPicture1Top, 0, 0};
  picture1_ = CreatePictureBox(hwnd_, layout::kPicture1, area, RGB(255, 255, 255));
  // The strip reaches one row of pixels into the picture area; it is cut
  // back to the picture area's top so no row of a picture is hidden, and
  // stays first in the tab order.
  {
    RECT strip{};
    ::GetClientRect(picture2_, &strip);
    ::SetWindowRgn(picture2_, ::CreateRectRgn(0, 0, strip.right, TwipsToPixelsY(layout::kPicture1Top)), FALSE);
  }
  command13_ = CreateControl("BUTTON", "Command13", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, picture1_,
                             layout::kCommand13, layout::kCommand13Place);
  SetFont(command13_, FontKind::SansSerif8);
  addTip(command13_, layout::kCommand13Tip);
  g_tabOrder.push_back(command13_);
  image1_ = CreateImageControl(picture1_, layout::kImage1, layout::kImage1Place);
  ::SetWindowPos(image1_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  g_shortcuts.reset(BuildShortcuts());
  AddMessageFilter([](MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    HWND main = g_form1.hwnd_;
    // Only while the main window is the active, visible window (not hidden in
    // the notification area with its popup just closed).
    if (!main || ::GetActiveWindow() != main || !::IsWindowVisible(main)) return false;
    if (::TranslateAcceleratorA(main, g_shortcuts.get(), &msg)) return true;
    // Tab and Shift+Tab move between the buttons, left to right.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && ::GetKeyState(VK_CONTROL) >= 0 && !g_tabOrder.empty()) {
      bool back = ::GetKeyState(VK_SHIFT) < 0;
      auto at = std::find(g_tabOrder.begin(), g_tabOrder.end(), ::GetFocus());
      std::size_t n = g_tabOrder.size();
      std::size_t i = at == g_tabOrder.end() ? (back ? 0 : n - 1) : static_cast<std::size_t>(at - g_tabOrder.begin());
      for (std::size_t step = 0; step < n; ++step) {
        i = back ? (i + n - 1) % n : (i + 1) % n;
        if (::IsWindowVisible(g_tabOrder[i]) && ::IsWindowEnabled(g_tabOrder[i])) {
          ::SetFocus(g_tabOrder[i]);
          break;
        }
      }
      return true;
    }
    return false;
  });

  SetClientSizeTwips(hwnd_, layout::kInitialClientWidth, layout::kInitialClientHeight);
  CenterOnScreen(hwnd_);
  FormLoaded();
  InitialisePictureArea();
  // Timers come after painting: the window shows first, then the photo.
  ::SetTimer(hwnd_, kSamplePhotoTimer, 1, nullptr);
  return true;
}

bool Form_Load() {
  MainWindow& form = Form1();
  AutoSaveExtension = ".jpg";
  skin::AttachSkin(form.hwnd());
  if (!InstallHotkeys(form.hwnd())) return false;
  CaptureDelaySeconds = 2;
  // The picture area works in pixels throughout.
  ImageSaved = true;
  return true;
}

void Form_Resize() {
  MainWindow& form = Form1();
  if (!form.picture1()) return;
  RECT outer{};
  ::GetWindowRect(form.hwnd(), &outer);
  long widthTwips = static_cast<long>(PixelsToTwipsX(outer.right - outer.left));
  long heightTwips = static_cast<long>(PixelsToTwipsY(outer.bottom - outer.top));
  layout::PictureAreaSize size = layout::ResizePictureArea(widthTwips, heightTwips, ::IsIconic(form.hwnd()) != FALSE);
  RECT cur{};
  ::GetWindowRect(form.picture1(), &cur);
  int w = cur.right - cur.left;
  int h = cur.bottom - cur.top;
  if (size.height) h = TwipsToPixelsY(*size.height);
  if (size.width) w = TwipsToPixelsX(*size.width);
  ::SetWindowPos(form.picture1(), nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Form_Unload() {
  if (g_closing) return true;
  if (!ExitMayContinue(PromptToSave())) return false;
  UnloadForm4();
  return true;
}

void exity_Click() {
  Form1().Close();
}

void Command12_Click() {
  Form1().Close();
}

}  // namespace fw
