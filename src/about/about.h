// The help page and the Version Info window.
#pragma once

namespace fw {

void he_Click();       // Help > Help
void version_Click();  // Help > Version Info

}  // namespace fw
