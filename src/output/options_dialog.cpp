#include "output/options_dialog.h"

#include <vector>

#include "control_ids.h"
#include "output/options_rules.h"
#include "output/settings_format.h"
#include "platform/app_path.h"
#include "platform/dpi_rules.h"
#include "platform/handles.h"
#include "platform/msgbox.h"
#include "platform/safe_file.h"
#include "platform/skin.h"
#include "platform/text.h"
#include "platform/window.h"

namespace fw {
namespace {

constexpr const char* kForm4Class = ids::kOptionsClass;
constexpr const char* kOwnerClass = ids::kOptionsOwnerClass;
constexpr const char* kForm4Title = "Options";

constexpr int kFrame1 = ids::kOptionsFrame1;
constexpr int kCheck1 = ids::kOptionsCheck1;
constexpr int kDir1 = ids::kOptionsDir1;
constexpr int kSkinLabel1 = ids::kOptionsSkinLabel1;
constexpr int kCombo1 = ids::kOptionsCombo1;
constexpr int kFrame2 = ids::kOptionsFrame2;
constexpr int kCheck2 = ids::kOptionsCheck2;
constexpr int kCommand1 = ids::kOptionsApply;

static_assert(options::kUnchecked == BST_UNCHECKED && options::kChecked == BST_CHECKED &&
              options::kDimmed == BST_INDETERMINATE);

// Places in twips inside the client area (4560 x 5400).
constexpr long kClientWidth = 4560;
constexpr long kClientHeight = 5400;
constexpr Place kFrame1Place{120, 60, 4320, 4020};
constexpr Place kCheck1Place{300, 330, 3960, 300};
constexpr Place kDir1Place{300, 720, 3960, 2640};
constexpr Place kSkinLabel1Place{300, 3555, 2040, 255};
constexpr Place kCombo1Place{2400, 3480, 1860, 1200};  // the height includes the drop-down list
constexpr Place kFrame2Place{120, 4140, 4320, 660};
constexpr Place kCheck2Place{300, 4410, 3960, 300};
constexpr Place kCommand1Place{3360, 4920, 1080, 375};
constexpr ControlPlace kPlaces[] = {
    {kFrame1, kFrame1Place}, {kCheck1, kCheck1Place}, {kDir1, kDir1Place},     {kSkinLabel1, kSkinLabel1Place},
    {kCombo1, kCombo1Place}, {kFrame2, kFrame2Place}, {kCheck2, kCheck2Place}, {kCommand1, kCommand1Place},
};

constexpr const char* kExtensions[] = {".jpg", ".bmp"};

// The settings file is one short line; nothing past this is read.
constexpr DWORD kMaxSettingsBytes = 64 * 1024;
// A directory with more subdirectories than this lists the first ones.
constexpr std::size_t kMaxListedSubdirectories = 5000;
// The directory list's drawing, in pixels at 100 % (scaled to the
// window's DPI): the indent of each level, the folder glyph and its flap.
constexpr int kIndentPixels = 10;
constexpr int kFolderWidth = 13;
constexpr int kTextGap = 4;

// The ANSI code page, for the settings file of an earlier version and for
// directories it can hold.
class SystemCodePage final : public settings::CodePage {
 public:
  std::optional<std::string> FromUtf8(std::string_view utf8) const override { return ToAnsi(utf8); }
  std::string ToUtf8(std::string_view text) const override { return FromAnsi(text); }
};
const SystemCodePage kAnsiCodePage;

std::vector<std::string> ListSubdirectories(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW fd{};
  UniqueFind find(::FindFirstFileW(Widen(options::ChildPath(dir, "*")).c_str(), &fd));
  if (!find) return names;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    if (fd.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
    std::wstring_view name(fd.cFileName);
    if (name == L"." || name == L"..") continue;
    names.push_back(Narrow(name));
  } while (names.size() < kMaxListedSubdirectories && ::FindNextFileW(find.get(), &fd));
  return names;
}

// The full, normal form of a directory path; empty when it has none.
std::string FullDirPath(const std::string& path) {
  if (path.empty() || path.find('\0') != std::string::npos) return {};
  std::wstring wide = Widen(path);
  std::wstring buf(MAX_PATH, L'\0');
  DWORD n = 0;
  for (int attempt = 0; attempt < 2; ++attempt) {
    n = ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(buf.size()), buf.data(), nullptr);
    if (n < buf.size()) break;
    buf.assign(n + 1, L'\0');
  }
  if (n == 0 || n >= buf.size()) return {};
  std::string full = options::NormaliseDir(Narrow(std::wstring_view(buf.data(), n)));
  return options::IsFullPath(full) ? full : std::string();
}

std::string CurrentProcessDir() {
  DWORD size = ::GetCurrentDirectoryW(0, nullptr);
  std::wstring buf(size, L'\0');
  DWORD n = size ? ::GetCurrentDirectoryW(size, buf.data()) : 0;
  if (n == 0 || n >= size) return ProgramDir();
  return options::NormaliseDir(Narrow(std::wstring_view(buf.data(), n)));
}

// The settings file's bytes, or nothing when it is absent (a hidden or
// system file counts as absent) or cannot be opened or read.
std::optional<std::string> ReadSettingsFile(const std::string& path) {
  std::wstring widePath = Widen(path);
  WIN32_FIND_DATAW fd{};
  UniqueFind find(::FindFirstFileW(widePath.c_str(), &fd));
  if (!find) return std::nullopt;
  constexpr DWORD kNotAFile = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
  if (fd.dwFileAttributes & kNotAFile) return std::nullopt;
  std::wstring wanted = Widen(settings::kFileName);
  if (lstrcmpiW(fd.cFileName, wanted.c_str()) != 0 && lstrcmpiW(fd.cAlternateFileName, wanted.c_str()) != 0) {
    return std::nullopt;
  }
  UniqueFile file(::CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::string bytes(kMaxSettingsBytes, '\0');
  DWORD total = 0;
  while (total < kMaxSettingsBytes) {
    DWORD got = 0;
    if (!::ReadFile(file.get(), bytes.data() + total, kMaxSettingsBytes - total, &got, nullptr)) return std::nullopt;
    if (got == 0) break;
    total += got;
  }
  bytes.resize(total);
  return bytes;
}

// What the settings file as it stands would bring back at the next load,
// over the states and directory that "Apply" could not write.
options::ComesBack WhatTheFileBringsBack(int check1, int check2, const std::string& dir) {
  std::optional<std::string> bytes = ReadSettingsFile(settings::SettingsPath(ProgramDir()));
  if (!bytes) return {};
  auto shownAs = [](const std::string& path) -> std::optional<std::string> {
    std::string full = FullDirPath(path);
    if (full.empty() || !DirectoryExists(full)) return std::nullopt;
    return full;
  };
  return options::WhatComesBack(options::WhatTheFileGives(settings::ReadSettingsFile(*bytes, kAnsiCodePage)), check1,
                                check2, dir, shownAs);
}

HBRUSH FolderBrush(bool open) {
  static UniqueBrush openBrush(::CreateSolidBrush(RGB(250, 214, 110)));
  static UniqueBrush closedBrush(::CreateSolidBrush(RGB(236, 196, 90)));
  return open ? openBrush.get() : closedBrush.get();
}

// The directory list's item height at a DPI: a line of its font, at
// least 16 pixels at 100 %.
int ListItemHeight(int dpi) {
  WindowDC screen(nullptr, WindowDC::Area::Client);
  TEXTMETRICA tm{};
  SelectGuard sel(screen.get(), UiFont(FontKind::SansSerif8, dpi));
  int least = dpi::Scale(16, dpi);
  int h = ::GetTextMetricsA(screen.get(), &tm) ? tm.tmHeight + dpi::Scale(3, dpi) : least;
  return h < least ? least : h;
}

// Form4 has no taskbar entry and stays up while the main window is
// minimised: it is owned by a hidden window of its own.
HWND HiddenOwner() {
  static UniqueWindow owner = [] {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = kOwnerClass;
    ::RegisterClassExA(&wc);
    return UniqueWindow(
        ::CreateWindowExA(0, kOwnerClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr));
  }();
  return owner.get();
}

}  // namespace

bool Form4::CreateWindowAndControls() {
  // A fixed frame without minimise and maximise buttons, no taskbar entry.
  ClassSpec windowClass{.name = kForm4Class,
                        .background = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1))};
  WindowSpec window{.exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT,
                    .title = kForm4Title,
                    .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                    .width = 320,
                    .height = 400,
                    .owner = HiddenOwner()};
  if (!Create(windowClass, window)) return false;
  HWND h = hwnd();

  auto make = [&](const char* cls, const char* text, DWORD style, DWORD ex, int id, const Place& place) {
    HWND c = CreateControl(cls, text, style | WS_VISIBLE, ex, h, id, place);
    SetFont(c, FontKind::SansSerif8);
    return c;
  };
  make("BUTTON", "Autosave Options", BS_GROUPBOX | WS_GROUP, 0, kFrame1, kFrame1Place);
  check1_ = make("BUTTON", "Auto save to file", BS_3STATE | WS_TABSTOP | WS_GROUP, 0, kCheck1, kCheck1Place);
  dir1_ =
      make("LISTBOX", "",
           WS_TABSTOP | WS_GROUP | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT,
           WS_EX_CLIENTEDGE, kDir1, kDir1Place);
  make("STATIC", "Choose a file extension", SS_LEFT, 0, kSkinLabel1, kSkinLabel1Place);
  combo1_ = make("COMBOBOX", "", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_TABSTOP | WS_GROUP | WS_VSCROLL, 0, kCombo1,
                 kCombo1Place);
  make("BUTTON", "Other Options", BS_GROUPBOX | WS_GROUP, 0, kFrame2, kFrame2Place);
  check2_ = make("BUTTON", "Show program after each snap", BS_3STATE | WS_TABSTOP | WS_GROUP, 0, kCheck2, kCheck2Place);
  make("BUTTON", "Apply", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 0, kCommand1, kCommand1Place);

  // Initial contents: both boxes unchecked, the process's current
  // directory, ".jpg" with its list.
  for (const char* ext : kExtensions) ::SendMessageA(combo1_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ext));
  SetExtensionText(kExtensions[0]);
  dir_ = CurrentProcessDir();
  ShowDir();

  SetClientSizeTwips(h, kClientWidth, kClientHeight);
  CenterOnScreen(h);
  return true;
}

void Form4::Forget() {
  check1_ = check2_ = dir1_ = combo1_ = nullptr;
  dir_.clear();
  entries_.clear();
}

void Form4::Load() {
  if (IsLoaded() || retired_) return;
  if (!CreateWindowAndControls()) {
    Unload();
    return;
  }
  // The dialog's Form_Load.
  options::RunLoadSteps(*this, memory_, ReadSettingsFile(settings::SettingsPath(ProgramDir())), kAnsiCodePage,
                        ProgramDir());
}

void Form4::Show() {
  Load();
  HWND h = hwnd();
  if (!h) return;
  if (!::IsWindowVisible(h)) ::ShowWindow(h, SW_SHOW);
  ::SetForegroundWindow(h);
  HWND focus = ::GetFocus();
  if (!focus || (focus != h && !::IsChild(h, focus))) RestoreFocus();
}

void Form4::Unload() {
  Forget();
  Destroy();
}

void Form4::UnloadForGood() {
  retired_ = true;
  Unload();
}

void Form4::AttachSkin() {
  skin::AttachSkin(hwnd());
}

int Form4::CheckState(HWND box) {
  return box ? static_cast<int>(::SendMessageA(box, BM_GETCHECK, 0, 0)) : options::kUnchecked;
}

void Form4::SetCheckState(HWND box, int state, void (Form4::*handler)()) {
  if (!box || CheckState(box) == state) return;
  ::SendMessageA(box, BM_SETCHECK, static_cast<WPARAM>(state), 0);
  (this->*handler)();
}

bool Form4::SetDir(const std::string& path) {
  if (!IsLoaded()) return false;
  std::string full = FullDirPath(path);
  if (full.empty() || !DirectoryExists(full)) return false;
  if (options::SamePath(full, dir_)) return true;
  dir_ = full;
  ShowDir();
  Dir1_Change();
  return true;
}

void Form4::ShowDir() {
  entries_ = options::DirListEntries(dir_, ListSubdirectories(dir_));
  ::SendMessageA(dir1_, WM_SETREDRAW, FALSE, 0);
  ::SendMessageA(dir1_, LB_RESETCONTENT, 0, 0);
  // The lines keep their text in UTF-16 too, for the list's own searching
  // and for assistive tools; they are drawn from entries_.
  for (const auto& e : entries_) {
    ::SendMessageW(dir1_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(e.text).c_str()));
  }
  ::SendMessageA(dir1_, LB_SETCURSEL, options::CurrentEntryIndex(entries_), 0);
  ::SendMessageA(dir1_, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(dir1_, nullptr, TRUE);
  // The list's window text is its current directory, for assistive tools.
  ::SetWindowTextW(dir1_, Widen(dir_).c_str());
}

void Form4::OpenSelectedEntry() {
  LRESULT index = ::SendMessageA(dir1_, LB_GETCURSEL, 0, 0);
  if (index < 0 || static_cast<std::size_t>(index) >= entries_.size()) return;
  std::string path = entries_[static_cast<std::size_t>(index)].path;
  // A directory removed since the list was filled cannot be opened; the
  // list is brought up to date instead.
  if (!SetDir(path)) ShowDir();
}

void Form4::SetExtensionText(const std::string& text) {
  // The list's selection follows the text, so the arrow keys move on from
  // it. Neither way runs Combo1_Click.
  LRESULT index = ::SendMessageW(combo1_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(Widen(text).c_str()));
  std::string item = index >= 0 ? ComboItemText(combo1_, index) : std::string();
  if (index >= 0 && item == text) {
    ::SendMessageA(combo1_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  } else {
    ::SendMessageA(combo1_, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    ::SetWindowTextW(combo1_, Widen(text).c_str());
  }
}

std::string Form4::ComboText() const {
  return combo1_ ? WindowText(combo1_) : std::string();
}

std::string Form4::ChosenItemText() const {
  LRESULT index = ::SendMessageA(combo1_, CB_GETCURSEL, 0, 0);
  if (index < 0 || ::SendMessageA(combo1_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0) < 0) return ComboText();
  return ComboItemText(combo1_, index);
}

void Form4::OnCommand(int id, int code) {
  switch (id) {
    case kCheck1:
      if (code == BN_CLICKED) SetCheck1(options::ClickedState(Check1()));
      break;
    case kCheck2:
      if (code == BN_CLICKED) SetCheck2(options::ClickedState(Check2()));
      break;
    case kCombo1:
      if (code == CBN_SELCHANGE) Combo1_Click();
      break;
    case kDir1:
      if (code == LBN_DBLCLK) OpenSelectedEntry();
      break;
    case kCommand1:
      if (code == BN_CLICKED) Command1_Click();
      break;
    case IDCANCEL: Unload(); break;  // Escape: closed as from the frame
    default: break;
  }
}

bool Form4::OnMeasureItem(MEASUREITEMSTRUCT& mi) {
  if (mi.CtlID != kDir1) return false;
  mi.itemHeight = static_cast<UINT>(ListItemHeight(dpi()));
  return true;
}

void Form4::OnDpiChanged() {
  MoveToPlaces(hwnd(), kPlaces);
  if (dir1_) ::SendMessageA(dir1_, LB_SETITEMHEIGHT, 0, MAKELPARAM(ListItemHeight(dpi()), 0));
}

bool Form4::OnDrawItem(const DRAWITEMSTRUCT& di) {
  if (di.CtlID != kDir1) return false;
  HDC dc = di.hDC;
  RECT r = di.rcItem;
  bool selected = (di.itemState & ODS_SELECTED) != 0;
  ::FillRect(dc, &r, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (di.itemID < entries_.size()) {
    const options::DirEntry& e = entries_[di.itemID];
    auto px = [this](int pixelsAt96) { return dpi::Scale(pixelsAt96, dpi()); };
    int x = r.left + px(2) + e.depth * px(kIndentPixels);
    int midY = (r.top + r.bottom) / 2;
    RECT folder{x, midY - px(4), x + px(kFolderWidth), midY + px(5)};
    ::FillRect(dc, &folder, FolderBrush(e.open));
    ::FrameRect(dc, &folder, static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)));
    if (e.open) {
      RECT flap{x, midY - px(6), x + px(6), midY - px(3)};
      ::FillRect(dc, &flap, FolderBrush(true));
      ::FrameRect(dc, &flap, static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)));
    }
    SelectGuard font(dc, UiFont(FontKind::SansSerif8, dpi()));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT text = r;
    text.left = x + px(kFolderWidth + kTextGap);
    std::wstring line = Widen(e.text);
    ::DrawTextW(dc, line.c_str(), static_cast<int>(line.size()), &text,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  if (di.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &r);
  return true;
}

int Form4::DefaultButtonId() const {
  return kCommand1;  // Enter presses "Apply"
}

bool Form4::PreTranslateMessage(MSG& msg) {
  if (!::IsWindowVisible(hwnd())) return false;
  // Enter in the directory list opens the selected directory.
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && msg.hwnd == dir1_) {
    OpenSelectedEntry();
    return true;
  }
  // Tab, Shift+Tab, the arrows between groups, Enter ("Apply") and Escape
  // (close).
  return TopWindow::PreTranslateMessage(msg);
}

void Form4::Check1_Click() {
  options::Check1Changed(memory_, Check1());
}

void Form4::Check2_Click() {
  options::Check2Changed(memory_, Check2());
}

void Form4::Combo1_Click() {
  options::ExtensionChosen(memory_, ChosenItemText());
}

void Form4::Dir1_Change() {
  options::DirChanged(memory_, Dir());
}

// "Apply": writes the settings file, then closes the dialog. When the file
// cannot be written the user is told why and the dialog stays open.
void Form4::Command1_Click() {
  std::string path = settings::SettingsPath(ProgramDir());
  std::string bytes = settings::SettingsFileBytes(Check1(), Check2(), Dir(), kAnsiCodePage);
  FileWriteResult written = WriteWholeFile(path, bytes);
  if (!written.ok) {
    options::ComesBack back = WhatTheFileBringsBack(Check1(), Check2(), Dir());
    ShowMessage(options::ApplyFailureText(path, ErrorText(written.error), back), MB_ICONEXCLAMATION | MB_OK);
    return;
  }
  Unload();
}

int Form4::Check1State() {
  Load();
  return Check1();
}

int Form4::Check2State() {
  Load();
  return Check2();
}

std::string Form4::Dir1Path() {
  Load();
  return Dir();
}

std::string Form4::Combo1Text() {
  Load();
  return ComboText();
}

void Options2_Click(Form4& form4) {
  form4.Show();
}

}  // namespace fw
