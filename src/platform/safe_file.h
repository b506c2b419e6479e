// Writing a whole file so that a failure never damages what was there: the
// bytes go to a new file beside the target, which then replaces the target
// in one step. A read-only target, a directory of that name, a missing
// directory or a full disk leave the target as it was and no file behind.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace fw {

struct FileWriteResult {
  bool ok = false;
  DWORD error = 0;  // the Windows error code on failure
};

FileWriteResult WriteWholeFile(const std::string& path, std::string_view bytes);

// The system's words for an error code ("Access denied."), or its number.
std::string ErrorText(DWORD error);

}  // namespace fw
