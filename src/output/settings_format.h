// The settings file "settings.txt": one line of three comma-separated
// fields, the two check box states and the quoted directory, ended by
// CR LF. The text is in the system's ANSI code page, as earlier versions
// wrote it, unless the directory has a character that code page lacks: the
// file is then UTF-8 and begins with a byte-order mark. Plain C++.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fw::settings {

inline constexpr std::string_view kFileName = "settings.txt";

// The settings file beside the program; the separator is always added.
std::string SettingsPath(const std::string& programDir);

// The line "Apply" writes: "<check1>,<check2>,"<directory>"" CR LF. The
// directory is written as it is, without escaping (a Windows path cannot
// hold a double quotation mark).
std::string FormatSettingsLine(int check1, int check2, std::string_view directory);

enum class ReadStatus {
  Ok,
  TooFewFields,     // the input ended before the third field
  NotAWholeNumber,  // field 1 or 2 is not written as a whole number
};

// The three fields as read, before any of them is applied.
struct ReadResult {
  ReadStatus status = ReadStatus::TooFewFields;
  // The states as written, clamped to +-kStateLimit so that any number
  // fits; valid when status is Ok.
  std::int64_t state1 = 0;
  std::int64_t state2 = 0;
  std::string directory;
};

inline constexpr std::int64_t kStateLimit = 1'000'000'000'000LL;

// The ANSI code page's conversions, handed in: the system's in the
// program, a table of one's own in the tests.
class CodePage {
 public:
  // UTF-8 text in this code page, or nothing when one of its characters
  // has no exact equivalent there (no "best fit", no default character).
  virtual std::optional<std::string> FromUtf8(std::string_view utf8) const = 0;
  // Text in this code page as UTF-8.
  virtual std::string ToUtf8(std::string_view text) const = 0;

 protected:
  ~CodePage() = default;
};

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The bytes "Apply" writes for a directory given in UTF-8: the line of
// FormatSettingsLine in the ANSI code page when that holds the directory
// exactly (byte for byte what earlier versions wrote), otherwise a UTF-8
// byte-order mark and the line in UTF-8.
std::string SettingsFileBytes(int check1, int check2, std::string_view directory, const CodePage& ansi);

// Reads the file's bytes as ReadSettingsLine does; the directory comes
// back in UTF-8: read as UTF-8 after a byte-order mark, in the ANSI code
// page without one.
ReadResult ReadSettingsFile(std::string_view bytes, const CodePage& ansi);

// Reads the three fields from the start of the file's bytes:
//  - spaces, tabs and line breaks before a field are skipped (a UTF-8
//    byte-order mark at the very start too, as some editors add one);
//  - a field ends at a comma or at the end of its line (CR LF, LF or CR);
//  - a field that begins with a double quotation mark runs to the next
//    one, commas included, or to the end of its line when there is none;
//    the marks are removed and whatever follows the closing mark up to the
//    field's end is ignored;
//  - an unquoted field loses its trailing spaces and tabs;
//  - fields 1 and 2 must be whole numbers: decimal digits with an optional
//    sign, nothing else.
// Nothing beyond the third field is read.
ReadResult ReadSettingsLine(std::string_view bytes);

}  // namespace fw::settings
