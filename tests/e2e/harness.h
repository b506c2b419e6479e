// The end-to-end test driver's harness: starts the real Framewick.exe in a
// program directory of its own, finds its windows, presses its buttons,
// reads and answers its message boxes, injects keys, and reads pixels,
// files and the clipboard the way a user (or assistive technology) would.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "control_ids.h"

namespace e2e {

// Gives the running test more time before the watchdog ends it.
void SetTestTimeLimit(DWORD seconds);

// Where things are: the build's bin directory (Framewick.exe and its
// files) and a scratch directory for the tests' program directories.
const std::string& BinDir();
const std::string& WorkRoot();

// A fresh, empty directory for the running test (removed first if present).
std::string FreshTestDir(const std::string& suffix = "");

// Runs the driver's own messages (its pattern windows) while waiting.
void PumpMessages();
void Sleep(DWORD ms);
// Polls `cond` (pumping messages) until it holds or the time runs out.
bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs, DWORD stepMs = 10);

// Every process the harness starts is tracked and ended at the end of its
// test, or when the watchdog ends a hung test.
HANDLE StartProcess(const std::string& exe, const std::string& args, const std::string& cwd, DWORD* pid = nullptr);
void EndAllProcesses();
// Runs a program to its end (bounded), collecting what it prints; returns
// its exit code, or -1 when it had to be ended.
int RunAndCollect(const std::string& exe, const std::string& args, DWORD timeoutMs, std::string& output);

// Starts a Unix program through /bin/sh -c (Wine runs Unix programs; their
// environment is the driver's Windows one). Its exit code does not come
// through: true when the command ended within the time.
bool RunUnix(const std::string& command, DWORD timeoutMs);
// Drive Z: is the Unix root.
std::string UnixPath(const std::string& winPath);
std::string WinPath(const std::string& unixPath);

// ---- windows ----
std::vector<HWND> TopLevelWindows(DWORD pid, bool visibleOnly = false);
HWND FindTopLevel(DWORD pid, const char* className, const char* title = nullptr, bool visibleOnly = true);
HWND FindChildByText(HWND parent, const std::string& text, const char* className = nullptr);
HWND FindChildById(HWND parent, int id);
std::string Text(HWND hwnd);
std::string ClassOf(HWND hwnd);
RECT ScreenRect(HWND hwnd);
// Counts the windows (top-level and child) a process owns.
int CountWindows(DWORD pid);

// ---- dialogs and message boxes ----
enum class IconKind { None, Information, Error, Warning, Question, Unknown };
struct DialogInfo {
  HWND hwnd = nullptr;
  std::string title;
  std::string text;  // a message box's text (control 0xFFFF)
  IconKind icon = IconKind::None;
  std::vector<std::string> buttons;  // captions of the push buttons, in order
};
// Waits for a dialog (#32770) of the process to appear; with a title, only
// that one.
std::optional<DialogInfo> WaitForDialog(DWORD pid, DWORD timeoutMs, const char* title = nullptr);
// All dialogs of the process now open.
std::vector<DialogInfo> OpenDialogs(DWORD pid);
// Presses a dialog's button by id without blocking (IDOK, IDCANCEL, ...).
void PressDialogButton(HWND dialog, int id);
bool WaitDialogGone(HWND dialog, DWORD timeoutMs);
// Closes a dialog from its frame (the close box).
void CloseFromFrame(HWND window);

// The common Save dialog of the process (a dialog with a file-name box).
HWND WaitForSaveDialog(DWORD pid, DWORD timeoutMs);
// Types a name into the Save dialog and presses its Save button.
void ChooseFileName(HWND saveDialog, const std::string& path);

// ---- input ----
// Brings a window to the front; true when it is the foreground window.
bool BringToFront(HWND hwnd);
// Injected key presses: Ctrl+<vk>, or any sequence.
void SendCtrlKey(WORD vk);
void SendKey(WORD vk, bool ctrl = false, bool alt = false, bool shift = false);
void SendText(const std::string& text);
void MoveMouse(int x, int y);
void MouseButton(bool down, bool right = false);

// ---- pixels ----
struct Image {
  int width = 0, height = 0;
  std::vector<std::uint32_t> px;  // 0x00RRGGBB, top-down
  std::uint32_t at(int x, int y) const { return px[static_cast<std::size_t>(y) * width + x]; }
  bool empty() const { return width == 0 || height == 0; }
};
Image GrabScreen(const RECT& r);
Image ImageFromBitmap(HBITMAP bmp, HDC ref = nullptr);
// Pixels that differ between the images within the overlap; -1 when the
// sizes differ.
long CountDifferences(const Image& a, const Image& b, int ox = 0, int oy = 0);
// Pixels of `part` that differ from `whole`'s top-left; -1 when `whole` is
// smaller than `part`.
long TopLeftDifferences(const Image& whole, const Image& part);
bool SaveBmp(const Image& img, const std::string& path);

// A borderless window of the driver's own with a known pattern on it.
class PatternWindow {
 public:
  PatternWindow(int x, int y, int w, int h, int seed = 1);
  ~PatternWindow();
  PatternWindow(const PatternWindow&) = delete;
  PatternWindow& operator=(const PatternWindow&) = delete;
  HWND hwnd() const { return hwnd_; }
  const Image& expected() const { return expected_; }
  static std::uint32_t Colour(int x, int y, int seed);

  // Keeps the bottom `band` rows painted with the time since this call,
  // so a capture of the window tells when it was taken.
  void StartClock(int band);
  // The time (ms since StartClock) a captured band shows; -1 if none.
  long ClockIn(const Image& capture) const;
  int band() const { return band_; }

 private:
  HWND hwnd_ = nullptr;
  Image expected_;
  int band_ = 0;
  DWORD clockStart_ = 0;
};

// ---- files ----
bool FileExists(const std::string& path);
bool DirExists(const std::string& path);
std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
std::vector<std::string> ListDir(const std::string& dir);
void RemoveTree(const std::string& path);

// ---- clipboard ----
// The clipboard's CF_BITMAP as pixels (empty when there is none).
Image ClipboardBitmap();
bool ClipboardHasFormat(UINT format);
bool PutBitmapOnClipboard(const Image& img);
bool PutTextOnClipboard(const std::string& text);
// Puts a Windows metafile on the clipboard as a metafile picture of the
// given size (HIMETRIC, MM_ANISOTROPIC); the clipboard then owns it.
bool PutMetafilePictOnClipboard(HMETAFILE wmf, LONG widthHimetric, LONG heightHimetric);
bool EmptyTheClipboard();
// Reads an image file (BMP) back as pixels.
Image LoadBmpFile(const std::string& path);
// A bitmap of the driver's own from pixels (a DIB section); caller deletes.
HBITMAP BitmapFromImage(const Image& img);

// ---- the program ----
struct AppOptions {
  bool withSound = true;                // copy camera.wav beside the program
  std::optional<std::string> settings;  // settings.txt content to place first
  bool waitForMain = true;              // wait for the main window to show
  std::string cwd;                      // process current directory (default: its directory)
  std::string dirSuffix;                // to run several programs in one test
  std::string programDir;               // run the copy already in this directory instead
  // Unix environment settings for the program ("NAME=value ..."), for what
  // Wine's Unix side reads (CUPS_SERVER, ...): a program a Wine process
  // starts inherits its Unix environment, not the Windows one, so with these
  // the program is started through /bin/sh instead.
  std::string unixEnvironment;
};

class App {
 public:
  explicit App(const AppOptions& options = {});
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  DWORD pid() const { return pid_; }
  HANDLE process() const { return process_; }
  const std::string& dir() const { return dir_; }
  bool started() const { return process_ != nullptr; }

  // The main window (found on first use).
  HWND main();
  HWND picture1();
  HWND image1();
  HWND command13();
  HWND button(const std::string& caption);

  // Presses a button of the main window without waiting for its handler.
  void Click(const std::string& caption);
  // Posts a menu command to the main window.
  void Menu(int id);
  // Brings the main window to the front and types Ctrl+<key>.
  void Shortcut(WORD vk);

  bool running() const;
  bool WaitExit(DWORD timeoutMs);
  DWORD exitCode() const;
  // Waits until the program has handled everything it was sent so far.
  bool Sync(DWORD timeoutMs = 5000);

  // The picture area as it shows on screen, with the controls drawn over
  // it (Command13, Image1) hidden for the moment of the grab.
  Image PictureArea();

 private:
  std::string dir_;
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
  HWND main_ = nullptr;
};

// The program's windows, controls and menu commands, as it numbers and
// names them.
using namespace fw::ids;

}  // namespace e2e
