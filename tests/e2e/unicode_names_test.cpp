// Names outside the ANSI code page on an English system: a file and a
// folder in Japanese and Russian, the program in such a folder, a settings
// file an earlier version wrote, and paths past MAX_PATH.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>
#include <sstream>

#include "flows.h"
#include "harness.h"
#include "harness_files.h"
#include "harness_formats.h"
#include "options_access.h"
#include "registry_override.h"

namespace e2e {
namespace {

// "写真 Фото" (U+5199 U+771F, a space, U+0424 U+043E U+0442 U+043E) in
// UTF-8; Windows-1252 has none of its letters.
constexpr const char* kPhotos = "\xE5\x86\x99\xE7\x9C\x9F \xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE";
// The same name percent-encoded over its UTF-8 bytes (RFC 3986, section
// 2.1), written out by hand.
constexpr const char* kPhotosEncoded = "%E5%86%99%E7%9C%9F%20%D0%A4%D0%BE%D1%82%D0%BE";

// The message for a name too long for Windows.
constexpr const char* kTooLong =
    "The name is too long for Windows. A file or folder name can have up to 255 characters, and the whole path up "
    "to 259 where Windows does not have long paths turned on.";

// The tests mean something only where the ANSI code page cannot hold the
// names: English Windows' 1252, which the run's locale gives Wine.
constexpr UINT kEnglishCodePage = 1252;

bool MakeDir(const std::string& path) {
  return ::CreateDirectoryW(Wide(path).c_str(), nullptr) != FALSE;
}

bool CopyInto(const std::string& binFile, const std::string& dir) {
  return ::CopyFileW(Wide(BinDir() + "\\" + binFile).c_str(), Wide(dir + "\\" + binFile).c_str(), FALSE) != FALSE;
}

// Why the file at `path` is not one whole file of the format its name asks
// for ("" when it is).
std::string NamedFormatProblem(const std::string& path) {
  return WholeFileProblem(FormatNamed(path), ReadFileBytes(path));
}

// What the program's open dialogs say, for a failure's report.
std::string DialogTexts(App& app) {
  std::string out;
  for (const DialogInfo& d : OpenDialogs(app.pid())) out += "[" + d.title + ": " + d.text + "]";
  return out;
}

// The screen, by the shortcut key.
void Capture(App& app) {
  app.Shortcut('S');
  ASSERT_TRUE(app.InputHandled()) << "Ctrl+S was not handled";
}

// Saves through the dialog under `typed` and waits for the file or a
// message, whichever comes.
std::optional<DialogInfo> SaveAs(App& app, const std::string& typed) {
  app.Click("Save");
  HWND dlg = WaitForSaveDialog(app.pid(), 10000);
  EXPECT_NE(dlg, nullptr) << "no Save dialog";
  if (!dlg) return std::nullopt;
  ChooseFileName(dlg, typed);
  std::optional<DialogInfo> message;
  WaitUntil(
      [&] {
        if (FileExists(typed)) return true;
        for (const DialogInfo& d : OpenDialogs(app.pid())) {
          if (d.hwnd != dlg && !d.text.empty()) message = d;
        }
        return message.has_value();
      },
      kSaveTimeoutMs);
  app.Sync();
  return message;
}

// The stand-in mail program as the mailto: handler for the test's
// duration; its window is closed at the end.
class MailStandIn {
 public:
  explicit MailStandIn(const std::string& dir) : log_(dir + "\\mail.log") {
    std::string exe = dir + "\\mail_standin.exe";
    EXPECT_TRUE(CopyInto("mail_standin.exe", dir));
    EXPECT_TRUE(command_.SetString("\"" + exe + "\" \"" + log_ + "\" subject \"%1\""));
  }
  ~MailStandIn() {
    for (HWND h = ::FindWindowA("FwMailStandIn", nullptr); h; h = ::FindWindowA("FwMailStandIn", nullptr)) {
      ::PostMessageA(h, WM_CLOSE, 0, 0);
      if (!WaitUntil([&] { return !::IsWindow(h); }, 5000)) break;
    }
  }
  std::vector<std::string> Log() const { return Lines(ReadFileBytes(log_)); }

 private:
  RegistryOverride command_{HKEY_LOCAL_MACHINE, "Software\\Classes\\mailto\\shell\\open\\command", ""};
  std::string log_;
};

// (A short name: the stand-in's command names the test's folder twice, and
// Wine 8 finds no handler whose command passes 255 characters.)
TEST(UnicodeNames, SaveAndMailAJapaneseAndRussianName) {
  ASSERT_EQ(::GetACP(), kEnglishCodePage);
  App app;
  MailStandIn mail(app.dir());
  Capture(app);
  std::string dir = FreshTestDir("-saved");
  std::string path = dir + "\\" + kPhotos + ".png";
  std::optional<DialogInfo> message = SaveAs(app, path);
  ASSERT_FALSE(message) << message->text;
  EXPECT_EQ(ListDir(dir), std::vector<std::string>{std::string(kPhotos) + ".png"});
  EXPECT_EQ(NamedFormatProblem(path), "");

  // Mail: the subject carries the name's UTF-8 bytes, the mail program's
  // window (titled with the decoded subject) is found, and the name is
  // typed whole, one UTF-16 unit at a time.
  app.Click("Mail");
  ASSERT_TRUE(WaitUntil(
      [&] {
        auto log = mail.Log();
        return !log.empty() && log.back() == "key Delete";
      },
      20000, 50))
      << ::testing::PrintToString(mail.Log()) << " " << DialogTexts(app);
  std::string encodedDir;
  for (char c : dir) {
    ASSERT_TRUE(std::isalnum(static_cast<unsigned char>(c)) || std::string(":\\.-_").find(c) != std::string::npos)
        << "the test's folder holds a character this test does not encode by hand: " << c;
    encodedDir += c == '\\' ? std::string("%5C") : std::string(1, c);
  }
  std::vector<std::string> log = mail.Log();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log[0], "url mailto:?subject=" + encodedDir + "%5C" + kPhotosEncoded + ".png&body=");
  HWND window = ::FindWindowA("FwMailStandIn", nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(Text(window), path) << "the mail program did not decode the name";
  std::vector<std::string> typed;
  for (const std::string& line : log) {
    if (line.rfind("char ", 0) == 0) typed.push_back(line.substr(5));
  }
  std::vector<std::string> units;
  for (wchar_t unit : Wide(path)) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(unit));
    units.push_back(hex);
  }
  EXPECT_EQ(typed, units);
  EXPECT_TRUE(app.SettledDialogs().empty());
}

TEST(UnicodeNames, AutomaticSavesGoIntoSuchAFolderOpenedInTheListAndItIsRemembered) {
  ASSERT_EQ(::GetACP(), kEnglishCodePage);
  std::string shots = FreshTestDir("-shots");
  std::string folder = shots + "\\" + kPhotos;
  ASSERT_TRUE(MakeDir(folder));
  std::string programDir;
  {
    App app({.settings = SettingsLine(0, 0, shots)});
    programDir = app.dir();
    OptionsControls c(OpenOptions(app));
    ASSERT_TRUE(c.complete());
    // The list shows the folder's name whole, and opens it.
    ASSERT_TRUE(OpenListEntry(app, c, kPhotos)) << ::testing::PrintToString(c.listLines());
    ASSERT_TRUE(WaitUntil([&] { return c.dir() == folder; }, 3000)) << c.dir();
    c.Click(c.check1);
    ASSERT_TRUE(WaitUntil([&] { return c.state1() == BST_CHECKED; }, 3000));
    PostHotkey(app);
    ASSERT_TRUE(WaitUntil([&] { return SavedAs(folder + "\\snap0.jpg"); }, kSaveTimeoutMs));
    EXPECT_EQ(NamedFormatProblem(folder + "\\snap0.jpg"), "");

    // "Apply": the code page cannot hold the folder, so the file is UTF-8
    // after a byte-order mark.
    c.Click(c.apply);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(c.dialog); }, 3000));
    EXPECT_EQ(ReadFileBytes(programDir + "\\settings.txt"), "\xEF\xBB\xBF" + SettingsLine(1, 0, folder));
    app.Click("Exit");
    ASSERT_TRUE(app.WaitExit(5000));
  }

  // The next run reads the folder back; its first capture finds snap0
  // taken with a search of that folder and writes snap1.
  App again({.programDir = programDir});
  PostHotkey(again);
  ASSERT_TRUE(WaitUntil([&] { return SavedAs(folder + "\\snap1.jpg"); }, kSaveTimeoutMs));
  OptionsControls c(OpenOptions(again));
  ASSERT_TRUE(c.complete());
  EXPECT_EQ(c.dir(), folder);
  EXPECT_EQ(c.state1(), BST_CHECKED);
  EXPECT_EQ(SnapFiles(folder), (std::vector<std::string>{"snap0.jpg", "snap1.jpg"}));
}

// The handler of .htm files, for the test's duration.
struct HtmlHandler {
  RegistryOverride command{HKEY_LOCAL_MACHINE, "Software\\Classes\\htmlfile\\shell\\open\\command", ""};
  RegistryOverride type{HKEY_LOCAL_MACHINE, "Software\\Classes\\.htm", ""};
};

TEST(UnicodeNames, StartedFromSuchAFolderItReadsAndWritesItsSettingsAndOpensItsHelp) {
  ASSERT_EQ(::GetACP(), kEnglishCodePage);
  std::string shots = FreshTestDir("-shots");
  std::string programDir = FreshTestDir("-program") + "\\" + kPhotos;
  ASSERT_TRUE(MakeDir(programDir));
  for (const char* file : {"Framewick.exe", "camera.wav", "help.htm"}) ASSERT_TRUE(CopyInto(file, programDir)) << file;
  ASSERT_TRUE(WriteFileBytes(programDir + "\\settings.txt", SettingsLine(1, 1, shots)));
  HtmlHandler handler;
  std::string viewer = shots + "\\viewer.exe";
  ASSERT_TRUE(::CopyFileW(Wide(BinDir() + "\\start_recorder.exe").c_str(), Wide(viewer).c_str(), FALSE));
  ASSERT_TRUE(handler.type.SetString("htmlfile"));
  ASSERT_TRUE(handler.command.SetString("\"" + viewer + "\" \"%1\""));

  App app({.programDir = programDir});
  ASSERT_TRUE(app.started());
  OptionsControls c(OpenOptions(app));
  ASSERT_TRUE(c.complete());
  EXPECT_EQ(c.state1(), BST_CHECKED);
  EXPECT_EQ(c.state2(), BST_CHECKED);
  EXPECT_EQ(c.dir(), shots);
  // "Apply" writes it back beside the program, in the earlier form.
  c.Click(c.check2);
  ASSERT_TRUE(WaitUntil([&] { return c.state2() == BST_UNCHECKED; }, 3000));
  c.Click(c.apply);
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(c.dialog); }, 3000));
  EXPECT_EQ(ReadFileBytes(programDir + "\\settings.txt"), SettingsLine(1, 0, shots));

  app.Menu(kMenuHelp);
  ASSERT_TRUE(WaitUntil([&] { return FileExists(viewer + ".started"); }, 5000));
  std::string record = ReadFileBytes(viewer + ".started");
  EXPECT_NE(record.find(programDir + "\\help.htm"), std::string::npos) << record;
  EXPECT_TRUE(app.SettledDialogs().empty());
}

TEST(UnicodeNames, ASettingsFileAnEarlierVersionWroteReadsBackAndIsWrittenTheSame) {
  ASSERT_EQ(::GetACP(), kEnglishCodePage);
  std::string shots = FreshTestDir("-shots");
  ASSERT_TRUE(MakeDir(shots + "\\Caf\xC3\xA9"));  // "Café"
  // As the earlier, ANSI version wrote it: "é" is the one byte E9.
  const std::string earlier = "1,0,\"" + shots + "\\Caf\xE9\"\r\n";
  App app({.settings = earlier});
  OptionsControls c(OpenOptions(app));
  ASSERT_TRUE(c.complete());
  EXPECT_EQ(c.dir(), shots + "\\Caf\xC3\xA9");
  EXPECT_EQ(c.state1(), BST_CHECKED);
  std::vector<std::string> lines = c.listLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Caf\xC3\xA9"), lines.end()) << ::testing::PrintToString(lines);
  c.Click(c.apply);
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(c.dialog); }, 3000));
  EXPECT_EQ(ReadFileBytes(app.dir() + "\\settings.txt"), earlier) << "not byte for byte as before";
}

// A folder whose file `name` makes a path of exactly `length` characters.
std::string DeepFolder(const std::string& root, std::size_t length, const std::string& name) {
  std::string dir = root;
  while (dir.size() + 61 + 2 + name.size() + 1 <= length) {
    dir += '\\';
    dir.append(60, 'd');
    MakeDir(dir);
  }
  std::size_t last = length - dir.size() - 2 - name.size();
  dir += '\\';
  dir.append(last, 'e');
  MakeDir(dir);
  return dir;
}

TEST(UnicodeNames, A300CharacterPathSavesWhereLongPathsWorkAndOtherwiseSaysItIsTooLong) {
  // An automatic save: Wine 8's Save dialog itself takes no path past
  // MAX_PATH (it overruns a buffer of that size and crashes).
  std::string root = FreshTestDir("-long");
  std::string dir = DeepFolder(root, 300, "snap0.jpg");
  std::string path = dir + "\\snap0.jpg";
  ASSERT_EQ(path.size(), 300u);
  ASSERT_TRUE(DirExists(dir));
  RegistryOverride policy(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\FileSystem", "LongPathsEnabled");
  RegistryOverride version(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Framewick.exe", "Version");
  policy.Remove();
  {
    // Without the policy Windows takes no path past MAX_PATH: the save is
    // refused, saying why, and nothing is written.
    App app({.settings = SettingsLine(1, 0, dir)});
    PostHotkey(app);
    auto box = WaitForDialog(app.pid(), kSaveTimeoutMs, "Framewick");
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "The capture could not be saved automatically as " + path + ".\n\n" + kTooLong +
                             "\n\nThe picture is still in the picture area.");
    EXPECT_TRUE(ListDir(dir).empty());
    PressDialogButton(box->hwnd, IDOK);
    ASSERT_TRUE(WaitDialogGone(box->hwnd, 5000));
    app.Click("Exit");
    ASSERT_TRUE(app.WaitExit(5000));
  }
  // Windows 10 1607 and later with the policy set: the same path saves.
  // (Wine 8 takes such paths whatever version it reports; this prefix
  // reports Windows 7, so the program is told Windows 10 for the test.)
  ASSERT_TRUE(version.SetString("win10"));
  ASSERT_TRUE(policy.SetRaw(REG_DWORD, std::string("\x01\x00\x00\x00", 4)));
  App app({.settings = SettingsLine(1, 0, dir), .dirSuffix = "-again"});
  PostHotkey(app);
  ASSERT_TRUE(WaitUntil([&] { return SavedAs(path); }, kSaveTimeoutMs)) << DialogTexts(app);
  EXPECT_EQ(NamedFormatProblem(path), "");
  EXPECT_TRUE(app.SettledDialogs().empty());
}

TEST(UnicodeNames, SaveSaysThatANameOfMoreThan255CharactersIsTooLong) {
  App app;
  Capture(app);
  // 259 characters in all, within MAX_PATH (all Wine 8's Save dialog
  // takes), 256 of them one name: too long for any Windows.
  std::string path = "C:\\";
  path.append(256, 'n');
  std::optional<DialogInfo> message = SaveAs(app, path);
  ASSERT_TRUE(message);
  EXPECT_EQ(message->text, "The picture could not be saved as " + path + ".\n\n" + kTooLong +
                               "\n\nIt is still in the picture area, not saved.");
  PressDialogButton(message->hwnd, IDOK);
  ASSERT_TRUE(WaitDialogGone(message->hwnd, 5000));
  EXPECT_FALSE(FileExists(path));
  EXPECT_TRUE(app.SettledDialogs().empty());
}

}  // namespace
}  // namespace e2e
