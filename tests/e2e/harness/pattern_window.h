// A window of the driver's own showing a known pattern, to be captured.
#pragma once

#include <windows.h>

#include <cstdint>

#include "harness/pixels.h"

namespace e2e {

// What the pattern is made of.
enum class PatternStyle {
  Grid,    // blocks of colours with a fine grid over them: every pixel counts
  Blocks,  // flat blocks of 16 x 16 pixels, each of one colour: what a lossy format keeps inside each block
};

// A borderless window of the driver's own with a known pattern on it.
class PatternWindow {
 public:
  PatternWindow(int x, int y, int w, int h, int seed = 1, PatternStyle style = PatternStyle::Grid);
  ~PatternWindow();
  PatternWindow(const PatternWindow&) = delete;
  PatternWindow& operator=(const PatternWindow&) = delete;
  HWND hwnd() const { return hwnd_; }
  const Image& expected() const { return expected_; }
  static std::uint32_t Colour(int x, int y, int seed);
  static std::uint32_t BlockColour(int x, int y, int seed);

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

}  // namespace e2e
