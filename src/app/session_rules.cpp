#include "app/session_rules.h"

namespace fw::session {

const wchar_t* ReasonText(BlockReason reason) {
  switch (reason) {
    case BlockReason::None: return nullptr;
    case BlockReason::Asking: return L"Asking whether to save the capture.";
    case BlockReason::NotSaved: return L"The capture has not been saved.";
  }
  return nullptr;
}

BlockReason WhileAsking(bool imageSaved) {
  return imageSaved ? BlockReason::None : BlockReason::Asking;
}

Answer AfterPrompt(PromptOutcome outcome) {
  if (outcome == PromptOutcome::DialogCancelled) {
    return Answer{.sessionMayEnd = false, .reason = BlockReason::NotSaved, .showWindow = true};
  }
  // Saved, discarded, nothing to ask, or a save that failed (as at Exit,
  // which goes on after a failed save too).
  return Answer{};
}

Answer WhileTheQuestionIsOpen() {
  return Answer{.sessionMayEnd = false, .reason = BlockReason::Asking, .showWindow = false};
}

}  // namespace fw::session
