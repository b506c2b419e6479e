// Mail through Simple MAPI: with a stand-in mail program registered as the
// default (mapi_standin.dll, see tests/e2e/mapi/), "Mail" hands it the last
// saved file as the one attachment of a new message; the program keeps
// answering while the message window is open; the user cancelling says
// nothing, a failure says why; a mail program that does not take the call
// leaves it to the "mailto:" hand-off.
//
// Wine's mapi32 reads the registration once, when the library is loaded
// (the program's first Mail): HKLM\Software\Clients\Mail's default value
// names the mail program, whose key's DLLPath names the library it loads
// and hands MAPISendMail and MAPISendMailW calls to. Each test starts a
// program of its own after registering.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "flows.h"
#include "harness.h"
#include "harness_files.h"
#include "harness_formats.h"
#include "harness_session.h"
#include "registry_override.h"

namespace e2e {
namespace {

constexpr const char* kClientsMail = "Software\\Clients\\Mail";
constexpr const char* kStandInName = "Framewick Test Mail";
constexpr const char* kStandInKey = "Software\\Clients\\Mail\\Framewick Test Mail";
constexpr const char* kStandInWindowClass = "FwMapiStandIn";
constexpr const char* kCouldNotTake = "The mail program could not take the file: ";

// Simple MAPI's answers and flags (mapi.h, Microsoft Learn: MAPISendMail).
constexpr DWORD kUserAbort = 1;
constexpr DWORD kFailure = 2;
constexpr DWORD kAttachmentNotFound = 11;
constexpr DWORD kNotSupported = 26;
constexpr const char* kDialogAndLogonUi = "flags 9";  // MAPI_DIALOG (8) | MAPI_LOGON_UI (1)

std::string Dword(DWORD n) {
  return std::string(reinterpret_cast<const char*>(&n), sizeof n);
}

// The stand-in registered as the default mail program for the test's
// duration; its message window shows (and the call waits) until the test
// closes it, unless told to answer at once.
class MapiMailProgram {
 public:
  struct Behaviour {
    bool window = true;  // show a message window, answer once it is closed
    DWORD result = 0;    // what the call answers
  };
  MapiMailProgram(const std::string& dir, Behaviour behaviour) : log_(dir + "\\mapi.log") {
    EXPECT_TRUE(dllPath_.SetString(BinDir() + "\\mapi_standin.dll"));
    EXPECT_TRUE(logValue_.SetString(log_));
    EXPECT_TRUE(window_.SetRaw(REG_DWORD, Dword(behaviour.window ? 1 : 0)));
    EXPECT_TRUE(result_.SetRaw(REG_DWORD, Dword(behaviour.result)));
    EXPECT_TRUE(chosen_.SetString(kStandInName));
  }
  ~MapiMailProgram() {
    for (HWND w : Windows()) ::PostMessageA(w, WM_CLOSE, 0, 0);
    WaitUntil([&] { return Windows().empty(); }, 5000);
  }
  MapiMailProgram(const MapiMailProgram&) = delete;
  MapiMailProgram& operator=(const MapiMailProgram&) = delete;

  std::vector<std::string> Record() const { return Lines(ReadFileBytes(log_)); }
  bool WaitFor(const std::string& line, DWORD ms = 10000) const {
    return WaitUntil([&] { return Has(line); }, ms, 20);
  }
  bool Has(const std::string& line) const {
    auto record = Record();
    return std::find(record.begin(), record.end(), line) != record.end();
  }
  long Count(const std::string& line) const {
    auto record = Record();
    return static_cast<long>(std::count(record.begin(), record.end(), line));
  }
  // What the message was made of: the record's lines from the call to the
  // attachments, less the call's session and window parameters.
  std::vector<std::string> Message() const {
    std::vector<std::string> out;
    for (const auto& line : Record()) {
      if (line.rfind("session ", 0) == 0 || line.rfind("uiparam ", 0) == 0 || line.rfind("reserved ", 0) == 0 ||
          line.rfind("window ", 0) == 0 || line.rfind("result ", 0) == 0) {
        continue;
      }
      out.push_back(line);
    }
    return out;
  }
  static std::vector<HWND> Windows() {
    std::vector<HWND> out;
    for (HWND h = ::FindWindowExA(nullptr, nullptr, kStandInWindowClass, nullptr); h;
         h = ::FindWindowExA(nullptr, h, kStandInWindowClass, nullptr)) {
      out.push_back(h);
    }
    return out;
  }
  // The user closes the message window (sent, or closed without sending:
  // the stand-in answers as told either way).
  bool CloseMessageWindow() const {
    auto windows = Windows();
    if (windows.size() != 1) return false;
    ::PostMessageA(windows[0], WM_CLOSE, 0, 0);
    return WaitFor("window closed");
  }

 private:
  std::string log_;
  RegistryOverride dllPath_{HKEY_LOCAL_MACHINE, kStandInKey, "DLLPath"};
  RegistryOverride logValue_{HKEY_LOCAL_MACHINE, kStandInKey, "Log"};
  RegistryOverride window_{HKEY_LOCAL_MACHINE, kStandInKey, "Window"};
  RegistryOverride result_{HKEY_LOCAL_MACHINE, kStandInKey, "Result"};
  RegistryOverride chosen_{HKEY_LOCAL_MACHINE, kClientsMail, ""};
};

// The stand-in of the keystroke hand-off (mail_standin.exe) as the mailto:
// handler, recording whether it was ever started.
class MailtoHandler {
 public:
  explicit MailtoHandler(const std::string& dir) : log_(dir + "\\mailto.log") {
    std::string exe = dir + "\\mail_standin.exe";
    EXPECT_TRUE(::CopyFileA((BinDir() + "\\mail_standin.exe").c_str(), exe.c_str(), FALSE));
    EXPECT_TRUE(command_.SetString("\"" + exe + "\" \"" + log_ + "\" subject \"%1\""));
  }
  ~MailtoHandler() {
    for (HWND h = ::FindWindowA("FwMailStandIn", nullptr); h; h = ::FindWindowA("FwMailStandIn", nullptr)) {
      ::PostMessageA(h, WM_CLOSE, 0, 0);
      if (!WaitUntil([&] { return !::IsWindow(h); }, 5000)) break;
    }
  }
  MailtoHandler(const MailtoHandler&) = delete;
  MailtoHandler& operator=(const MailtoHandler&) = delete;
  std::vector<std::string> Log() const { return Lines(ReadFileBytes(log_)); }

 private:
  std::string log_;
  RegistryOverride command_{HKEY_LOCAL_MACHINE, "Software\\Classes\\mailto\\shell\\open\\command", ""};
};

bool SaveAs(App& app, const std::string& path) {
  app.Click("Save");
  HWND dlg = WaitForSaveDialog(app.pid(), 5000);
  if (!dlg) return false;
  ChooseFileName(dlg, path);
  bool saved = WaitUntil([&] { return FileExists(path); }, 5000);
  app.Sync();
  return saved;
}

// A capture of the screen (Ctrl+S), saved as `path`.
bool CaptureAndSave(App& app, const std::string& path) {
  app.Shortcut('S');
  if (!app.InputHandled()) return false;
  return SaveAs(app, path);
}

std::string NameOf(const std::string& path) {
  return path.substr(path.find_last_of('\\') + 1);
}

// The message the mail program is handed for `path`: the file as its one
// attachment under its own name, nothing else, shown for the user to send.
std::vector<std::string> OneAttachmentMessage(const std::string& path) {
  return {"call MAPISendMailW", kDialogAndLogonUi,      "subject (none)",     "body (none)",
          "type (none)",        "originator (none)",    "recipients 0",       "files 1",
          "file " + path,       "name " + NameOf(path), "position 4294967295"};  // (ULONG)-1: no place of its own in
                                                                                 // the body
}

// Mails the saved file `path` and checks what the mail program was handed
// while its message window is open (the main window disabled meanwhile),
// then closes it: the program says nothing and never started the
// keystroke hand-off.
void MailsWholeThroughSimpleMapi(App& app, const std::string& path) {
  MapiMailProgram mail(app.dir(), {});
  MailtoHandler mailto(app.dir());
  app.Click("Mail");
  ASSERT_TRUE(mail.WaitFor("window shown")) << ::testing::PrintToString(mail.Record());
  EXPECT_EQ(mail.Message(), OneAttachmentMessage(path));
  EXPECT_TRUE(app.Sync());
  EXPECT_FALSE(::IsWindowEnabled(app.main())) << "the main window takes input beside the message window";
  ASSERT_TRUE(mail.CloseMessageWindow());
  ASSERT_TRUE(mail.WaitFor("result 0"));
  EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(app.main()) != FALSE; }, 5000));
  EXPECT_TRUE(app.SettledDialogs().empty());
  EXPECT_TRUE(mailto.Log().empty()) << "the keystroke hand-off ran as well";
}

TEST(MapiMail, HandsTheLastSavedFileOverAsTheMessagesOneAttachment) {
  App app;
  std::string first = app.dir() + "\\first shot.bmp";
  std::string second = app.dir() + "\\second shot.bmp";
  ASSERT_TRUE(CaptureAndSave(app, first));
  ASSERT_TRUE(SaveAs(app, second));
  MailsWholeThroughSimpleMapi(app, second);
}

TEST(MapiMail, APathWithAmpersandPercentHashAndSpacesArrivesWhole) {
  App app;
  std::string dir = app.dir() + "\\mail (test) dir";
  ASSERT_TRUE(::CreateDirectoryA(dir.c_str(), nullptr));
  std::string path = dir + "\\Tom & Jerry 100%41 #2 +^~{1}[2].bmp";
  ASSERT_TRUE(CaptureAndSave(app, path));
  MailsWholeThroughSimpleMapi(app, path);
}

// Where the system's mapi32 has only the ANSI MAPISendMail (Windows 7 and
// earlier), the path goes in the ANSI code page, whole (a test build whose
// look-up of MAPISendMailW finds nothing: Wine's mapi32 has it).
TEST(MapiMail, WithOnlyTheAnsiCallThePathArrivesWholeInTheCodePage) {
  App app({.program = "ansi_mapi.exe"});
  std::string path = app.dir() + "\\Tom & Jerry 100%41 #2.bmp";
  ASSERT_TRUE(CaptureAndSave(app, path));
  MapiMailProgram mail(app.dir(), {});
  app.Click("Mail");
  ASSERT_TRUE(mail.WaitFor("window shown")) << ::testing::PrintToString(mail.Record());
  std::vector<std::string> expected = OneAttachmentMessage(path);
  expected.front() = "call MAPISendMail";
  EXPECT_EQ(mail.Message(), expected);
  ASSERT_TRUE(mail.CloseMessageWindow());
  ASSERT_TRUE(mail.WaitFor("result 0"));
  EXPECT_TRUE(app.SettledDialogs().empty());
}

// While the message window is open the program answers, its hotkeys
// capture and save as ever, and a second Mail is ignored; the call ends
// only with the message window.
TEST(MapiMail, TheProgramKeepsWorkingWhileTheMessageWindowIsOpen) {
  std::string shots = FreshTestDir("-shots");
  App app({.settings = SettingsLine(1, 0, shots)});  // every capture saved into `shots`
  std::string path = app.dir() + "\\waiting shot.bmp";
  ASSERT_TRUE(CaptureAndSave(app, path));  // by Ctrl+S, which saves nothing by itself
  MapiMailProgram mail(app.dir(), {});
  app.Click("Mail");
  ASSERT_TRUE(mail.WaitFor("window shown"));
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(app.Sync()) << "the main window stopped answering";
  // Pressed, not posted: the system's hotkey message reaches the disabled
  // main window all the same.
  SendCtrlKey(VK_F10);
  EXPECT_TRUE(WaitUntil([&] { return SnapFiles(shots).size() == 1; }, 10000)) << "Ctrl+F10 did not capture";
  EXPECT_TRUE(app.Sync());
  EXPECT_EQ(WholeFileProblem("JPEG", ReadFileBytes(shots + "\\snap0.jpg")), "");
  app.Click("Mail");
  EXPECT_TRUE(app.Sync());
  EXPECT_EQ(mail.Count("call MAPISendMailW"), 1) << "a second Mail reached the mail program";
  EXPECT_EQ(MapiMailProgram::Windows().size(), 1u);
  EXPECT_FALSE(mail.Has("result 0")) << "the call ended without the user";
  ASSERT_TRUE(mail.CloseMessageWindow());
  ASSERT_TRUE(mail.WaitFor("result 0"));
  EXPECT_TRUE(app.SettledDialogs().empty());
  EXPECT_EQ(mail.Count("call MAPISendMailW"), 1);
}

TEST(MapiMail, TheUserCancellingTheMessageIsNoFailure) {
  App app;
  std::string path = app.dir() + "\\cancelled shot.bmp";
  ASSERT_TRUE(CaptureAndSave(app, path));
  std::string saved = ReadFileBytes(path);
  MapiMailProgram mail(app.dir(), {.window = true, .result = kUserAbort});
  MailtoHandler mailto(app.dir());
  app.Click("Mail");
  ASSERT_TRUE(mail.WaitFor("window shown"));
  ASSERT_TRUE(mail.CloseMessageWindow());
  ASSERT_TRUE(mail.WaitFor("result 1"));
  EXPECT_TRUE(app.SettledDialogs().empty()) << "cancelling the message was reported";
  EXPECT_TRUE(::IsWindowEnabled(app.main()));
  EXPECT_TRUE(mailto.Log().empty());
  EXPECT_EQ(ReadFileBytes(path), saved);
}

// A failure is reported with its reason; the file stays as it was, nothing
// more is tried, and the program takes input again.
TEST(MapiMail, AFailureOfTheMailProgramSaysWhatHappened) {
  struct Case {
    MapiMailProgram::Behaviour behaviour;
    std::string reason;
  };
  const Case cases[] = {
      // MAPI_E_FAILURE once its message window was up.
      {{.window = true, .result = kFailure}, "it reported an error."},
      // The file was gone, said at once.
      {{.window = false, .result = kAttachmentNotFound},
       "the file was not found. It may have been moved or deleted since it was saved."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    App app;
    std::string path = app.dir() + "\\failing shot.bmp";
    ASSERT_TRUE(CaptureAndSave(app, path));
    std::string saved = ReadFileBytes(path);
    MapiMailProgram mail(app.dir(), c.behaviour);
    MailtoHandler mailto(app.dir());
    app.Click("Mail");
    if (c.behaviour.window) {
      ASSERT_TRUE(mail.WaitFor("window shown"));
      ASSERT_TRUE(mail.CloseMessageWindow());
    }
    auto box = WaitForDialog(app.pid(), 10000);
    ASSERT_TRUE(box.has_value()) << ::testing::PrintToString(mail.Record());
    EXPECT_EQ(box->text, kCouldNotTake + c.reason);
    EXPECT_EQ(box->title, "Framewick");
    EXPECT_EQ(box->icon, IconKind::Warning);
    EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
    PressDialogButton(box->hwnd, IDOK);
    EXPECT_TRUE(WaitDialogGone(box->hwnd, 5000));
    EXPECT_TRUE(app.SettledDialogs().empty()) << "a second message";
    EXPECT_TRUE(::IsWindowEnabled(app.main()));
    EXPECT_EQ(mail.Count("call MAPISendMailW"), 1);
    EXPECT_TRUE(mailto.Log().empty()) << "the keystroke hand-off ran after a failure";
    EXPECT_EQ(ReadFileBytes(path), saved);
  }
}

// A registered mail program that does not take Simple MAPI calls
// (MAPI_E_NOT_SUPPORTED), or fails before it shows anything: the
// "mailto:" hand-off runs as it does without one.
TEST(MapiMail, NoMailProgramTakingTheCallLeavesItToTheKeystrokeHandOff) {
  for (DWORD result : {kNotSupported, kFailure}) {
    SCOPED_TRACE(result);
    App app;
    std::string path = app.dir() + "\\handed by keys.bmp";
    ASSERT_TRUE(CaptureAndSave(app, path));
    MapiMailProgram mail(app.dir(), {.window = false, .result = result});
    EXPECT_EQ(MailedPath(app), path);
    EXPECT_EQ(mail.Count("call MAPISendMailW"), 1) << "Simple MAPI was not asked first";
    EXPECT_TRUE(mail.Has("result " + std::to_string(result)));
    EXPECT_TRUE(app.SettledDialogs().empty());
  }
}

// The program closes (File > Exit, as from the notification icon's menu,
// or the end of the session) while the message window is open: it ends
// there, without waiting for the mail program and without a word.
TEST(MapiMail, ClosingWhileTheMessageWindowIsOpenEndsTheProgram) {
  for (bool bySession : {false, true}) {
    SCOPED_TRACE(bySession ? "end of the session" : "Exit");
    App app;
    std::string path = app.dir() + "\\closing shot.bmp";
    ASSERT_TRUE(CaptureAndSave(app, path));  // nothing unsaved: nothing to ask
    MapiMailProgram mail(app.dir(), {});
    app.Click("Mail");
    ASSERT_TRUE(mail.WaitFor("window shown"));
    ASSERT_TRUE(app.Sync());
    if (bySession) {
      EXPECT_TRUE(SendEndSession(app.main(), true));
    } else {
      app.Menu(kMenuExit);
    }
    EXPECT_TRUE(app.WaitExit(10000)) << "the program waited for the mail program";
    EXPECT_EQ(app.exitCode(), 0u);
    EXPECT_FALSE(mail.Has("result 0"));
  }
}

}  // namespace
}  // namespace e2e
