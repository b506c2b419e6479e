// What the main window answers when the user logs off or the system shuts
// down while a capture is unsaved, and the reason it leaves with the system
// for holding the end up. Plain C++.
//
// The unsaved-image prompt runs as for Exit. Backing out of its Save
// dialog, or a save that failed, keeps the session from ending: the user
// chose to keep the picture and it is not saved. While the prompt is open
// (for Exit, New or an earlier question) the answer is "not yet". While
// the question is open, and after such a refusal, the system's screen of
// programs that prevent signing out or shutting down shows the program
// with a short reason.
#pragma once

#include <vector>

#include "image/save_rules.h"

namespace fw::session {

enum class BlockReason {
  None,      // nothing holds the end of the session up
  Asking,    // the unsaved-image prompt (or its Save dialog) is open
  NotSaved,  // the user backed out of the Save dialog
};

// The reason as the system shows it; null for None.
const wchar_t* ReasonText(BlockReason reason);

// While the prompt asks (it asks only about an unsaved capture).
BlockReason WhileAsking(bool imageSaved);

// What the main window does when the system asks whether the session may
// end, in this order.
enum class Step {
  ShowWindow,  // show the main window (from the notification area too)
  GiveReason,  // register the reason WhileAsking gives
  Ask,         // run the unsaved-image prompt and answer after it
};

// With an unsaved capture the window shows first: the system lets no
// program without a visible window hold the session up, so a reason given,
// or a refusal made, while the program sits hidden in the notification
// area would count for nothing; the reason then stands before the question
// opens, so the system's screen can name it while the user decides.
// Nothing unsaved: nothing is shown or given, and the prompt answers at
// once.
std::vector<Step> QuerySteps(bool imageSaved);

struct Answer {
  bool sessionMayEnd = true;
  BlockReason reason = BlockReason::None;  // left registered; None withdraws it
};

// After the prompt has ended with `outcome`.
Answer AfterPrompt(PromptOutcome outcome);

// Asked while the prompt is open already (the user cancelled the system's
// screen and signed out again, or Exit or New is asking): no answer yet,
// so not yet.
Answer WhileTheQuestionIsOpen();

}  // namespace fw::session
