#include "app/shared_state.h"

namespace fw {

bool ImageSaved = false;
std::int16_t CaptureDelaySeconds = 0;
std::int64_t AutoSaveCounter = 0;
std::string LastSavedPath;

bool AutoSaveEnabled = false;
bool ShowAfterSnap = false;
std::string AutoSaveDir;
std::string AutoSaveExtension;

}  // namespace fw
