// File names as Windows treats them, and the names of the temporary files
// the program writes before a file takes its final name. Plain C++.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fw::files {

// The name a file gets when it is created under `path`: Windows drops the
// dots and spaces at the end of the last part of a path ("shot.bmp. " is
// written as "shot.bmp"). A path that ends with a separator, or whose last
// part is "." or "..", is returned as it is. Nothing when no name is left
// ("...", "C:\dir\ .").
std::optional<std::string> NameWindowsGives(std::string_view path);

// `directory` and `name` joined by one separator.
std::string JoinPath(std::string_view directory, std::string_view name);

// The temporary files: "~fw", sixteen lower-case hexadecimal digits of a
// random number, ".tmp".
std::string TempFileName(std::uint64_t random);
// Whether a file name is exactly of that form (another program's file that
// only looks alike is never taken for one).
bool IsTempFileName(std::string_view name);
// What a directory search for the temporary files asks for; what it
// finds still goes through IsTempFileName.
inline constexpr const char* kTempFilePattern = "~fw*.tmp";

// ---- how long a name may be ----

// The length of UTF-8 text in UTF-16 code units, as Windows counts the
// characters of a name (a character beyond U+FFFF counts twice). A byte
// that does not belong to UTF-8 counts once.
std::size_t Utf16Length(std::string_view utf8);

// Windows' limits, in UTF-16 code units: one part of a path (a folder's or
// a file's name) has at most 255; a whole path at most 259 (MAX_PATH with
// its NUL), or 32767 where long paths work.
inline constexpr std::size_t kMaxNamePart = 255;
inline constexpr std::size_t kMaxShortPath = 259;
inline constexpr std::size_t kMaxLongPath = 32767;

// Whether paths beyond MAX_PATH work for this program: Windows 10 1607
// (build 14393) and later, when the policy "Enable Win32 long paths"
// (LongPathsEnabled, 1) is set; the program's manifest says it is aware of
// them. `policy` is that value, nothing when it is not set.
struct WindowsVersion {
  unsigned long major = 0;
  unsigned long minor = 0;
  unsigned long build = 0;
};
bool LongPathsWork(const WindowsVersion& version, std::optional<unsigned long> policy);

// Whether Windows cannot take `path` (a full path, UTF-8) as a file's or
// folder's name: one of its parts is longer than 255, or the whole path
// longer than the limit that holds (259, or 32767 with long paths).
bool NameTooLong(std::string_view path, bool longPaths);

// What a failure because of that says; the system's error code for it is
// ERROR_FILENAME_EXCED_RANGE.
inline constexpr std::string_view kNameTooLongText =
    "The name is too long for Windows. A file or folder name can have up to 255 characters, and the whole path "
    "up to 259 where Windows does not have long paths turned on.";
inline constexpr unsigned long kNameTooLongError = 206;

}  // namespace fw::files
