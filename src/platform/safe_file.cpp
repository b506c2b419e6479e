#include "platform/safe_file.h"

#include <vector>

#include "platform/handles.h"

namespace fw {
namespace {

FileWriteResult Fail(DWORD error) {
  return FileWriteResult{false, error ? error : ERROR_WRITE_FAULT};
}

// Deletes the temporary file unless the write went through.
class TempFile {
 public:
  explicit TempFile(std::string path) : path_(std::move(path)) {}
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile() {
    if (!kept_) ::DeleteFileA(path_.c_str());
  }
  const std::string& path() const { return path_; }
  void Keep() { kept_ = true; }

 private:
  std::string path_;
  bool kept_ = false;
};

}  // namespace

FileWriteResult WriteWholeFile(const std::string& path, std::string_view bytes) {
  if (path.empty()) return Fail(ERROR_INVALID_NAME);
  char full[MAX_PATH * 2];
  char* namePart = nullptr;
  DWORD n = ::GetFullPathNameA(path.c_str(), sizeof full, full, &namePart);
  if (n == 0 || n >= sizeof full) return Fail(n == 0 ? ::GetLastError() : ERROR_FILENAME_EXCED_RANGE);
  if (!namePart || !*namePart) return Fail(ERROR_INVALID_NAME);  // a directory, not a file name
  std::string target(full);
  std::string dir(full, static_cast<std::size_t>(namePart - full));

  // What is there already must be a writable file (or nothing).
  DWORD attr = ::GetFileAttributesA(target.c_str());
  if (attr != INVALID_FILE_ATTRIBUTES) {
    if (attr & FILE_ATTRIBUTE_DIRECTORY) return Fail(ERROR_ACCESS_DENIED);  // a folder of that name
    if (attr & FILE_ATTRIBUTE_READONLY) return Fail(ERROR_ACCESS_DENIED);
  }
  DWORD dirAttr = ::GetFileAttributesA(dir.c_str());
  if (dirAttr == INVALID_FILE_ATTRIBUTES || !(dirAttr & FILE_ATTRIBUTE_DIRECTORY)) return Fail(ERROR_PATH_NOT_FOUND);

  char tempName[MAX_PATH * 2];
  if (!::GetTempFileNameA(dir.c_str(), "fw~", 0, tempName)) return Fail(::GetLastError());
  TempFile temp(tempName);

  {
    UniqueFile file(
        ::CreateFileA(temp.path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return Fail(::GetLastError());
    std::size_t done = 0;
    while (done < bytes.size()) {
      DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
      DWORD put = 0;
      if (!::WriteFile(file.get(), bytes.data() + done, chunk, &put, nullptr)) return Fail(::GetLastError());
      if (put == 0) return Fail(ERROR_DISK_FULL);
      done += put;
    }
    if (!::FlushFileBuffers(file.get())) return Fail(::GetLastError());
  }
  // Another program (a viewer, a virus scanner) may hold the target open
  // for a moment: try again briefly before giving up.
  for (int attempt = 0;; ++attempt) {
    if (::MoveFileExA(temp.path().c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) break;
    DWORD error = ::GetLastError();
    bool busy = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
    if (!busy || attempt >= 20) return Fail(error);
    ::Sleep(25);
  }
  temp.Keep();
  return FileWriteResult{true, 0};
}

std::string ErrorText(DWORD error) {
  char* text = nullptr;
  DWORD n =
      ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
  std::string out;
  if (n && text) {
    out.assign(text, n);
    ::LocalFree(text);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ')) out.pop_back();
  }
  if (out.empty()) out = "Error " + std::to_string(error) + ".";
  return out;
}

}  // namespace fw
