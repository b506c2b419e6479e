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

std::vector<Step> QuerySteps(bool imageSaved) {
  if (imageSaved) return {Step::Ask};
  return {Step::ShowWindow, Step::GiveReason, Step::Ask};
}

Answer AfterPrompt(PromptOutcome outcome) {
  switch (outcome) {
    case PromptOutcome::DialogCancelled:
    case PromptOutcome::SaveFailed:
      // The user kept the picture, and it is not saved.
      return Answer{.sessionMayEnd = false, .reason = BlockReason::NotSaved};
    case PromptOutcome::AlreadyAsking: return WhileTheQuestionIsOpen();
    case PromptOutcome::NothingToAsk:
    case PromptOutcome::Discarded:
    case PromptOutcome::Saved: break;
  }
  return Answer{};
}

Answer WhileTheQuestionIsOpen() {
  return Answer{.sessionMayEnd = false, .reason = BlockReason::Asking};
}

}  // namespace fw::session
