#include "app/form1.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "app/layout_rules.h"
#include "app/main_menu.h"
#include "capture/hotkeys.h"
#include "image/picture_commands.h"
#include "image/save.h"
#include "platform/msgbox.h"
#include "platform/picture_box.h"
#include "platform/skin.h"
#include "platform/window.h"
#include "resource_ids.h"

namespace fw {
namespace {

constexpr UINT_PTR kSamplePhotoTimer = 1;

void AddTip(HWND tips, HWND control, std::string_view text) {
  std::string t(text);
  TOOLINFOA ti{};
  ti.cbSize = sizeof ti;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = ::GetParent(control);
  ti.uId = reinterpret_cast<UINT_PTR>(control);
  ti.lpszText = t.data();
  ::SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

UniqueIcon LoadIconSized(HINSTANCE instance, int width, int height) {
  return UniqueIcon(static_cast<HICON>(
      ::LoadImageA(instance, MAKEINTRESOURCEA(IDI_FRAMEWICK), IMAGE_ICON, width, height, LR_DEFAULTCOLOR)));
}

}  // namespace

// ---- the window and its controls ----

bool Form1::Create(HINSTANCE instance) {
  RegisterPictureControls(instance);
  if (!CreateFrame(instance)) return false;
  HWND tips = CreateTooltips(instance);
  CreateStrip(tips);
  CreatePictureArea(tips);
  shortcuts_ = BuildShortcuts();

  SetClientSizeTwips(hwnd(), layout::kInitialClientWidth, layout::kInitialClientHeight);
  CenterOnScreen(hwnd());
  InitialisePictureArea(*this);
  // Timers come after painting: the window shows first, then the photo.
  ::SetTimer(hwnd(), kSamplePhotoTimer, 1, nullptr);
  return true;
}

// The window itself, with its icons and menu bar; white, sizable, with a
// taskbar entry.
bool Form1::CreateFrame(HINSTANCE instance) {
  bigIcon_ = LoadIconSized(instance, 48, 48);
  smallIcon_ = LoadIconSized(instance, ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON));
  UniqueMenu bar = BuildMenuBar(fileMenu_);
  ClassSpec windowClass{.name = ids::kMainClass,
                        .background = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)),
                        .icon = bigIcon_.get(),
                        .smallIcon = smallIcon_.get()};
  WindowSpec window{.exStyle = WS_EX_APPWINDOW,
                    .title = kAppTitle,
                    .style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                    .width = 640,
                    .height = 480,
                    .menu = bar.get(),
                    .keepsProgramRunning = true};
  if (!TopWindow::Create(windowClass, window)) return false;
  bar.release();  // the window destroys its menu bar with itself
  skin::SetBackground(hwnd(), RGB(255, 255, 255));
  SetMessageOwner(hwnd());
  return true;
}

HWND Form1::CreateTooltips(HINSTANCE instance) {
  // Owned by the main window, which destroys it with itself.
  return ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0,
                           hwnd(), nullptr, instance, nullptr);
}

// The strip Picture2 with the eleven command buttons, left to right.
void Form1::CreateStrip(HWND tips) {
  picture2_ = CreatePictureBox(hwnd(), layout::kPicture2, layout::kPicture2Place, RGB(255, 255, 255));
  for (const auto& b : layout::kStripButtons) {
    std::string caption(b.caption);
    HWND button =
        CreateControl("BUTTON", caption.c_str(), WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, picture2_, b.id, b.place);
    SetFont(button, FontKind::Arial8);
    AddTip(tips, button, b.tip);
    tabOrder_.push_back(button);
  }
}

// The picture area Picture1, with Command13 and Image1 inside it. Its size
// follows the window (Form_Resize).
void Form1::CreatePictureArea(HWND tips) {
  Place area{layout::kPicture1Left, layout::kPicture1Top, 0, 0};
  picture1_ = CreatePictureBox(hwnd(), layout::kPicture1, area, RGB(255, 255, 255));
  CutStripToPictureArea();

  command13_ = CreateControl("BUTTON", "Command13", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, picture1_,
                             layout::kCommand13, layout::kCommand13Place);
  SetFont(command13_, FontKind::SansSerif8);
  AddTip(tips, command13_, layout::kCommand13Tip);
  tabOrder_.push_back(command13_);
  image1_ = CreateImageControl(picture1_, layout::kImage1, layout::kImage1Place);
  ::SetWindowPos(image1_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// The strip reaches one row of pixels into the picture area; it is cut back
// to the picture area's top so no row of a picture is hidden, and stays
// first in the tab order.
void Form1::CutStripToPictureArea() {
  RECT strip{};
  ::GetClientRect(picture2_, &strip);
  UniqueRgn region(::CreateRectRgn(0, 0, strip.right, units::TwipsToPixels(layout::kPicture1Top, dpi())));
  if (region && ::SetWindowRgn(picture2_, region.get(), TRUE)) region.release();  // the strip owns it now
}

// At a new DPI every control goes back to its place in twips. The picture
// area and what it holds (Image1, the picture) are pixels and keep their
// size: the resize rule sizes the area from the window's new rectangle.
void Form1::OnDpiChanged() {
  if (!picture2_ || !picture1_) return;
  MoveToPlace(picture2_, layout::kPicture2Place);
  for (const auto& b : layout::kStripButtons) MoveToPlace(::GetDlgItem(picture2_, b.id), b.place);
  CutStripToPictureArea();
  ::SetWindowPos(picture1_, nullptr, units::TwipsToPixels(layout::kPicture1Left, dpi()),
                 units::TwipsToPixels(layout::kPicture1Top, dpi()), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  MoveToPlace(command13_, layout::kCommand13Place);
  Form_Resize();
}

// ---- what the features may ask of the window ----

Picture Form1::GetPicture() const {
  return GetBoxPicture(picture1_);
}

void Form1::SetPicture(Picture picture) {
  SetBoxPicture(picture1_, std::move(picture));
}

WindowState Form1::GetWindowState() const {
  return ::IsIconic(hwnd()) ? WindowState::Minimised : WindowState::Normal;
}

void Form1::SetWindowState(WindowState state) {
  if (state == GetWindowState()) return;
  ::ShowWindow(hwnd(), state == WindowState::Minimised ? SW_MINIMIZE : SW_RESTORE);
}

void Form1::Show() {
  if (!::IsWindowVisible(hwnd())) ::ShowWindow(hwnd(), ::IsIconic(hwnd()) ? SW_SHOWMINIMIZED : SW_SHOW);
}

void Form1::Hide() {
  ::ShowWindow(hwnd(), SW_HIDE);
}

void Form1::Close() {
  if (hwnd() && ::IsWindow(hwnd())) ::SendMessageA(hwnd(), WM_CLOSE, 0, 0);
}

// ---- messages ----

void Form1::OnTimer(UINT_PTR id) {
  if (id != kSamplePhotoTimer) return;
  ::KillTimer(hwnd(), kSamplePhotoTimer);
  LoadSamplePhoto(*this);
}

void Form1::OnClose() {
  if (Form_Unload()) {
    closing_ = true;
    Destroy();
  }
}

// The barrier the tests use (control_ids.h): answered in queue order, so
// once the answer arrives everything posted before it has been handled.
bool Form1::OnOtherMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  static const UINT barrier = ::RegisterWindowMessageA(ids::kBarrierMessage);
  if (barrier == 0 || msg != barrier) return false;
  if (HWND asker = reinterpret_cast<HWND>(wParam); asker && ::IsWindow(asker)) {
    ::PostMessageA(asker, barrier, 0, lParam);
  }
  result = 0;
  return true;
}

HWND Form1::FirstFocus() const {
  return tabOrder_.empty() ? nullptr : tabOrder_.front();
}

bool Form1::PreTranslateMessage(MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  // Only while the main window is the active, visible window (not hidden in
  // the notification area with its popup just closed).
  HWND main = hwnd();
  if (!main || ::GetActiveWindow() != main || !::IsWindowVisible(main)) return false;
  if (::TranslateAcceleratorA(main, shortcuts_.get(), &msg)) return true;
  // Tab and Shift+Tab move between the buttons, left to right.
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && ::GetKeyState(VK_CONTROL) >= 0 && !tabOrder_.empty()) {
    MoveFocusAlongTabOrder(::GetKeyState(VK_SHIFT) < 0);
    return true;
  }
  return false;
}

void Form1::MoveFocusAlongTabOrder(bool back) {
  auto at = std::find(tabOrder_.begin(), tabOrder_.end(), ::GetFocus());
  std::size_t n = tabOrder_.size();
  std::size_t i = at == tabOrder_.end() ? (back ? 0 : n - 1) : static_cast<std::size_t>(at - tabOrder_.begin());
  for (std::size_t step = 0; step < n; ++step) {
    i = back ? (i + n - 1) % n : (i + 1) % n;
    if (::IsWindowVisible(tabOrder_[i]) && ::IsWindowEnabled(tabOrder_[i])) {
      ::SetFocus(tabOrder_[i]);
      return;
    }
  }
}

// ---- the handlers of this window ----

bool Form1::Form_Load() {
  state_.options.AutoSaveExtension = ".jpg";
  skin::AttachSkin(hwnd());
  if (!InstallHotkeys(capture_)) return false;
  state_.CaptureDelaySeconds = 2;
  // The picture area works in pixels throughout.
  state_.ImageSaved = true;
  return true;
}

void Form1::Form_Resize() {
  if (!picture1_) return;
  RECT outer{};
  ::GetWindowRect(hwnd(), &outer);
  long widthTwips = static_cast<long>(units::PixelsToTwips(outer.right - outer.left, dpi()));
  long heightTwips = static_cast<long>(units::PixelsToTwips(outer.bottom - outer.top, dpi()));
  layout::PictureAreaSize size = layout::ResizePictureArea(widthTwips, heightTwips, ::IsIconic(hwnd()) != FALSE);
  RECT cur{};
  ::GetWindowRect(picture1_, &cur);
  int w = cur.right - cur.left;
  int h = cur.bottom - cur.top;
  if (size.height) h = units::TwipsToPixels(*size.height, dpi());
  if (size.width) w = units::TwipsToPixels(*size.width, dpi());
  ::SetWindowPos(picture1_, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Form1::Form_Unload() {
  if (closing_) return true;
  if (!ExitMayContinue(PromptToSave(*this, state_))) return false;
  // A handler still waiting underneath (a capture's delay, Mail's search)
  // must not load the dialog again.
  form4_.UnloadForGood();
  return true;
}

void Form1::exity_Click() {
  Close();
}

void Form1::Command12_Click() {
  Close();
}

}  // namespace fw
