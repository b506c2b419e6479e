// Logoff and shutdown with an unsaved capture: when the program holds the
// end of the session up, and the reason it leaves with the system.
#include <gtest/gtest.h>

#include <string>

#include "app/session_rules.h"

namespace fw::session {
namespace {

std::wstring Text(BlockReason reason) {
  const wchar_t* text = ReasonText(reason);
  return text ? std::wstring(text) : std::wstring();
}

TEST(SessionEnd, AKeptPictureThatIsNotSavedHoldsTheSessionUp) {
  // Backing out of the Save dialog, or a save that failed: the picture the
  // user chose to keep would be lost.
  for (PromptOutcome outcome : {PromptOutcome::DialogCancelled, PromptOutcome::SaveFailed}) {
    Answer refused = AfterPrompt(outcome);
    EXPECT_FALSE(refused.sessionMayEnd) << static_cast<int>(outcome);
    EXPECT_EQ(refused.reason, BlockReason::NotSaved) << static_cast<int>(outcome);
  }
  // The prompt is open already (for Exit, New or an earlier question): not
  // yet, with one question on the screen.
  Answer open = AfterPrompt(PromptOutcome::AlreadyAsking);
  EXPECT_FALSE(open.sessionMayEnd);
  EXPECT_EQ(open.reason, BlockReason::Asking);

  // Nothing to ask, discarded, saved: the session ends and no reason is
  // left behind.
  for (PromptOutcome outcome : {PromptOutcome::NothingToAsk, PromptOutcome::Discarded, PromptOutcome::Saved}) {
    Answer answer = AfterPrompt(outcome);
    EXPECT_TRUE(answer.sessionMayEnd) << static_cast<int>(outcome);
    EXPECT_EQ(answer.reason, BlockReason::None) << static_cast<int>(outcome);
  }
}

TEST(SessionEnd, WithAnUnsavedCaptureTheWindowShowsThenTheReasonStandsThenThePromptAsks) {
  // Windows lets no program without a visible window hold the session up:
  // hidden in the notification area, the window must be back before the
  // reason and the question count.
  EXPECT_EQ(QuerySteps(false), (std::vector<Step>{Step::ShowWindow, Step::GiveReason, Step::Ask}));
  // Nothing unsaved: no window brought back and no reason; the prompt
  // answers at once.
  EXPECT_EQ(QuerySteps(true), std::vector<Step>{Step::Ask});
}

TEST(SessionEnd, AReasonIsRegisteredOnlyWhileAskingOrRefusing) {
  // Nothing unsaved: no question, so nothing to give a reason for.
  EXPECT_EQ(WhileAsking(true), BlockReason::None);
  EXPECT_EQ(WhileAsking(false), BlockReason::Asking);
  // Asked again before the first question is answered: held up, still
  // asking.
  Answer again = WhileTheQuestionIsOpen();
  EXPECT_FALSE(again.sessionMayEnd);
  EXPECT_EQ(again.reason, BlockReason::Asking);

  // None withdraws the reason; the others are short (the system cuts them
  // after MAX_STR_BLOCKREASON, 256, characters, and users only glance).
  EXPECT_EQ(ReasonText(BlockReason::None), nullptr);
  for (BlockReason r : {BlockReason::Asking, BlockReason::NotSaved}) {
    EXPECT_FALSE(Text(r).empty());
    EXPECT_LT(Text(r).size(), 64u);
  }
}

}  // namespace
}  // namespace fw::session
