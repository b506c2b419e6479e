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
  SaveFailed,       // OK, a file was chosen, writing it failed (the user is told why)
  AlreadyAsking,    // the prompt is open already, for another command or the system: nothing asked twice
};

// New clears the picture area after these outcomes only.
inline bool NewClearsPicture(PromptOutcome o) {
  return o == PromptOutcome::NothingToAsk || o == PromptOutcome::Discarded || o == PromptOutcome::Saved;
}

// Closing the main window goes on only when nothing unsaved is lost: the
// user discarded the picture, saved it, or there was nothing to ask. When
// the user backed out of the Save dialog, or the picture could not be
// written, the window stays open with its unsaved picture; when the prompt
// is open already, its answer decides.
inline bool ExitMayContinue(PromptOutcome o) {
  return o == PromptOutcome::NothingToAsk || o == PromptOutcome::Discarded || o == PromptOutcome::Saved;
}

inline constexpr std::string_view kPromptDialogFailedText =
    "The Save dialog could not be opened, so the picture was not saved.";

// The message for a save from the prompt that failed; `pictureShown`: the
// picture area still holds the picture (and the message says so).
std::string PromptSaveFailedText(const std::string& path, const std::string& reason, bool pictureShown);

inline constexpr std::string_view kImageFileFilter =
    "Bmp (*.bmp)|*.bmp|Gif (*.gif)|*.gif|Jpeg (*.jpeg;*.jpg)|*.jpeg;*.jpg;*.jpe;*.jfif|TIFF (*.tiff;*.tif)|"
    "*.tiff;*.tif|Png (*.png)|*.png";

// The filter in the form the Save dialog takes: pieces separated by NUL,
// ended by two NULs.
std::string DialogFilter(std::string_view filter);

}  // namespace fw
