#include "about/about.h"

#include <shellapi.h>

#include <algorithm>
#include <array>
#include <optional>

#include "about/about_rules.h"
#include "control_ids.h"
#include "platform/app_path.h"
#include "platform/handles.h"
#include "platform/lazy_library.h"
#include "platform/msgbox.h"
#include "platform/picture_box.h"
#include "platform/skin.h"
#include "platform/text.h"
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
// Everything but the photograph, which keeps its own size in pixels.
constexpr ControlPlace kPlaces[] = {
    {kFrame1, kFrame1Place},         {kSkinLabel1, kSkinLabel1Place}, {kSkinLabel2, kSkinLabel2Place},
    {kLine1First, kLine1FirstPlace}, {kSkinLabel4, kSkinLabel4Place}, {kLine1Second, kLine1SecondPlace},
    {kCmdSysInfo, kCmdSysInfoPlace}, {kCmdOK, kCmdOKPlace},
};

static_assert(about::kRegSz == REG_SZ && about::kRegDword == REG_DWORD);

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

bool StartProgram(const std::string& path) {
  std::wstring commandLine = Widen(about::CommandLineFor(path));  // written to by the call
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    return false;
  }
  // Not waited for.
  UniqueKernelHandle process(pi.hProcess);
  UniqueKernelHandle thread(pi.hThread);
  return true;
}

}  // namespace

// Creates the window, hidden, with its controls.
bool FrmAbout::CreateWindowAndControls(HICON icon) {
  std::string caption(about::kCaption);
  ClassSpec windowClass{.name = kAboutClass,
                        .background = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)),
                        .icon = icon};
  WindowSpec window{.exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT,
                    .title = caption.c_str(),
                    .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
                    .width = 400,
                    .height = 300,
                    .keepsProgramRunning = true};
  if (!Create(windowClass, window)) return false;
  HWND hwnd = this->hwnd();

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
  return true;
}

// frmAbout's load: the skin first.
void FrmAbout::Form_Load() {
  skin::AttachSkin(hwnd());
}

void FrmAbout::OnDpiChanged() {
  MoveToPlaces(hwnd(), kPlaces);
  ::SetWindowPos(::GetDlgItem(hwnd(), kPicture1), nullptr, units::TwipsToPixels(kPicture1Place.left, dpi()),
                 units::TwipsToPixels(kPicture1Place.top, dpi()), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FrmAbout::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  // Enter reaches the window as IDOK, Escape as IDCANCEL.
  if (id == kCmdOK || id == IDCANCEL) cmdOK_Click();
  if (id == kCmdSysInfo) cmdSysInfo_Click();
}

HWND FrmAbout::FirstFocus() const {
  return ::GetDlgItem(hwnd(), kCmdOK);
}

int FrmAbout::DefaultButtonId() const {
  // "OK" is the default button, unless the focus is on the other one.
  HWND focus = ::GetFocus();
  return focus && focus == ::GetDlgItem(hwnd(), kCmdSysInfo) ? kCmdSysInfo : kCmdOK;
}

void FrmAbout::Show(HICON icon) {
  if (!IsLoaded()) {
    if (!CreateWindowAndControls(icon)) return;
    Form_Load();
  }
  ::ShowWindow(hwnd(), SW_SHOW);
  ::SetForegroundWindow(hwnd());
  ::SetActiveWindow(hwnd());
  RestoreFocus();
}

void FrmAbout::cmdOK_Click() {
  Destroy();
}

void FrmAbout::cmdSysInfo_Click() {
  StartSysInfo();
}

void FrmAbout::StartSysInfo() {
  try {
    std::optional<std::string> toolPath;
    std::optional<std::string> toolDirectory;
    std::string value;
    // The values are read as ANSI text (GetKeyValue); the paths in them
    // are then taken into the program's UTF-8.
    if (GetKeyValue(HKEY_LOCAL_MACHINE, about::kSysInfoKey, about::kSysInfoValue, value)) {
      toolPath = FromAnsi(value);
    } else if (GetKeyValue(HKEY_LOCAL_MACHINE, about::kSysInfoLocationKey, about::kSysInfoLocationValue, value)) {
      toolDirectory = FromAnsi(value);
    }
    std::optional<std::string> path =
        about::SysInfoPath(toolPath, toolDirectory, [](const std::string& p) { return FileExists(p); });
    if (path && StartProgram(*path)) return;
  } catch (...) {
    // Every failure ends in the one message below.
  }
  ShowMessage(std::string(about::kSysInfoUnavailable), MB_OK);
}

bool FrmAbout::GetKeyValue(HKEY root, const std::string& keyName, const std::string& valueName, std::string& value) {
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

void he_Click(const MainWindow& form) {
  std::string path = about::HelpPagePath(ProgramDir());
  // Whatever the shell makes of a missing page or a missing association is
  // the shell's; the program says nothing.
  ShellExecuteLazily(form.hwnd(), nullptr, path.c_str());
}

void version_Click(FrmAbout& frmAbout, const MainWindow& form) {
  frmAbout.Show(form.icon());
}

}  // namespace fw
