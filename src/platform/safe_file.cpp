#include "platform/safe_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/file_name_rules.h"
#include "platform/lazy_library.h"

namespace fw {
namespace {

// New temporary names tried when one exists already.
constexpr int kTempNameAttempts = 16;
// How long Replace waits for a target another program holds open.
constexpr int kReplaceAttempts = 20;
constexpr DWORD kReplaceWaitMs = 25;

typedef LONG WINAPI GenRandomFn(void* algorithm, PUCHAR buffer, ULONG size, ULONG flags);
typedef BOOLEAN WINAPI RtlGenRandomFn(PVOID buffer, ULONG size);
constexpr ULONG kUseSystemPreferredRng = 0x00000002;  // BCRYPT_USE_SYSTEM_PREFERRED_RNG

std::uint64_t Mix(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

// 64 bits from the system's random number generator; where it cannot be
// had, from the clock and the process (the names still never clash, since
// files are created only when new).
std::uint64_t RandomBits() {
  std::uint64_t value = 0;
  static auto* bcrypt = lazy::Function<GenRandomFn>("bcrypt.dll", "BCryptGenRandom");
  if (bcrypt && bcrypt(nullptr, reinterpret_cast<PUCHAR>(&value), sizeof value, kUseSystemPreferredRng) >= 0) {
    return value;
  }
  static auto* rtl = lazy::Function<RtlGenRandomFn>("advapi32.dll", "SystemFunction036");
  if (rtl && rtl(&value, sizeof value)) return value;
  static std::uint64_t calls = 0;
  LARGE_INTEGER now{};
  ::QueryPerformanceCounter(&now);
  return Mix(static_cast<std::uint64_t>(now.QuadPart) ^ (std::uint64_t{::GetCurrentProcessId()} << 32) ^
             Mix(::GetTickCount64() + ++calls));
}

bool IsExistsError(DWORD error) {
  return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

}  // namespace

NewFile::NewFile(const std::string& directory) {
  RemoveLeftoverTempFiles(directory);
  for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
    std::string path = files::JoinPath(directory, files::TempFileName(RandomBits()));
    // Nobody else may open it while it is written.
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) {
      temp_ = std::move(path);
      file_ = std::move(file);
      return;
    }
    DWORD error = ::GetLastError();
    if (!IsExistsError(error)) {
      Fail(error);
      return;
    }
  }
  Fail(ERROR_FILE_EXISTS);
}

NewFile::~NewFile() {
  file_.reset();
  if (!named_ && !temp_.empty()) ::DeleteFileA(temp_.c_str());
}

bool NewFile::Fail(DWORD error) {
  if (error_ == 0) error_ = error ? error : ERROR_WRITE_FAULT;
  return false;
}

bool NewFile::Write(std::string_view bytes) {
  if (!ok()) return false;
  if (finished_) return Fail(ERROR_INVALID_HANDLE);
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

bool NewFile::SeekTo(std::uint64_t position) {
  if (!ok()) return false;
  if (finished_) return Fail(ERROR_INVALID_HANDLE);
  LARGE_INTEGER to{};
  to.QuadPart = static_cast<LONGLONG>(position);
  if (!::SetFilePointerEx(file_.get(), to, nullptr, FILE_BEGIN)) return Fail(::GetLastError());
  return true;
}

bool NewFile::Read(void* buffer, DWORD size, DWORD& got) {
  got = 0;
  if (!ok()) return false;
  if (finished_) return Fail(ERROR_INVALID_HANDLE);
  if (!::ReadFile(file_.get(), buffer, size, &got, nullptr)) return Fail(::GetLastError());
  return true;
}

bool NewFile::Finish() {
  if (finished_) return ok();
  finished_ = true;
  if (ok() && !::FlushFileBuffers(file_.get())) Fail(::GetLastError());
  if (file_ && !::CloseHandle(file_.release())) Fail(::GetLastError());
  return ok();
}

bool NewFile::Replace(const std::string& target) {
  if (!Finish()) return false;
  if (named_) return Fail(ERROR_INVALID_FUNCTION);
  // Another program (a viewer, a virus scanner) may hold the target open
  // for a moment: try again briefly before giving up.
  for (int attempt = 0;; ++attempt) {
    if (::MoveFileExA(temp_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) break;
    DWORD error = ::GetLastError();
    bool busy = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
    if (!busy || attempt >= kReplaceAttempts) return Fail(error);
    ::Sleep(kReplaceWaitMs);
  }
  named_ = true;
  return true;
}

NewFile::Naming NewFile::TakeName(const std::string& target) {
  if (!Finish()) return Naming::Failed;
  if (named_) {
    Fail(ERROR_INVALID_FUNCTION);
    return Naming::Failed;
  }
  // Without MOVEFILE_REPLACE_EXISTING the move fails when the name exists,
  // in the same step that would give it: no other writer can slip in.
  if (::MoveFileExA(temp_.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
    named_ = true;
    return Naming::Named;
  }
  DWORD error = ::GetLastError();
  if (IsExistsError(error)) return Naming::Taken;
  // A directory of that name may be refused as "access denied" instead.
  if (error == ERROR_ACCESS_DENIED && ::GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
    return Naming::Taken;
  }
  Fail(error);
  return Naming::Failed;
}

FileDestination DestinationOf(const std::string& path) {
  FileDestination dest;
  std::optional<std::string> name = files::NameWindowsGives(path);
  if (!name || name->find('\0') != std::string::npos) {
    dest.error = ERROR_INVALID_NAME;
    return dest;
  }
  char full[MAX_PATH * 2];
  char* namePart = nullptr;
  DWORD n = ::GetFullPathNameA(name->c_str(), sizeof full, full, &namePart);
  if (n == 0 || n >= sizeof full) {
    dest.error = n == 0 ? ::GetLastError() : ERROR_FILENAME_EXCED_RANGE;
    if (dest.error == 0) dest.error = ERROR_INVALID_NAME;
    return dest;
  }
  if (!namePart || !*namePart) {
    dest.error = ERROR_INVALID_NAME;  // a directory, not a file name
    return dest;
  }
  dest.path.assign(full, n);
  dest.directory.assign(full, static_cast<std::size_t>(namePart - full));
  // What is there already must be a writable file (or nothing).
  DWORD attr = ::GetFileAttributesA(dest.path.c_str());
  if (attr != INVALID_FILE_ATTRIBUTES && (attr & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) {
    dest.error = ERROR_ACCESS_DENIED;  // a folder of that name, or a read-only file
    return dest;
  }
  DWORD dirAttr = ::GetFileAttributesA(dest.directory.c_str());
  if (dirAttr == INVALID_FILE_ATTRIBUTES || !(dirAttr & FILE_ATTRIBUTE_DIRECTORY)) dest.error = ERROR_PATH_NOT_FOUND;
  return dest;
}

FileWriteResult WriteWholeFile(const std::string& path, std::string_view bytes) {
  FileDestination dest = DestinationOf(path);
  if (dest.error) return FileWriteResult{false, dest.error, dest.path};
  NewFile file(dest.directory);
  file.Write(bytes);
  if (!file.Replace(dest.path)) return FileWriteResult{false, file.error(), dest.path};
  return FileWriteResult{true, 0, dest.path};
}

bool ListNames(const std::string& directory, const char* pattern, std::vector<std::string>& names, DWORD& error) {
  names.clear();
  error = 0;
  std::string search = files::JoinPath(directory, pattern);
  WIN32_FIND_DATAA fd{};
  // Without the short names, and in large batches: quicker on a network
  // share and in a folder of many files.
  UniqueFind find(::FindFirstFileExA(search.c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH));
  if (!find && ::GetLastError() == ERROR_INVALID_PARAMETER) find.reset(::FindFirstFileA(search.c_str(), &fd));
  if (!find) {
    DWORD e = ::GetLastError();
    if (e == ERROR_FILE_NOT_FOUND || e == ERROR_NO_MORE_FILES) return true;
    error = e ? e : ERROR_PATH_NOT_FOUND;
    return false;
  }
  do {
    if (std::strcmp(fd.cFileName, ".") != 0 && std::strcmp(fd.cFileName, "..") != 0) names.emplace_back(fd.cFileName);
  } while (::FindNextFileA(find.get(), &fd));
  DWORD e = ::GetLastError();
  if (e != ERROR_NO_MORE_FILES && e != 0) {
    error = e;
    return false;
  }
  return true;
}

void RemoveLeftoverTempFiles(const std::string& directory) {
  std::vector<std::string> names;
  DWORD error = 0;
  if (!ListNames(directory, files::kTempFilePattern, names, error)) return;
  for (const std::string& name : names) {
    if (!files::IsTempFileName(name)) continue;
    std::string path = files::JoinPath(directory, name);
    DWORD attr = ::GetFileAttributesA(path.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES || (attr & FILE_ATTRIBUTE_DIRECTORY)) continue;
    // Opened for nobody else to share, and deleted when closed: a file
    // that anyone has open (another copy of the program writing it) cannot
    // be opened so, and stays.
    UniqueFile doomed(
        ::CreateFileA(path.c_str(), DELETE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  }
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
