#include "platform/safe_file.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "platform/file_name_rules.h"
#include "platform/lazy_library.h"
#include "platform/text.h"

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

static_assert(files::kNameTooLongError == ERROR_FILENAME_EXCED_RANGE);

// A name Windows cannot take: refused before the system is asked, so that
// the failure says why (past MAX_PATH, Windows without long paths answers
// "path not found").
bool TooLong(const std::string& path) {
  return files::NameTooLong(path, LongPathsWork());
}

// The Windows version as it is, whatever compatibility the program asks for.
files::WindowsVersion RunningVersion() {
  using RtlGetVersionFn = LONG WINAPI(OSVERSIONINFOW*);
  static auto* getVersion = lazy::Function<RtlGetVersionFn>("ntdll.dll", "RtlGetVersion");
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!getVersion || getVersion(&info) != 0) return {};
  return {info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
}

// The "Enable Win32 long paths" policy, when it is set.
std::optional<unsigned long> LongPathsPolicy() {
  HKEY opened = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\FileSystem", 0, KEY_QUERY_VALUE,
                      &opened) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  UniqueHKey key(opened);
  DWORD type = 0, value = 0, size = sizeof value;
  if (::RegQueryValueExW(key.get(), L"LongPathsEnabled", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof value) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

bool LongPathsWork() {
  // Windows reads the policy once for each process, at its first use of a
  // path: so does the program.
  static const bool work = files::LongPathsWork(RunningVersion(), LongPathsPolicy());
  return work;
}

NewFile::NewFile(const std::string& directory) {
  RemoveLeftoverTempFiles(directory);
  // Every temporary name has the same length.
  if (TooLong(files::JoinPath(directory, files::TempFileName(0)))) {
    Fail(ERROR_FILENAME_EXCED_RANGE);
    return;
  }
  for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
    std::string path = files::JoinPath(directory, files::TempFileName(RandomBits()));
    // Nobody else may open it while it is written.
    UniqueFile file(::CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
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
  if (!named_ && !temp_.empty()) ::DeleteFileW(Widen(temp_).c_str());
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
  if (TooLong(target)) return Fail(ERROR_FILENAME_EXCED_RANGE);
  std::wstring from = Widen(temp_), to = Widen(target);
  // Another program (a viewer, a virus scanner) may hold the target open
  // for a moment: try again briefly before giving up.
  for (int attempt = 0;; ++attempt) {
    if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) break;
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
  if (TooLong(target)) {
    Fail(ERROR_FILENAME_EXCED_RANGE);
    return Naming::Failed;
  }
  std::wstring to = Widen(target);
  // Without MOVEFILE_REPLACE_EXISTING the move fails when the name exists,
  // in the same step that would give it: no other writer can slip in.
  if (::MoveFileExW(Widen(temp_).c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) {
    named_ = true;
    return Naming::Named;
  }
  DWORD error = ::GetLastError();
  if (IsExistsError(error)) return Naming::Taken;
  // A directory of that name may be refused as "access denied" instead.
  if (error == ERROR_ACCESS_DENIED && ::GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES) {
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
  // The full path, however long (the system says how much room it needs).
  std::wstring wide = Widen(*name);
  std::wstring full(MAX_PATH, L'\0');
  wchar_t* namePart = nullptr;
  DWORD n = 0;
  for (int attempt = 0; attempt < 2; ++attempt) {
    n = ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), &namePart);
    if (n < full.size()) break;
    full.assign(n + 1, L'\0');
  }
  if (n == 0 || n >= full.size()) {
    dest.error = n == 0 ? ::GetLastError() : ERROR_FILENAME_EXCED_RANGE;
    if (dest.error == 0) dest.error = ERROR_INVALID_NAME;
    return dest;
  }
  if (!namePart || !*namePart) {
    dest.error = ERROR_INVALID_NAME;  // a directory, not a file name
    return dest;
  }
  std::size_t nameAt = static_cast<std::size_t>(namePart - full.data());
  dest.path = Narrow(std::wstring_view(full.data(), n));
  dest.directory = Narrow(std::wstring_view(full.data(), nameAt));
  if (TooLong(dest.path)) {
    dest.error = ERROR_FILENAME_EXCED_RANGE;
    return dest;
  }
  // What is there already must be a writable file (or nothing).
  DWORD attr = ::GetFileAttributesW(Widen(dest.path).c_str());
  if (attr != INVALID_FILE_ATTRIBUTES && (attr & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) {
    dest.error = ERROR_ACCESS_DENIED;  // a folder of that name, or a read-only file
    return dest;
  }
  DWORD dirAttr = ::GetFileAttributesW(Widen(dest.directory).c_str());
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
  std::wstring search = Widen(files::JoinPath(directory, pattern));
  WIN32_FIND_DATAW fd{};
  // Without the short names, and in large batches: quicker on a network
  // share and in a folder of many files.
  UniqueFind find(::FindFirstFileExW(search.c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH));
  if (!find && ::GetLastError() == ERROR_INVALID_PARAMETER) find.reset(::FindFirstFileW(search.c_str(), &fd));
  if (!find) {
    DWORD e = ::GetLastError();
    if (e == ERROR_FILE_NOT_FOUND || e == ERROR_NO_MORE_FILES) return true;
    error = e ? e : ERROR_PATH_NOT_FOUND;
    return false;
  }
  do {
    std::wstring_view name(fd.cFileName);
    if (name != L"." && name != L"..") names.push_back(Narrow(name));
  } while (::FindNextFileW(find.get(), &fd));
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
    std::wstring wide = Widen(path);
    DWORD attr = ::GetFileAttributesW(wide.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES || (attr & FILE_ATTRIBUTE_DIRECTORY)) continue;
    // Opened for nobody else to share, and deleted when closed: a file
    // that anyone has open (another copy of the program writing it) cannot
    // be opened so, and stays.
    UniqueFile doomed(
        ::CreateFileW(wide.c_str(), DELETE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  }
}

std::string ErrorText(DWORD error) {
  // The system's words ("The filename or extension is too long.") would
  // not say which limit a name passed.
  if (error == ERROR_FILENAME_EXCED_RANGE) return std::string(files::kNameTooLongText);
  wchar_t* text = nullptr;
  DWORD n =
      ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  std::string out;
  if (n && text) {
    out = Narrow(std::wstring_view(text, n));
    ::LocalFree(text);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ')) out.pop_back();
  }
  if (out.empty()) out = "Error " + std::to_string(error) + ".";
  return out;
}

}  // namespace fw
