// Watching the program's captures from inside its process
// (tests/e2e/probe/capture_probe.cpp): how many it made, how deeply hotkey
// messages were nested when it made them, and how many capture sounds it
// asked for; and a burst of hotkey messages the program posts itself, so
// that every one of them waits in its queue before the first is handled.
#pragma once

#include "harness.h"

namespace e2e {

class CaptureWatch {
 public:
  // Starts watching: before the program's first capture and first sound,
  // which the sound's count depends on.
  explicit CaptureWatch(App& app);
  bool watching() const { return watching_; }

  // Captures made so far (copies out of the screen's or a window's device
  // context).
  long Captures() const;
  // The most hotkey messages that were being handled, one inside another,
  // when a capture was made: 1 when every hotkey capture ran at the outer
  // level, one at a time.
  long DeepestCapture() const;
  // Calls of sndPlaySoundA and sndPlaySoundW so far.
  long Sounds() const;

  // Has the main window post itself `count` hotkey messages of the id from
  // within one of its handlers; returns once that handler has run.
  bool PostHotkeysAtOnce(int id, int count);

 private:
  long Ask(const char* function) const;
  App& app_;
  bool watching_ = false;
};

}  // namespace e2e
