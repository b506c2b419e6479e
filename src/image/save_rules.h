// The outcomes of the unsaved-image prompt and what New and exit do with
// them; the Save dialog's filter. Plain C++.
#pragma once

#include <string>
#include <string_view>

namespace fw {

enum class PromptOutcome {
  NothingToAsk,     // the picture was saved (or never captured)
  Discarded,        // the user chose Cancel
  Saved,            // OK, a file was chosen and written
  DialogCancelled,  // OK, then the Save dialog was cancelled
  SaveFailed,       // OK, a file was chosen, writing it failed
};

// New clears the picture area after these outcomes only.
inline bool NewClearsPicture(PromptOutcome o) {
  return o == PromptOutcome::NothingToAsk || o == PromptOutcome::Discarded || o == PromptOutcome::Saved;
}

// Closing the main window goes on unless the user backed out of the Save
// dialog: then the window stays open with its unsaved picture.
inline bool ExitMayContinue(PromptOutcome o) {
  return o != PromptOutcome::DialogCancelled;
}

inline constexpr std::string_view kImageFileFilter =
    "Bmp (*.bmp)|*.bmp|Gif (*.gif)|*.gif|Jpeg (*.jpeg;*.jpg)|*.jpeg;*.jpg;*.jpe;*.jfif|TIFF (*.tiff;*.tif)|"
    "*.tiff;*.tif|Png (*.png)|*.png";

// The filter in the form the Save dialog takes: pieces separated by NUL,
// ended by two NULs.
std::string DialogFilter(std::string_view filter);

}  // namespace fw
