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

}  // namespace fw::files
