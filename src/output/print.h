// Printing the picture on the default printer, fitted to the page.
#pragma once

namespace fw {

void Command11_Click();  // "Print"

}  // namespace fw
