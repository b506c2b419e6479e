// Mail: handing the last saved file to the mail program, driven by
// keystrokes, with a stand-in mail program registered for mailto:.
#include <gtest/gtest.h>

#include <sstream>

#include "flows.h"
#include "harness.h"
#include "harness_session.h"
#include "registry_override.h"

namespace e2e {
namespace {

constexpr const char* kStandInClass = "FwMailStandIn";
constexpr const char* kNothingSaved = "No image is saved yet";
constexpr const char* kNoMailWindow = "No mail window appeared, so the image was not attached.";
constexpr const char* kNotInFront = "The mail window did not come to the front, so nothing was attached.";

// The stand-in mail program as the mailto: handler for the test's duration;
// its windows are closed at the end.
class MailHandler {
 public:
  // mode "subject": the new message window takes the subject as its title;
  // "other": it has a title of its own; "behind": it takes the subject as
  // its title but is shown behind the other windows, not activated.
  MailHandler(const std::string& dir, const std::string& mode) : log_(dir + "\\mail.log") {
    std::string exe = dir + "\\mail_standin.exe";
    EXPECT_TRUE(::CopyFileA((BinDir() + "\\mail_standin.exe").c_str(), exe.c_str(), FALSE));
    // The log by its name alone: the stand-in keeps it beside itself, and
    // the command stays within what Wine reads of it (see mail_standin.cpp).
    EXPECT_TRUE(command_.SetString("\"" + exe + "\" mail.log " + mode + " \"%1\""));
  }
  ~MailHandler() {
    for (HWND w : Windows()) ::PostMessageA(w, WM_CLOSE, 0, 0);
    WaitUntil([&] { return Windows().empty(); }, 5000);
  }
  MailHandler(const MailHandler&) = delete;
  MailHandler& operator=(const MailHandler&) = delete;

  std::vector<std::string> Log() const { return Lines(ReadFileBytes(log_)); }
  bool WaitFor(const std::string& line, DWORD ms) const {
    return WaitUntil(
        [&] {
          auto log = Log();
          return std::find(log.begin(), log.end(), line) != log.end();
        },
        ms, 50);
  }
  static std::vector<HWND> Windows() {
    std::vector<HWND> out;
    for (HWND h = ::FindWindowExA(nullptr, nullptr, kStandInClass, nullptr); h;
         h = ::FindWindowExA(nullptr, h, kStandInClass, nullptr)) {
      out.push_back(h);
    }
    return out;
  }

 private:
  RegistryOverride command_{HKEY_LOCAL_MACHINE, "Software\\Classes\\mailto\\shell\\open\\command", ""};
  std::string log_;
};

// The folder the mailed files are saved in: its name is known beforehand,
// so that each test can write out in full, by hand, the address the mail
// program must be handed (RFC 6068: in a header's value letters, digits,
// "-._~" and "!$'()*,;:@" may stand as they are; every other byte is "%"
// and two hexadecimal digits). "+" is encoded as well, since some mail
// programs read it as a space.
constexpr const char* kMailDir = "C:\\fw mail";

std::string FreshMailDir() {
  RemoveTree(kMailDir);
  EXPECT_TRUE(::CreateDirectoryA(kMailDir, nullptr));
  return kMailDir;
}

// The line the stand-in records for the address it was handed, whose
// subject is `subject` as the test writes it out.
std::string UrlLine(const std::string& subject) {
  return "url mailto:?subject=" + subject + "&body=";
}

// What the stand-in records for a hand-off of `path`, given the subject the
// address must carry for it.
std::vector<std::string> ExpectedLog(const std::string& path, const std::string& subject) {
  std::vector<std::string> log{UrlLine(subject), "ready", "key Alt+I", "key A"};
  for (unsigned char c : path) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "char %04X", c);
    log.push_back(buf);
  }
  for (const char* k : {"key Tab", "key Tab", "key Enter", "key Tab", "key Tab", "key Ctrl+A", "key Delete"}) {
    log.push_back(k);
  }
  return log;
}

bool SaveAs(App& app, const std::string& path) {
  app.Click("Save");
  HWND dlg = WaitForSaveDialog(app.pid(), 5000);
  if (!dlg) return false;
  ChooseFileName(dlg, path);
  bool saved = WaitUntil([&] { return FileExists(path); }, 5000);
  app.Sync();
  return saved;
}

// A capture to save: the screen, by the shortcut key.
void Capture(App& app) {
  app.Shortcut('S');
  EXPECT_TRUE(app.InputHandled()) << "Ctrl+S was not handled";
}

void ExpectNothingSavedYet(App& app) {
  app.Click("Mail");
  auto box = WaitForDialog(app.pid(), 5000);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, kNothingSaved);
  EXPECT_EQ(box->title, "Framewick");
  EXPECT_EQ(box->icon, IconKind::None);
  EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
  PressDialogButton(box->hwnd, IDOK);
  EXPECT_TRUE(WaitDialogGone(box->hwnd, 5000));
}

// Captures, saves as `path` and mails it: the mail program gets the exact
// address (its subject `subject`), a window titled with the whole path and
// every key, and the program shows no message.
void MailsSavedFileWhole(App& app, MailHandler& handler, const std::string& path, const std::string& subject) {
  Capture(app);
  ASSERT_TRUE(SaveAs(app, path));
  app.Click("Mail");
  ASSERT_TRUE(handler.WaitFor("key Delete", 20000)) << ::testing::PrintToString(handler.Log());
  app.Sync();
  EXPECT_EQ(handler.Log(), ExpectedLog(path, subject));
  ASSERT_EQ(MailHandler::Windows().size(), 1u);
  EXPECT_EQ(Text(MailHandler::Windows()[0]), path) << "the mail program did not get the whole path";
  EXPECT_TRUE(app.SettledDialogs().empty());
}

TEST(Mail, WithoutASaveThereIsNothingToMail) {
  App app;
  MailHandler handler(app.dir(), "subject");
  // Right after start.
  ExpectNothingSavedYet(app);
  // After a save made through the unsaved-image prompt only.
  ASSERT_TRUE(ScreenButtonCapture(app));
  app.Menu(kMenuNew);
  auto prompt = WaitForDialog(app.pid(), 5000, "Save?");
  ASSERT_TRUE(prompt.has_value());
  PressDialogButton(prompt->hwnd, IDOK);
  HWND dlg = WaitForSaveDialog(app.pid(), 5000);
  ASSERT_NE(dlg, nullptr);
  std::string prompted = app.dir() + "\\prompted.bmp";
  ChooseFileName(dlg, prompted);
  ASSERT_TRUE(WaitUntil([&] { return FileExists(prompted); }, 5000));
  app.Sync();
  ExpectNothingSavedYet(app);
  // The mail program was never asked.
  EXPECT_TRUE(handler.Log().empty());
  EXPECT_TRUE(MailHandler::Windows().empty());
}

TEST(Mail, HandsTheSavedFileOverWithTheExactAddressAndKeys) {
  App app;
  MailHandler handler(app.dir(), "subject");
  std::string dir = FreshMailDir() + "\\mail (test) dir";
  ASSERT_TRUE(::CreateDirectoryA(dir.c_str(), nullptr));
  // Spaces, parentheses and every character the keystroke notation would
  // otherwise read as a command.
  std::string path = dir + "\\shot +^%~{1}[2] (a).bmp";
  MailsSavedFileWhole(app, handler, path,
                      "C:%5Cfw%20mail%5Cmail%20(test)%20dir%5Cshot%20%2B%5E%25~%7B1%7D%5B2%5D%20(a).bmp");
}

TEST(Mail, AfterTwoSavesTheSecondFileIsMailed) {
  App app;
  MailHandler handler(app.dir(), "subject");
  std::string first = FreshMailDir() + "\\first shot.bmp";
  std::string second = std::string(kMailDir) + "\\second shot.bmp";
  Capture(app);
  ASSERT_TRUE(SaveAs(app, first));
  ASSERT_TRUE(SaveAs(app, second));
  app.Click("Mail");
  ASSERT_TRUE(handler.WaitFor("key Delete", 20000)) << ::testing::PrintToString(handler.Log());
  app.Sync();
  EXPECT_EQ(handler.Log(), ExpectedLog(second, "C:%5Cfw%20mail%5Csecond%20shot.bmp"));
}

TEST(Mail, GivesUpWithoutTypingWhenNoMessageWindowAppears) {
  App app;
  // The mail program opens a window, but not one titled with the path; it
  // takes the foreground and records any key that reaches it.
  MailHandler handler(app.dir(), "other");
  std::string path = FreshMailDir() + "\\waiting shot.bmp";
  Capture(app);
  ASSERT_TRUE(SaveAs(app, path));
  app.Click("Mail");
  ASSERT_TRUE(handler.WaitFor("ready", 10000));

  // While it waits the program keeps working: it answers, opens and closes
  // the Version Info window, and ignores a second Mail click.
  EXPECT_TRUE(app.Sync());
  app.Menu(kMenuVersion);
  HWND about = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (about = FindTopLevel(app.pid(), kAboutClass)) != nullptr; }, 5000));
  ::PostMessageA(FindChildByText(about, "OK", "Button"), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(about); }, 5000));
  app.Click("Mail");
  EXPECT_TRUE(app.Sync());
  ASSERT_EQ(MailHandler::Windows().size(), 1u);
  BringToFront(MailHandler::Windows()[0]);
  EXPECT_TRUE(app.SettledDialogs().empty());

  // Within the bound (30 seconds) it says so, and types nothing.
  auto box = WaitForDialog(app.pid(), 45000);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, kNoMailWindow);
  EXPECT_EQ(box->title, "Framewick");
  EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
  PressDialogButton(box->hwnd, IDOK);
  EXPECT_TRUE(WaitDialogGone(box->hwnd, 5000));
  EXPECT_EQ(handler.Log(), (std::vector<std::string>{UrlLine("C:%5Cfw%20mail%5Cwaiting%20shot.bmp"), "ready"}));
  EXPECT_TRUE(app.SettledDialogs().empty()) << "a second message";
  EXPECT_TRUE(app.Sync());
}

TEST(Mail, APathWithAmpersandPercentHashAndSpacesReachesTheMailProgramWhole) {
  App app;
  MailHandler handler(app.dir(), "subject");
  // Unencoded, "&" would end the subject, "#" the address, and "%41" would
  // come back as "A": the window would never be found.
  std::string path = FreshMailDir() + "\\Tom & Jerry 100%41 #2.bmp";
  MailsSavedFileWhole(app, handler, path, "C:%5Cfw%20mail%5CTom%20%26%20Jerry%20100%2541%20%232.bmp");
}

TEST(Mail, TypesNothingAnywhereWhenTheMailWindowStaysBehind) {
  App app;
  // The message window appears with the right title, but behind the other
  // windows: the keys would go to the program in front, this one.
  MailHandler handler(app.dir(), "behind");
  PatternWindow pattern(0, 0, 200, 120, 61);
  ASSERT_TRUE(CaptureScreenWithPattern(app, pattern));
  std::string path = FreshMailDir() + "\\behind shot.bmp";
  ASSERT_TRUE(SaveAs(app, path));
  ASSERT_TRUE(BringToFront(app.main()));
  ::ShowWindow(pattern.hwnd(), SW_HIDE);  // a picture area emptied by Ctrl+A would show
  app.Click("Mail");
  ASSERT_TRUE(handler.WaitFor("ready", 10000));
  ASSERT_EQ(MailHandler::Windows().size(), 1u);
  EXPECT_EQ(Text(MailHandler::Windows()[0]), path);

  auto box = WaitForDialog(app.pid(), 20000);
  ASSERT_TRUE(box.has_value()) << "no word that nothing was attached";
  EXPECT_EQ(box->text, kNotInFront);
  EXPECT_EQ(box->title, "Framewick");
  EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
  PressDialogButton(box->hwnd, IDOK);
  EXPECT_TRUE(WaitDialogGone(box->hwnd, 5000));
  ASSERT_TRUE(BringToFront(app.main()));
  EXPECT_TRUE(app.InputHandled()) << "the program no longer takes keys";
  EXPECT_EQ(handler.Log(), (std::vector<std::string>{UrlLine("C:%5Cfw%20mail%5Cbehind%20shot.bmp"), "ready"}))
      << "keys reached the mail window";
  EXPECT_EQ(PatternDifferences(app.PictureArea(), pattern), 0) << "keys reached the picture area";
  EXPECT_TRUE(app.SettledDialogs().empty()) << "keys pressed a button";
}

// The program ends while Mail looks for the message window (by Exit, or
// by the end of the session): it ends there, typing nothing and saying
// nothing, and does not look on for the rest of the 30 seconds.
TEST(Mail, ClosingDuringTheSearchEndsTheProgramAndTypesNothing) {
  for (bool bySession : {false, true}) {
    SCOPED_TRACE(bySession ? "end of the session" : "Exit");
    App app;
    MailHandler handler(app.dir(), "other");
    std::string path = FreshMailDir() + "\\closing shot.bmp";
    Capture(app);
    ASSERT_TRUE(SaveAs(app, path));  // nothing unsaved: nothing to ask
    app.Click("Mail");
    ASSERT_TRUE(handler.WaitFor("ready", 10000));
    ASSERT_TRUE(app.Sync());  // the search's own loop answers
    if (bySession) {
      EXPECT_TRUE(SendEndSession(app.main(), true));
    } else {
      app.Click("Exit");
    }
    EXPECT_TRUE(app.WaitExit(5000)) << "the search went on after the window had gone";
    EXPECT_EQ(app.exitCode(), 0u);
    EXPECT_EQ(handler.Log(), (std::vector<std::string>{UrlLine("C:%5Cfw%20mail%5Cclosing%20shot.bmp"), "ready"}));
  }
}

}  // namespace
}  // namespace e2e
