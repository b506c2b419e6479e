// The program-wide shared state: one instance of each item, for the whole
// run. Plain C++.
#pragma once

#include <cstdint>
#include <string>

namespace fw {

// False while the picture area holds a capture by the "Screen" or "Window"
// button that has not been saved.
extern bool ImageSaved;
// The delay of the "Screen" and "Window" buttons.
extern std::int16_t CaptureDelaySeconds;
// The number in the next automatic save's file name. Wider than a 16-bit
// counter, so a long session never overflows it.
extern std::int64_t AutoSaveCounter;
// The file Save last wrote; Mail offers it.
extern std::string LastSavedPath;

// The Options dialog's memory of its settings between its loads.
extern bool AutoSaveEnabled;
extern bool ShowAfterSnap;
extern std::string AutoSaveDir;
extern std::string AutoSaveExtension;

}  // namespace fw
