// Handing the last saved image to the default mail program.
#pragma once

namespace fw {

void Command10_Click();  // "Mail"

}  // namespace fw
