#include "image/save.h"

#include "app/shared_state.h"

namespace fw {

void Command4_Click() {}

void New_Click() {}

PromptOutcome PromptToSave() {
  return PromptOutcome::NothingToAsk;
}

}  // namespace fw
