// Harness pieces for the tests of files and the clipboard: a barrier that
// tells when the program has handled what was posted to it, whole-bitmap
// checks of files on disk, the program's temporary files, a program that
// holds the clipboard open, and the path Mail hands over.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "harness.h"

namespace e2e {

// Posts the hotkey message of Ctrl+F10 (id 0) or Ctrl+F11 (id 1) to the
// main window, as the system does when the keys are pressed.
void PostHotkey(App& app, int id = 0);

// Why the bytes are not one whole Windows bitmap file ("" when they are):
// the header's sizes must agree with the file's size and with the pixels
// the header describes.
std::string BmpProblem(const std::string& bytes);

// The files in `dir` whose names begin with "snap", sorted.
std::vector<std::string> SnapFiles(const std::string& dir);

// Names of the program's own temporary form ("~fw", sixteen lower-case
// hexadecimal digits, ".tmp"), and the files of such names in `dir`.
bool IsProgramTempName(const std::string& name);
std::vector<std::string> ProgramTempFiles(const std::string& dir);

// A file created and held open with no sharing, as a program that is
// writing it holds it; closed when the object goes.
class HeldFile {
 public:
  explicit HeldFile(const std::string& path, const std::string& bytes = "being written");
  ~HeldFile();
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  bool held() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// clipboard_holder.exe: another program that opens the clipboard and keeps
// it open until released (or until the object goes).
class ClipboardHolder {
 public:
  ClipboardHolder();
  ~ClipboardHolder();
  ClipboardHolder(const ClipboardHolder&) = delete;
  ClipboardHolder& operator=(const ClipboardHolder&) = delete;
  // True once the holder has the clipboard open.
  bool holding() const { return holding_; }
  // Lets the clipboard go and waits for the holder to end.
  bool Release();

 private:
  std::string eventName_;
  HANDLE event_ = nullptr;
  HANDLE process_ = nullptr;
  bool holding_ = false;
};

// Presses "Mail" with a stand-in mail program registered for mailto: and
// returns the path of the file the program hands over (its last Save), or
// "" when none was handed over within the time.
std::string MailedPath(App& app);

}  // namespace e2e
