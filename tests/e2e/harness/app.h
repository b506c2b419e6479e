// The program under test: a copy of Framewick.exe started in a directory of
// its own, its main window and controls, and the barrier that tells the
// driver the program has handled what it was sent.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "harness/dialogs.h"
#include "harness/pixels.h"

namespace e2e {

struct AppOptions {
  bool withSound = true;                // copy camera.wav beside the program
  std::optional<std::string> settings;  // settings.txt content to place first
  bool waitForMain = true;              // wait for the main window to show
  std::string cwd;                      // process current directory (default: its directory)
  std::string dirSuffix;                // to run several programs in one test
  std::string programDir;               // run the copy already in this directory instead
  // Another build of the program in the bin directory to run in its place,
  // copied as Framewick.exe (the in-process test builds).
  std::string program = "Framewick.exe";
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

  // ---- knowing that the program has handled what it was sent ----
  //
  // The main window answers a barrier message in the order of its queue.
  // Once the answer is back, every message posted to the main window before
  // (a click, a menu command, a hotkey) has been dispatched. A handler that
  // runs a loop of its own (a message box, the delay of a button capture,
  // the pending events the hotkey handler lets through first) passes the
  // barrier inside that loop: the barrier then says that handler has
  // started. Injected keys and clicks come to a program after its posted
  // messages, so no barrier orders them: see InputHandled.
  //
  // One barrier; false when no answer came in time.
  bool Barrier(DWORD timeoutMs = 5000);
  // Waits until the program has handled everything it was sent so far:
  // barriers, each posted once the one before has come back, so the last
  // finds the loop that let the first through (the hotkey handler's) done;
  // then what the program drew is on the screen. False when it stopped
  // answering.
  bool Sync(DWORD timeoutMs = 5000);
  // Waits until the keys and clicks injected so far have been handled: types
  // Tab, waits for the keyboard focus to move, types Shift+Tab and waits for
  // it to come back (input is handled in the order it was made), then
  // syncs. The main window must be in front.
  bool InputHandled(DWORD timeoutMs = 5000);
  // Syncs, then every dialog the program has opened, also those it has not
  // shown yet: for checking that no message came.
  std::vector<DialogInfo> SettledDialogs();

  // The picture area as it shows on screen (the part of it inside the main
  // window's client area), with the controls drawn over it (Command13,
  // Image1) hidden for the moment of the grab.
  Image PictureArea();

 private:
  std::string dir_;
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
  HWND main_ = nullptr;
};

}  // namespace e2e
