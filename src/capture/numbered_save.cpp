#include "capture/numbered_save.h"

#include <vector>

#include "capture/auto_save_rules.h"
#include "image/image_file_rules.h"
#include "image/picture_file.h"
#include "platform/safe_file.h"

namespace fw {
namespace {

// How many names one save tries before it gives up: with the directory
// listed, only names taken meanwhile by another program cost a try; a
// directory that cannot be listed has its names tried one by one.
constexpr int kMaxNameTries = 100000;

NumberedSave Failed(NumberedSave save, std::string reason) {
  save.ok = false;
  save.reason = std::move(reason);
  return save;
}

}  // namespace

NumberedSave SaveUnderNextNumber(const Picture& picture, const std::string& directory, const std::string& extension,
                                 std::int64_t counter) {
  NumberedSave save;
  save.number = counter;
  save.path = autosave::FileName(directory, counter, extension);
  std::string problem = autosave::ExtensionProblem(extension);
  if (!problem.empty()) return Failed(save, problem);

  NewFile file(directory);
  WriteResult written = WritePicture(picture, file, imagefile::FormatForName(save.path));
  if (!written.ok) return Failed(save, !written.reason.empty() ? written.reason : ErrorText(written.error));
  if (!file.Finish()) return Failed(save, ErrorText(file.error()));

  // The names in the directory, once the counter's own name is found taken.
  // A directory that cannot be searched lists nothing: the names are then
  // tried one by one.
  auto listTaken = [&] {
    std::vector<std::string> names;
    DWORD error = 0;
    ListNames(directory, "snap*", names, error);
    return autosave::TakenNumbers(names, extension, counter);
  };
  auto claim = [&](const std::string& path) {
    switch (file.TakeName(path)) {
      case NewFile::Naming::Named: return autosave::Claim::Claimed;
      case NewFile::Naming::Taken: return autosave::Claim::Taken;
      default: return autosave::Claim::Failed;
    }
  };
  autosave::NameChoice name = autosave::ClaimNextName(directory, counter, extension, listTaken, claim, kMaxNameTries);
  save.number = name.number;
  save.path = name.path;
  if (name.outcome == autosave::Claim::Failed) return Failed(save, ErrorText(file.error()));
  if (name.outcome == autosave::Claim::Taken) {
    return Failed(save, autosave::AllNamesTakenReason(counter, name.number));
  }
  save.ok = true;
  return save;
}

}  // namespace fw
