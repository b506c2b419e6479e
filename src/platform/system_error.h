// The system's own words for a Windows error code.
#pragma once

#include <string>

namespace fw {

// The message the system has for `code` ("Access is denied."), with the
// code itself when it has none.
std::string SystemErrorText(unsigned long code);

}  // namespace fw
