// Writing files so that no name ever shows a partial file: the bytes go to
// a new file beside the target, under a temporary name of its own, and that
// file takes its final name in one step once it is whole. A failure, or the
// program ending half-way, leaves any earlier file of that name as it was;
// a temporary file left by a program that ended half-way is removed at the
// next save into that directory. Paths are UTF-8; a name Windows cannot
// take (see files::NameTooLong) fails with ERROR_FILENAME_EXCED_RANGE
// before anything is written, and ErrorText says so.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/handles.h"

#include "platform/handles.h"

namespace fw {

struct FileWriteResult {
  bool ok = false;
  DWORD error = 0;   // the Windows error code on failure
  std::string path;  // the file written: its full name as Windows gives it
};

// A new file in `directory`, created once under a temporary name that
// nobody can guess ("~fw" + random hexadecimal digits + ".tmp") and written,
// flushed and closed through that one handle. Once finished it takes its
// final name with Replace or TakeName; until then, and if it never does, it
// is removed when the object goes. Creating one first removes the temporary
// files of that form that an earlier run left in the directory and nobody
// has open.
class NewFile {
 public:
  explicit NewFile(const std::string& directory);
  ~NewFile();
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;

  // False once anything has failed; error() tells what.
  bool ok() const { return error_ == 0; }
  DWORD error() const { return error_; }
  bool Write(std::string_view bytes);
  // For writers that go back over what they wrote (an encoder filling in
  // offsets it learns later): where the next Write goes, from the start,
  // and reading back what is there. Until Finish.
  bool SeekTo(std::uint64_t position);
  bool Read(void* buffer, DWORD size, DWORD& got);
  // Flushes the file to disk and closes it. True when all of it is there.
  bool Finish();
  // The finished file takes the name `target` (a full path) in one step,
  // replacing a file of that name. Another program holding the target
  // open for a moment is waited for briefly.
  bool Replace(const std::string& target);

  enum class Naming {
    Named,   // the file has the name now
    Taken,   // something else has that name; the file keeps its own
    Failed,  // the name cannot be given (error() tells why)
  };
  // The finished file takes the name `target` only when nothing has that
  // name: an existing file is never replaced, even one created a moment
  // before by another program.
  Naming TakeName(const std::string& target);

  const std::string& tempPath() const { return temp_; }

 private:
  bool Fail(DWORD error);
  std::string temp_;
  UniqueFile file_;
  DWORD error_ = 0;
  bool finished_ = false;
  bool named_ = false;
};

// Where a file written under `path` goes: the name Windows gives it (trailing
// dots and spaces dropped) as a full path, and its directory. `error` is
// set when nothing can be written there: no name, a directory of that name,
// a read-only file, a missing directory.
struct FileDestination {
  std::string path;
  std::string directory;
  DWORD error = 0;
};
FileDestination DestinationOf(const std::string& path);

// Writes `bytes` as the file `path`, replacing a file of that name only once
// the new one is whole.
FileWriteResult WriteWholeFile(const std::string& path, std::string_view bytes);

// The names (files and directories) in `directory` that match `pattern`,
// found with one directory search. False, with the error, when the
// directory cannot be searched; finding nothing is not a failure.
bool ListNames(const std::string& directory, const char* pattern, std::vector<std::string>& names, DWORD& error);

// Removes the temporary files an earlier run left in `directory`: only
// names of exactly the program's form, and only files nobody has open (one
// that another running copy is writing stays).
void RemoveLeftoverTempFiles(const std::string& directory);

// The system's words for an error code ("Access denied."), or its number;
// for ERROR_FILENAME_EXCED_RANGE the program's own, which say the name is
// too long and what the limits are.
std::string ErrorText(DWORD error);

// Whether paths beyond MAX_PATH work in this process (Windows 10 1607 and
// later with the long-paths policy set; the manifest declares the program
// aware of them).
bool LongPathsWork();

}  // namespace fw
