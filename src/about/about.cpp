#include "about/about.h"

#include <shellapi.h>

#include <algorithm>
#include <array>
#include <optional>

#include "about/about_rules.h"
#include "app/form1.h"
#include "control_ids.h"
#include "platform/app_path.h"
#include "platform/events.h"
#include "platform/handles.h"
#include "platform/lazy_library.h"
#include "platform/msgbox.h"
#include "platform/picture_box.h"
#include "platform/skin.h"
#include "platform/window.h"
#include "resource_ids.h"

namespace fw {
namespace {

static_assert(about::kKeyAccess == KEY_READ, "the tool's keys are opened for reading only");

constexpr const char* kAboutClass = ids::kAboutClass;

constexpr int kCmdOK = ids::kAboutOK;
static_assert(kCmdOK == IDOK);
constexpr int kCmdSysInfo = ids::kAboutSysInfo;
constexpr int kSkinLabel1 = ids::kAboutSkinLabel1;
constexpr int kSkinLabel2 = ids::kAboutSkinLabel2;
constexpr int kSkinLabel4 = ids::kAboutSkinLabel4;
constexpr int kPicture1 = ids::kAboutPicture1;
constexpr int kFrame1 = ids::kAboutFrame1;
constexpr int kLine1First = ids::kAboutLine1First;
constexpr int kLine1Second = ids::kAboutLine1Second;

// The window's layout in twips (15 to a pixel at 96 dots per inch).
constexpr long kClientWidth = 5730;
constexpr long kClientHeight = 2820;
constexpr Place kFrame1Place{105, 45, 5520, 2055};
constexpr Place kPicture1Place{240, 270, 1455, 1605};  // 97 x 107 pixels
constexpr long kTextLeft = 1950;
constexpr long kTextWidth = 3540;
constexpr Place kSkinLabel1Place{kTextLeft, 300, kTextWidth, 480};
constexpr Place kSkinLabel2Place{kTextLeft, 840, kTextWidth, 255};
constexpr Place kLine1FirstPlace{kTextLeft, 1230, kTextWidth, 30};
constexpr Place kSkinLabel4Place{kTextLeft, 1410, kTextWidth, 255};
constexpr Place kLine1SecondPlace{kTextLeft, 1800, kTextWidth, 30};
constexpr Place kCmdSysInfoPlace{2985, 2280, 1260, 375};
constexpr Place kCmdOKPlace{4365, 2280, 1260, 375};

HWND g_about = nullptr;
HWND g_lastFocus = nullptr;  // the control to give the focus back to

HWND Control(int id) {
  return g_about ? ::GetDlgItem(g_about, id) : nullptr;
}

void RestoreFocus() {
  HWND target =
      g_lastFocus && ::IsWindow(g_lastFocus) && ::IsChild(g_about, g_lastFocus) ? g_lastFocus : Control(kCmdOK);
  if (target) ::SetFocus(target);
}

LRESULT HandleAbout(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT skinResult = 0;
  if (skin::HandleMessage(hwnd, msg, wParam, lParam, skinResult)) return skinResult;
  switch (msg) {
    case WM_COMMAND: {
      int id = LOWORD(wParam);
      if (HIWORD(wParam) != BN_CLICKED) return 0;
      // Enter reaches the window as IDOK, Escape as IDCANCEL.
      if (id == kCmdOK || id == IDCANCEL) cmdOK_Click();
      if (id == kCmdSysInfo) cmdSysInfo_Click();
      return 0;
    }
    case DM_GETDEFID: {
      // "OK" is the default button, unless the focus is on the other one.
      HWND focus = ::GetFocus();
      int id = focus && focus == Control(kCmdSysInfo) ? kCmdSysInfo : kCmdOK;
      return MAKELRESULT(id, DC_HASDEFID);
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(hwnd, focus)) g_lastFocus = focus;
      } else {
        RestoreFocus();
      }
      return 0;
    case WM_CLOSE: cmdOK_Click(); return 0;
    case WM_DESTROY:
      g_about = nullptr;
      g_lastFocus = nullptr;
      FormUnloaded();
      return 0;
    default: break;
  }
  return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

// The Version Info window's procedure; nothing thrown leaves it.
LRESULT CALLBACK AboutProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  try {
    return HandleAbout(hwnd, msg, wParam, lParam);
  } catch (...) {
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

bool RegisterAboutClass(HINSTANCE instance) {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = AboutProc;
  wc.hInstance = instance;
  wc.hIcon = Form1().icon();
  wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = kAboutClass;
  registered = ::RegisterClassExA(&wc) != 0;
  return registered;
}

HWND AddLabel(HWND parent, int id, std::string_view text, const Place& place, FontKind font) {
  std::string s(text);
  HWND label = CreateControl("STATIC", s.c_str(), WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, parent, id, place);
  SetFont(label, font);
  return label;
}

HWND AddButton(HWND parent, int id, std::string_view text, const Place& place, DWORD type) {
  std::string s(text);
  HWND button = CreateControl("BUTTON", s.c_str(), WS_VISIBLE | WS_TABSTOP | type, 0, parent, id, place);
  SetFont(button, FontKind::SansSerif8);
  return button;
}

// Creates the window, hidden, with its controls.
HWND CreateAbout() {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  if (!RegisterAboutClass(instance)) return nullptr;
  std::string caption(about::kCaption);
  HWND hwnd = ::CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kAboutClass, caption.c_str(),
                                WS_POPUP | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT, 400, 300, nullptr,
                                nullptr, instance, nullptr);
  if (!hwnd) return nullptr;

  // Tab order follows creation: "&System Info...", then "OK".
  AddLabel(hwnd, kSkinLabel1, about::kProductName, kSkinLabel1Place, FontKind::Arial16Bold);
  AddLabel(hwnd, kSkinLabel2, about::kVersionText, kSkinLabel2Place, FontKind::SansSerif8);
  AddLabel(hwnd, kSkinLabel4, about::kDescription, kSkinLabel4Place, FontKind::SansSerif8);
  CreateControl("STATIC", "", WS_VISIBLE | SS_ETCHEDHORZ, 0, hwnd, kLine1First, kLine1FirstPlace);
  CreateControl("STATIC", "", WS_VISIBLE | SS_ETCHEDHORZ, 0, hwnd, kLine1Second, kLine1SecondPlace);

  HWND picture = CreatePictureBox(hwnd, kPicture1, kPicture1Place, skin::Background(hwnd));
  Picture camera = Picture::FromResource(IDR_CAMERA_PHOTO);
  SIZE size = camera.SizePixels();
  if (size.cx > 0 && size.cy > 0) {
    // Shown at its own size.
    ::SetWindowPos(picture, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  SetBoxPicture(picture, std::move(camera));

  AddButton(hwnd, kCmdSysInfo, about::kSysInfoCaption, kCmdSysInfoPlace, BS_PUSHBUTTON);
  AddButton(hwnd, kCmdOK, about::kOkCaption, kCmdOKPlace, BS_DEFPUSHBUTTON);

  // The frame lies behind the controls it surrounds. (The window does not
  // clip its children, so its background shows inside the frame too.)
  HWND frame = CreateControl("BUTTON", "", WS_VISIBLE | WS_CLIPSIBLINGS | BS_GROUPBOX, 0, hwnd, kFrame1, kFrame1Place);
  ::SetWindowPos(frame, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  SetClientSizeTwips(hwnd, kClientWidth, kClientHeight);
  CenterOnScreen(hwnd);
  return hwnd;
}

// frmAbout's load: the skin first.
void Form_Load(HWND hwnd) {
  skin::AttachSkin(hwnd);
}

void InstallDialogKeys() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  // Enter, Escape, Tab and the buttons' access keys, as in a dialog box.
  AddMessageFilter([](MSG& msg) {
    HWND about = g_about;
    if (!about || !msg.hwnd || (msg.hwnd != about && !::IsChild(about, msg.hwnd))) return false;
    return ::IsDialogMessageA(about, &msg) != FALSE;
  });
}

bool StartProgram(const std::string& path) {
  std::string commandLine = about::CommandLineFor(path);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    return false;
  }
  // Not waited for.
  UniqueKernelHandle process(pi.hProcess);
  UniqueKernelHandle thread(pi.hThread);
  return true;
}

}  // namespace

void he_Click() {
  std::string path = about::HelpPagePath(ProgramDir());
  // Whatever the shell makes of a missing page or a missing association is
  // the shell's; the program says nothing.
  ShellExecuteLazily(Form1().hwnd(), nullptr, path.c_str());
}

void version_Click() {
  if (!g_about) {
    HWND hwnd = CreateAbout();
    if (!hwnd) return;
    g_about = hwnd;
    FormLoaded();
    InstallDialogKeys();
    Form_Load(hwnd);
  }
  ::ShowWindow(g_about, SW_SHOW);
  ::SetForegroundWindow(g_about);
  ::SetActiveWindow(g_about);
  RestoreFocus();
}

HWND frmAbout() {
  return g_about;
}

void cmdOK_Click() {
  if (g_about) ::DestroyWindow(g_about);
}

void cmdSysInfo_Click() {
  StartSysInfo();
}

void StartSysInfo() {
  try {
    std::optional<std::string> toolPath;
    std::optional<std::string> toolDirectory;
    std::string value;
    if (GetKeyValue(HKEY_LOCAL_MACHINE, about::kSysInfoKey, about::kSysInfoValue, value)) {
      toolPath = value;
    } else if (GetKeyValue(HKEY_LOCAL_MACHINE, about::kSysInfoLocationKey, about::kSysInfoLocationValue, value)) {
      toolDirectory = value;
    }
    std::optional<std::string> path =
        about::SysInfoPath(toolPath, toolDirectory, [](const std::string& p) { return FileExists(p); });
    if (path && StartProgram(*path)) return;
  } catch (...) {
    // Every failure ends in the one message below.
  }
  ShowMessage(std::string(about::kSysInfoUnavailable), MB_OK);
}

bool GetKeyValue(HKEY root, const std::string& keyName, const std::string& valueName, std::string& value) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(root, keyName.c_str(), 0, static_cast<REGSAM>(about::kKeyAccess), &opened) != ERROR_SUCCESS) {
    value.clear();
    return false;
  }
  UniqueHKey key(opened);
  std::array<char, about::kValueBufferSize> buffer{};
  DWORD size = static_cast<DWORD>(buffer.size());
  DWORD type = 0;
  if (::RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
      ERROR_SUCCESS) {
    value.clear();
    return false;
  }
  std::string text = about::ValueBytesToText(buffer.data(), std::min<std::size_t>(size, buffer.size()));
  value = about::ValueForType(type, text, std::move(value));
  return true;
}

}  // namespace fw
