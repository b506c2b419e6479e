// Writing a file so that a failure never damages what was there: the bytes
// go to a new file beside the target, which then replaces the target in one
// step. A read-only target, a directory of that name, a missing directory
// or a full disk leave the target as it was and no file behind.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/handles.h"

namespace fw {

struct FileWriteResult {
  bool ok = false;
  DWORD error = 0;  // the Windows error code on failure
};

// A file being written in pieces; it replaces its target only on Commit.
// Until then (and when anything fails) the target is untouched, and the new
// file is removed when the object goes.
class ReplacingFile {
 public:
  explicit ReplacingFile(const std::string& path);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // False once anything has failed; error() tells what.
  bool ok() const { return error_ == 0; }
  DWORD error() const { return error_; }
  bool Write(std::string_view bytes);
  // Flushes the new file and puts it in the target's place.
  FileWriteResult Commit();

 private:
  bool Fail(DWORD error);
  std::string target_;
  std::string temp_;
  UniqueFile file_;
  DWORD error_ = 0;
  bool committed_ = false;
};

FileWriteResult WriteWholeFile(const std::string& path, std::string_view bytes);

// The system's words for an error code ("Access denied."), or its number.
std::string ErrorText(DWORD error);

}  // namespace fw
