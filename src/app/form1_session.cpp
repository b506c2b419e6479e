// The main window at the end of the session (logoff, shutdown) and after
// the shell has restarted.
#include "app/form1.h"

#include "app/session_rules.h"
#include "image/save.h"
#include "platform/shutdown_block.h"
#include "tray/tray.h"

namespace fw {

// Runs the unsaved-image prompt as Exit does. The answer is known only when
// the prompt ends, so the system's own screen of programs that hold the end
// up may come in the meantime; it then names what the program is waiting
// for. While the prompt is open already (for Exit, New or an earlier
// question), it is not asked a second time: the answer is "not yet".
// session::QuerySteps gives the steps and their order.
bool Form1::OnQueryEndSession(LPARAM /*reasons*/) {
  if (closing_) return true;
  PromptOutcome outcome = PromptOutcome::NothingToAsk;
  for (session::Step step : session::QuerySteps(state_.ImageSaved)) {
    switch (step) {
      case session::Step::ShowWindow: Show(); break;
      case session::Step::GiveReason:
        SetShutdownBlockReason(hwnd(), session::ReasonText(session::WhileAsking(state_.ImageSaved)));
        break;
      case session::Step::Ask: outcome = PromptToSave(*this, state_); break;
    }
  }
  if (!hwnd()) return true;  // the session ended while the prompt was open
  session::Answer answer = session::AfterPrompt(outcome);
  SetShutdownBlockReason(hwnd(), session::ReasonText(answer.reason));
  return answer.sessionMayEnd;
}

// Either way the end of the session is no longer held up. When it ends,
// the program ends with it and asks nothing more: the user has answered
// already, or the system goes on regardless.
void Form1::OnEndSession(bool ending, LPARAM /*reasons*/) {
  SetShutdownBlockReason(hwnd(), nullptr);
  if (!ending) return;
  closing_ = true;
  form4_.UnloadForGood();
  frmAbout_.Destroy();
  Destroy();
}

void Form1::OnTaskbarCreated() {
  AddTrayIconAgain();
}

}  // namespace fw
