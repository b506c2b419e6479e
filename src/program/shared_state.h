// The program-wide shared state. The composition root (app/) keeps the one
// instance and hands each feature what it uses; the plain rules take the
// items they need as arguments. Plain C++.
#pragma once

#include <cstdint>
#include <string>

namespace fw {

// The Options dialog's memory of its settings between its loads. Only the
// dialog reads and writes it (output/options_rules.*).
struct OptionsMemory {
  bool AutoSaveEnabled = false;
  bool ShowAfterSnap = false;
  std::string AutoSaveDir;
  std::string AutoSaveExtension;
};

struct SharedState {
  // False while the picture area holds a capture by the "Screen" or
  // "Window" button that has not been saved.
  bool ImageSaved = false;
  // The delay of the "Screen" and "Window" buttons.
  std::int16_t CaptureDelaySeconds = 0;
  // The number in the next automatic save's file name. Wider than a 16-bit
  // counter, so a long session never overflows it.
  std::int64_t AutoSaveCounter = 0;
  // The file Save last wrote; Mail offers it.
  std::string LastSavedPath;
  OptionsMemory options;
};

}  // namespace fw
