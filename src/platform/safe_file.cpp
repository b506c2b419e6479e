#include "platform/safe_file.h"

#include <algorithm>

namespace fw {

ReplacingFile::ReplacingFile(const std::string& path) {
  if (path.empty()) {
    Fail(ERROR_INVALID_NAME);
    return;
  }
  char full[MAX_PATH * 2];
  char* namePart = nullptr;
  DWORD n = ::GetFullPathNameA(path.c_str(), sizeof full, full, &namePart);
  if (n == 0 || n >= sizeof full) {
    Fail(n == 0 ? ::GetLastError() : ERROR_FILENAME_EXCED_RANGE);
    return;
  }
  if (!namePart || !*namePart) {
    Fail(ERROR_INVALID_NAME);  // a directory, not a file name
    return;
  }
  target_ = full;
  std::string dir(full, static_cast<std::size_t>(namePart - full));

  // What is there already must be a writable file (or nothing).
  DWORD attr = ::GetFileAttributesA(target_.c_str());
  if (attr != INVALID_FILE_ATTRIBUTES && (attr & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) {
    Fail(ERROR_ACCESS_DENIED);  // a folder of that name, or a read-only file
    return;
  }
  DWORD dirAttr = ::GetFileAttributesA(dir.c_str());
  if (dirAttr == INVALID_FILE_ATTRIBUTES || !(dirAttr & FILE_ATTRIBUTE_DIRECTORY)) {
    Fail(ERROR_PATH_NOT_FOUND);
    return;
  }
  char tempName[MAX_PATH * 2];
  if (!::GetTempFileNameA(dir.c_str(), "fw~", 0, tempName)) {
    Fail(::GetLastError());
    return;
  }
  temp_ = tempName;
  file_.reset(::CreateFileA(temp_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file_) Fail(::GetLastError());
}

ReplacingFile::~ReplacingFile() {
  file_.reset();
  if (!committed_ && !temp_.empty()) ::DeleteFileA(temp_.c_str());
}

bool ReplacingFile::Fail(DWORD error) {
  if (error_ == 0) error_ = error ? error : ERROR_WRITE_FAULT;
  return false;
}

bool ReplacingFile::Write(std::string_view bytes) {
  if (!ok()) return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    DWORD put = 0;
    if (!::WriteFile(file_.get(), bytes.data() + done, chunk, &put, nullptr)) return Fail(::GetLastError());
    if (put == 0) return Fail(ERROR_DISK_FULL);
    done += put;
  }
  return true;
}

FileWriteResult ReplacingFile::Commit() {
  if (ok() && !::FlushFileBuffers(file_.get())) Fail(::GetLastError());
  // Closed here, so that a failing close is seen.
  if (file_ && !::CloseHandle(file_.release())) Fail(::GetLastError());
  if (!ok()) return FileWriteResult{false, error_};
  // Another program (a viewer, a virus scanner) may hold the target open
  // for a moment: try again briefly before giving up.
  for (int attempt = 0;; ++attempt) {
    if (::MoveFileExA(temp_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) break;
    DWORD error = ::GetLastError();
    bool busy = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
    if (!busy || attempt >= 20) {
      Fail(error);
      return FileWriteResult{false, error_};
    }
    ::Sleep(25);
  }
  committed_ = true;
  return FileWriteResult{true, 0};
}

FileWriteResult WriteWholeFile(const std::string& path, std::string_view bytes) {
  ReplacingFile file(path);
  file.Write(bytes);
  return file.Commit();
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
