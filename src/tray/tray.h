// Hiding the program in the notification area.
#pragma once

namespace fw {

void Command6_Click();  // "Tray"

}  // namespace fw
