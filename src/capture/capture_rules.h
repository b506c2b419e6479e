// What the capture commands say and when their waits end. Plain C++.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fw::capture {

enum class CaptureKind { Screen, Window };

// The notice a capture button shows before its delay.
std::string NoticeText(int delaySeconds, CaptureKind kind);
std::string NoticeTitle(CaptureKind kind);

// A wait that should last `delaySeconds` ends at the first clock reading (in
// whole seconds) later than start + delay.
inline std::int64_t WaitEnd(std::int64_t nowSeconds, int delaySeconds) {
  return nowSeconds + delaySeconds;
}
inline bool WaitIsOver(std::int64_t nowSeconds, std::int64_t endSeconds) {
  return nowSeconds > endSeconds;
}

// The steps of a capture by the "Screen" and "Window" buttons (after their
// notice and delay) and by the hotkeys, in the order they run. They differ
// where the user sees it:
// - the sound: a button announces its capture with it (it comes just before
//   the picture is taken); a hotkey confirms one already taken, so a key
//   that captured nothing stays silent;
// - MarkUnsaved: only a button capture makes New and exit ask about
//   saving; a hotkey capture never does;
// - the return: a button restores its own minimising (Restore); a hotkey
//   may find the window hidden in the notification area and shows it too
//   (RestoreAndShow), before the automatic save rather than after it.
// Each step after a capture that gave no picture is left out; the
// automatic save and the return run only when the Options dialog asks for
// them. The shortcut-key captures have none of these steps.
enum class CaptureBy { Button, Hotkey };
enum class CaptureStep { Sound, Capture, MarkUnsaved, AutoSave, Restore, RestoreAndShow };
std::vector<CaptureStep> CaptureSteps(CaptureBy by);

// The camera sound beside the program; the separator is always added.
std::string CameraSoundPath(const std::string& programDir);

// Why a capture gave no picture.
enum class SnapFailure {
  None,
  NoScreen,   // no device context of the screen or the window
  NoBitmap,   // no bitmap of the capture's size (memory, GDI resources)
  NoPicture,  // the bitmap could not be made a picture object
};

// The message for a capture that gave no picture: what failed, the size it
// was for, the system's own words when it gave some. The picture area then
// keeps its previous picture, and the message says so.
std::string CaptureFailureText(SnapFailure failure, long width, long height, const std::string& systemReason);

// The captures' failure messages (a capture that gave no picture, an
// automatic save that failed) are open one at a time: a failure while one
// is open opens no other. A burst of failing captures (a held hotkey, a
// directory that has gone) would otherwise stack one message over another;
// the open one already names the cause.
class FailureMessages {
 public:
  // True: no message is open, so open this one, and call Closed when it
  // is. False: one is open; this failure opens nothing.
  bool MayOpen();
  void Closed() { open_ = false; }
  bool Open() const { return open_; }

 private:
  bool open_ = false;
};

}  // namespace fw::capture
