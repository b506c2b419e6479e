// The automatic save's names and decisions: the file name rule, the search
// for a number whose file does not exist yet, the extensions a name can
// end with, and the message for a save that failed. Plain C++.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

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

// What trying to create a file under a name found.
enum class Claim {
  Claimed,  // the name was free and is now held for the save
  Taken,    // a file (or anything else) of that name exists
  Failed,   // the name cannot be created (missing directory, no access, ...)
};

struct NameChoice {
  Claim outcome = Claim::Failed;
  std::int64_t number = 0;  // the number tried last
  std::string path;         // its file name
};

// Tries the numbers from `start` on, skipping every name that is taken,
// until one is claimed, one fails, or `maxTries` names were all taken.
// Never goes past the largest counter value.
NameChoice ClaimNextName(std::string_view directory, std::int64_t start, std::string_view extension,
                         const std::function<Claim(const std::string& path)>& claim, int maxTries);

// The counter after a successful save under `number`.
inline std::int64_t CounterAfterSave(std::int64_t number) {
  return number < INT64_MAX ? number + 1 : number;
}

// The message for an automatic save that failed.
std::string FailureText(const std::string& path, const std::string& reason);

// The reason given when every name tried was taken.
std::string AllNamesTakenReason(std::int64_t first, std::int64_t last);

}  // namespace fw::autosave
