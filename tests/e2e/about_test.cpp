// The Help command and the Version Info window with its System Info button.
#include <olectl.h>
#include <gtest/gtest.h>

#include <cstring>

#include "../../resources/resource_ids.h"
#include "flows.h"
#include "harness.h"
#include "registry_override.h"

namespace e2e {
namespace {

constexpr const char* kUnavailable = "System Information Is Unavailable At This Time";
constexpr const char* kToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kToolLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

bool Gone(HWND window) {
  return WaitUntil([&] { return !::IsWindow(window); }, 5000);
}

std::vector<std::string> ChildTexts(HWND parent, const char* className) {
  std::vector<std::string> out;
  for (HWND c = ::GetWindow(parent, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
    if (lstrcmpiA(ClassOf(c).c_str(), className) == 0 && ::IsWindowVisible(c) && !Text(c).empty()) {
      out.push_back(Text(c));
    }
  }
  return out;
}

// The camera photograph as the program's resources hold it, decoded and
// drawn at its own size.
Image CameraPhoto() {
  Image img;
  std::string exe = BinDir() + "\\Framewick.exe";
  HMODULE module = ::LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return img;
  HRSRC info = ::FindResourceA(module, MAKEINTRESOURCEA(IDR_CAMERA_PHOTO), reinterpret_cast<LPCSTR>(RT_RCDATA));
  DWORD size = info ? ::SizeofResource(module, info) : 0;
  const void* data = info ? ::LockResource(::LoadResource(module, info)) : nullptr;
  HGLOBAL block = data ? ::GlobalAlloc(GMEM_MOVEABLE, size) : nullptr;
  if (block) {
    std::memcpy(::GlobalLock(block), data, size);
    ::GlobalUnlock(block);
  }
  ::FreeLibrary(module);
  IStream* stream = nullptr;
  if (!block || FAILED(::CreateStreamOnHGlobal(block, TRUE, &stream))) return img;
  IPicture* picture = nullptr;
  HRESULT hr =
      ::OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture, reinterpret_cast<void**>(&picture));
  stream->Release();
  if (FAILED(hr)) return img;
  OLE_XSIZE_HIMETRIC hmw = 0;
  OLE_YSIZE_HIMETRIC hmh = 0;
  picture->get_Width(&hmw);
  picture->get_Height(&hmh);
  HDC screen = ::GetDC(nullptr);
  int w = ::MulDiv(hmw, ::GetDeviceCaps(screen, LOGPIXELSX), 2540);
  int h = ::MulDiv(hmh, ::GetDeviceCaps(screen, LOGPIXELSY), 2540);
  HDC mem = ::CreateCompatibleDC(screen);
  HBITMAP bmp = ::CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = ::SelectObject(mem, bmp);
  picture->Render(mem, 0, 0, w, h, 0, hmh, hmw, -hmh, nullptr);
  ::SelectObject(mem, old);
  img = ImageFromBitmap(bmp, screen);
  ::DeleteObject(bmp);
  ::DeleteDC(mem);
  ::ReleaseDC(nullptr, screen);
  picture->Release();
  return img;
}

TEST(VersionInfo, OpensModelessWithItsFixedTextsAndTheCameraPhoto) {
  ::CoInitialize(nullptr);
  App app;
  HWND about = OpenVersionInfo(app);
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(Text(about), "Version Info");
  // Independent of the main window, which stays usable.
  EXPECT_EQ(::GetWindow(about, GW_OWNER), nullptr);
  EXPECT_TRUE(::IsWindowEnabled(app.main()));
  EXPECT_TRUE(app.Sync());

  std::vector<std::string> labels = ChildTexts(about, "Static");
  ASSERT_EQ(labels.size(), 3u);
  EXPECT_EQ(labels[0], "Framewick");
  EXPECT_EQ(labels[1], "Version 1.0");
  EXPECT_NE(labels[2].find("screen capture utility"), std::string::npos) << labels[2];
  std::vector<std::string> buttons = ChildTexts(about, "Button");
  EXPECT_EQ(buttons, (std::vector<std::string>{"&System Info...", "OK"}));
  HWND sysInfo = FindChildByText(about, "&System Info...", "Button");
  HWND ok = FindChildByText(about, "OK", "Button");
  ASSERT_TRUE(sysInfo && ok);
  RECT rs = ScreenRect(sysInfo), ro = ScreenRect(ok);
  EXPECT_LT(rs.right, ro.left);  // "OK" is rightmost, on the same row
  EXPECT_EQ(rs.top, ro.top);

  // The photograph, at its own size, pixel for pixel.
  HWND photo = nullptr;
  for (HWND c = ::GetWindow(about, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
    if (ClassOf(c) == kPictureBoxClass) photo = c;
  }
  ASSERT_NE(photo, nullptr);
  RECT pr = ScreenRect(photo);
  EXPECT_EQ(pr.right - pr.left, 97);
  EXPECT_EQ(pr.bottom - pr.top, 107);
  Image expected = CameraPhoto();
  ASSERT_EQ(expected.width, 97);
  ASSERT_EQ(expected.height, 107);
  ASSERT_TRUE(BringToFront(about));
  EXPECT_TRUE(WaitUntil([&] { return CountDifferences(GrabScreen(ScreenRect(photo)), expected) == 0; }, 3000));

  // At most one: choosing it again shows the same window.
  EXPECT_EQ(OpenVersionInfo(app), about);
  EXPECT_EQ(static_cast<int>(TopLevelWindows(app.pid(), true).size()), 2);

  ::PostMessageA(ok, BM_CLICK, 0, 0);
  EXPECT_TRUE(Gone(about));
  EXPECT_TRUE(app.running());
  HWND again = OpenVersionInfo(app);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(ChildTexts(again, "Static"), labels);
  ::CoUninitialize();
}

TEST(VersionInfo, EnterEscapeAndTheCloseBoxCloseIt) {
  App app;
  struct Way {
    const char* name;
    std::function<void(HWND)> close;
  } ways[] = {
      {"Enter", [](HWND) { SendKey(VK_RETURN); }},
      {"Escape", [](HWND) { SendKey(VK_ESCAPE); }},
      {"close box", [](HWND w) { CloseFromFrame(w); }},
  };
  for (const auto& way : ways) {
    HWND about = OpenVersionInfo(app);
    ASSERT_NE(about, nullptr) << way.name;
    ASSERT_TRUE(BringToFront(about)) << way.name;
    app.Sync();
    way.close(about);
    EXPECT_TRUE(Gone(about)) << way.name;
    EXPECT_TRUE(app.SettledDialogs().empty()) << way.name;
  }
  EXPECT_TRUE(app.running());
}

TEST(VersionInfo, KeepsTheProgramRunningAfterTheMainWindowCloses) {
  App app;
  HWND about = OpenVersionInfo(app);
  ASSERT_NE(about, nullptr);
  app.Click("Exit");
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(app.main()); }, 5000));
  EXPECT_TRUE(app.running());
  EXPECT_TRUE(::IsWindowVisible(about));
  ::PostMessageA(FindChildByText(about, "OK", "Button"), BM_CLICK, 0, 0);
  EXPECT_TRUE(app.WaitExit(5000));
  EXPECT_EQ(app.exitCode(), 0u);
}

// ---- System Info ----

// The two registry values, put back as they were after the test.
struct ToolValues {
  RegistryOverride path{HKEY_LOCAL_MACHINE, kToolKey, "PATH"};
  RegistryOverride location{HKEY_LOCAL_MACHINE, kToolLocationKey, "MSINFO"};
};

// A copy of the recording helper under `name` in `dir`.
std::string PlaceRecorder(const std::string& dir, const std::string& name) {
  ::CreateDirectoryA(dir.c_str(), nullptr);
  std::string path = dir + "\\" + name;
  EXPECT_TRUE(::CopyFileA((BinDir() + "\\start_recorder.exe").c_str(), path.c_str(), FALSE)) << path;
  return path;
}

bool WaitStarted(const std::string& exe, std::string* record = nullptr) {
  bool started = WaitUntil([&] { return FileExists(exe + ".started"); }, 5000);
  if (started && record) *record = ReadFileBytes(exe + ".started");
  return started;
}

void ClickSysInfo(HWND about) {
  ::PostMessageA(FindChildByText(about, "&System Info...", "Button"), BM_CLICK, 0, 0);
}

// Expects exactly one "unavailable" message, answers it, and checks that no
// second one follows and that the Version Info window stays open.
void ExpectUnavailableOnce(App& app, HWND about) {
  auto box = WaitForDialog(app.pid(), 5000);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, kUnavailable);
  EXPECT_EQ(box->title, "Framewick");
  EXPECT_EQ(box->icon, IconKind::None);
  EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
  EXPECT_EQ(OpenDialogs(app.pid()).size(), 1u);
  PressDialogButton(box->hwnd, IDOK);
  EXPECT_TRUE(WaitDialogGone(box->hwnd, 5000));
  EXPECT_TRUE(app.SettledDialogs().empty()) << "a second message";
  EXPECT_TRUE(::IsWindowVisible(about));
}

TEST(SystemInfo, StartsTheFirstValuesPathAsItIs) {
  ToolValues values;
  App app;
  // A path with spaces and parentheses; a tool in the second place as well,
  // which must not be the one started.
  std::string tool = PlaceRecorder(app.dir() + "\\Sys Info (probe)", "probe tool.exe");
  std::string other = PlaceRecorder(app.dir() + "\\second", "MSINFO32.EXE");
  ASSERT_TRUE(values.path.SetString(tool));
  ASSERT_TRUE(values.location.SetString(app.dir() + "\\second"));
  HWND about = OpenVersionInfo(app);
  ASSERT_NE(about, nullptr);
  ClickSysInfo(about);
  std::string record;
  ASSERT_TRUE(WaitStarted(tool, &record));
  EXPECT_NE(record.find("show=1\r\n"), std::string::npos) << record;  // normal, focused
  EXPECT_FALSE(FileExists(other + ".started"));
  EXPECT_TRUE(app.SettledDialogs().empty());

  // The path is started without looking for the file first: a missing one
  // fails to start, and says so.
  ASSERT_TRUE(values.path.SetString(app.dir() + "\\no such tool.exe"));
  ClickSysInfo(about);
  ExpectUnavailableOnce(app, about);
  EXPECT_FALSE(FileExists(other + ".started"));
}

TEST(SystemInfo, FallsBackToTheToolInTheSharedToolsDirectory) {
  ToolValues values;
  values.path.Remove();
  App app;
  std::string tool = PlaceRecorder(app.dir() + "\\Shared Tools", "MSINFO32.EXE");
  ASSERT_TRUE(values.location.SetString(app.dir() + "\\Shared Tools"));
  HWND about = OpenVersionInfo(app);
  ASSERT_NE(about, nullptr);
  ClickSysInfo(about);
  std::string record;
  ASSERT_TRUE(WaitStarted(tool, &record));
  EXPECT_NE(record.find("show=1\r\n"), std::string::npos) << record;
  EXPECT_TRUE(app.SettledDialogs().empty());

  // A directory without the tool does not count.
  ::CreateDirectoryA((app.dir() + "\\empty").c_str(), nullptr);
  ASSERT_TRUE(values.location.SetString(app.dir() + "\\empty"));
  ClickSysInfo(about);
  ExpectUnavailableOnce(app, about);
}

TEST(SystemInfo, WithNeitherValueSaysUnavailableOnce) {
  ToolValues values;
  values.path.Remove();
  values.location.Remove();
  App app;
  HWND about = OpenVersionInfo(app);
  ASSERT_NE(about, nullptr);
  ClickSysInfo(about);
  ExpectUnavailableOnce(app, about);
  // A value of another type than text does not name a tool either; this
  // time the button is pressed by its access key.
  ASSERT_TRUE(values.path.SetRaw(REG_DWORD, std::string("\x05\x01\x00\x00", 4)));
  ASSERT_TRUE(BringToFront(about));
  SendKey('S', false, true);
  ExpectUnavailableOnce(app, about);
}

// ---- Help ----

// Whether a recorder (PlaceRecorder) has been started: it is running, or it
// has left its record. A program starts another before the call that
// starts it returns, so after a barrier the program has passed this says
// whether it started one.
bool EverStarted(const std::string& recorder) {
  std::string name = recorder.substr(recorder.find_last_of('\\') + 1);
  return FileExists(recorder + ".started") || !ProcessesNamed(name.c_str()).empty();
}

// The handler of .htm files, for the test's duration.
struct HtmlHandler {
  RegistryOverride command{HKEY_LOCAL_MACHINE, "Software\\Classes\\htmlfile\\shell\\open\\command", ""};
  RegistryOverride type{HKEY_LOCAL_MACHINE, "Software\\Classes\\.htm", ""};
};

TEST(Help, OpensTheHelpPageBesideTheProgram) {
  HtmlHandler handler;
  App app;
  std::string viewer = PlaceRecorder(app.dir() + "\\viewer", "viewer.exe");
  ASSERT_TRUE(handler.type.SetString("htmlfile"));
  ASSERT_TRUE(handler.command.SetString("\"" + viewer + "\" \"%1\""));
  ASSERT_TRUE(::CopyFileA((BinDir() + "\\help.htm").c_str(), (app.dir() + "\\help.htm").c_str(), FALSE));
  app.Menu(kMenuHelp);
  std::string record;
  ASSERT_TRUE(WaitStarted(viewer, &record));
  EXPECT_NE(record.find(app.dir() + "\\help.htm"), std::string::npos) << record;
  EXPECT_TRUE(app.SettledDialogs().empty());
  EXPECT_TRUE(app.Sync());
}

TEST(Help, WithoutThePageOrItsAssociationTheProgramSaysNothing) {
  HtmlHandler handler;
  App app;
  std::string viewer = PlaceRecorder(app.dir() + "\\viewer", "viewer.exe");
  ASSERT_TRUE(handler.type.SetString("htmlfile"));
  ASSERT_TRUE(handler.command.SetString("\"" + viewer + "\" \"%1\""));

  // No help.htm beside the program: no message, and nothing is started.
  app.Menu(kMenuHelp);
  EXPECT_TRUE(app.SettledDialogs().empty());
  EXPECT_FALSE(EverStarted(viewer));

  // The page is there, but no program is associated with .htm files (as in
  // a fresh Wine prefix).
  handler.type.Remove();
  ASSERT_TRUE(::CopyFileA((BinDir() + "\\help.htm").c_str(), (app.dir() + "\\help.htm").c_str(), FALSE));
  app.Menu(kMenuHelp);
  EXPECT_TRUE(app.SettledDialogs().empty());
  EXPECT_FALSE(EverStarted(viewer));

  // Nothing hangs: the program still answers and exits normally.
  app.Click("Exit");
  EXPECT_TRUE(app.WaitExit(5000));
  EXPECT_EQ(app.exitCode(), 0u);
}

}  // namespace
}  // namespace e2e
