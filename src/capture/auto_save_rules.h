// The automatic save's names and decisions: the file name rule, the first
// free number (from one directory listing when the counter's name is
// taken), the extensions a name can end with, and the message for a save
// that failed. Plain C++.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fw::autosave {

// directory + "\" + "snap" + counter in decimal + extension. The separator
// is added whatever the directory ends with.
std::string FileName(std::string_view directory, std::int64_t counter, std::string_view extension);

// Why a file name cannot end with this extension, in words for the user;
// empty when it can. An empty extension is allowed (the name is then
// "snapN"); characters that no file name holds, path separators, and a
// trailing dot or space (which Windows would drop, so the file would not
// get the name shown) are not.
std::string ExtensionProblem(std::string_view extension);

// The number in `name` (a file name without its directory) when it is an
// automatic save name with this extension: "snap", the number as FileName
// writes it (no sign, no leading zeros), then the extension. Letters
// compare in either case, as Windows compares file names.
std::optional<std::int64_t> NumberInName(std::string_view name, std::string_view extension);

// The numbers from `from` on that the names of a directory listing take,
// sorted, each once.
std::vector<std::int64_t> TakenNumbers(const std::vector<std::string>& names, std::string_view extension,
                                       std::int64_t from);

// The first number at or after `from` that is not in `taken` (sorted);
// nothing when every number up to the largest counter value is taken.
std::optional<std::int64_t> FirstFreeNumber(const std::vector<std::int64_t>& taken, std::int64_t from);

// What giving the finished file a name found.
enum class Claim {
  Claimed,  // the name was free and the file has it now
  Taken,    // a file (or anything else) of that name exists
  Failed,   // the name cannot be given (missing directory, no access, ...)
};

struct NameChoice {
  Claim outcome = Claim::Failed;
  std::int64_t number = 0;  // the number tried last
  std::string path;         // its file name
};

// Gives the file the first free name from `start` on. The name of `start`
// is tried first (after the first save of a run the counter is usually
// past every earlier capture); when it is taken, one directory search
// (`listTaken`: the taken numbers from `start` on, sorted) tells the next
// free number, and every name found taken after that, by a program that
// took it meanwhile, is stepped over. Ends when a name is claimed, one
// fails, or `maxTries` names were tried; never goes past the largest
// counter value.
NameChoice ClaimNextName(std::string_view directory, std::int64_t start, std::string_view extension,
                         const std::function<std::vector<std::int64_t>()>& listTaken,
                         const std::function<Claim(const std::string& path)>& claim, int maxTries);

// The counter after a successful save under `number`.
inline std::int64_t CounterAfterSave(std::int64_t number) {
  return number < INT64_MAX ? number + 1 : number;
}

// The message for an automatic save that failed; `pictureShown`: the
// picture area still shows the capture that was not saved.
std::string FailureText(const std::string& path, const std::string& reason, bool pictureShown);

// The reason given when every name tried was taken.
std::string AllNamesTakenReason(std::int64_t first, std::int64_t last);

}  // namespace fw::autosave
