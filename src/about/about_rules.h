// What the Help command opens, where the System Information tool is looked
// for, and how one registry value is turned into text. Plain C++.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "version.h"

namespace fw::about {

// The Version Info window's fixed texts.
inline constexpr std::string_view kCaption = "Version Info";
inline constexpr std::string_view kProductName = "Framewick";
inline constexpr std::string_view kVersionText = "Version " FW_VERSION_TEXT;
inline constexpr std::string_view kDescription = "A small screen capture utility for Windows";
inline constexpr std::string_view kSysInfoCaption = "&System Info...";
inline constexpr std::string_view kOkCaption = "OK";
inline constexpr std::string_view kSysInfoUnavailable = "System Information Is Unavailable At This Time";

// The help page beside the program; the separator is always added.
std::string HelpPagePath(const std::string& programDir);

// The two registry places of the System Information tool (under
// HKEY_LOCAL_MACHINE), tried in this order.
inline constexpr const char* kSysInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr const char* kSysInfoValue = "PATH";
inline constexpr const char* kSysInfoLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr const char* kSysInfoLocationValue = "MSINFO";
inline constexpr std::string_view kSysInfoExe = "\\MSINFO32.EXE";

// The key is opened for reading only (KEY_READ), and a value is read into
// a buffer of this many bytes (a longer value cannot be read). Asking for
// more (write access) is refused to standard users and to administrators
// without elevation, and the tool would always be "unavailable".
inline constexpr std::uint32_t kKeyAccess = 0x20019;
inline constexpr std::size_t kValueBufferSize = 1024;

// Registry value types the reader knows.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegDword = 4;

// The text of a value read into the buffer: its first `size` bytes, less the
// last one when that is a NUL (a string's terminator). Only that one NUL is
// dropped.
std::string ValueBytesToText(const char* buffer, std::size_t size);

// `value` as the reader leaves it for a value of `type` with `text`:
// REG_SZ gives the text; REG_DWORD gives "&h", then what `value` held, then
// the hexadecimal digits of each byte of the text from the last to the first
// (upper case, no leading zeros: 0, A, 1F), so the number 0x105, whose zero
// top byte the NUL rule dropped, reads &h015; any other type leaves `value`
// as it was.
std::string ValueForType(std::uint32_t type, std::string_view text, std::string value);

// The tool's path from what the two registry places gave (nullopt when a
// value could not be read): the first value as it is; otherwise the second
// value followed by "\MSINFO32.EXE" when `fileExists` finds that file;
// otherwise nothing.
std::optional<std::string> SysInfoPath(const std::optional<std::string>& toolPath,
                                       const std::optional<std::string>& toolDirectory,
                                       const std::function<bool(const std::string&)>& fileExists);

// The command line that starts a program by its path: the path quoted, so a
// path with spaces names one file and not the first word of it.
std::string CommandLineFor(const std::string& path);

}  // namespace fw::about
