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

struct Answer {
  bool sessionMayEnd = true;
  BlockReason reason = BlockReason::None;  // left registered; None withdraws it
  // The system lets no program without a visible window refuse the end of
  // the session; a program hidden in the notification area comes back,
  // with the picture the user chose to keep.
  bool showWindow = false;
};

// After the prompt has ended with `outcome`.
Answer AfterPrompt(PromptOutcome outcome);

// Asked while the prompt is open already (the user cancelled the system's
// screen and signed out again, or Exit or New is asking): no answer yet,
// so not yet.
Answer WhileTheQuestionIsOpen();

}  // namespace fw::session
