#include "capture/numbered_save.h"

#include <vector>

#include "capture/auto_save_rules.h"
#include "image/picture_file.h"
#include "platform/safe_file.h"

namespace fw {
namespace {

// Names that another program takes between the directory search and the
// naming of the file are stepped over; this many in a row end the save.
constexpr int kMaxNameTries = 100;

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

  std::vector<std::string> names;
  DWORD error = 0;
  if (!ListNames(directory, "snap*", names, error)) return Failed(save, ErrorText(error));
  std::vector<std::int64_t> taken = autosave::TakenNumbers(names, extension, counter);
  if (std::optional<std::int64_t> first = autosave::FirstFreeNumber(taken, counter)) {
    save.number = *first;
    save.path = autosave::FileName(directory, save.number, extension);
  }

  NewFile file(directory);
  WriteResult written = WritePicture(picture, file);
  if (!written.ok) return Failed(save, !written.reason.empty() ? written.reason : ErrorText(written.error));
  if (!file.Finish()) return Failed(save, ErrorText(file.error()));

  autosave::NameChoice name = autosave::ClaimNextName(
      directory, counter, extension, taken,
      [&](const std::string& path) {
        switch (file.TakeName(path)) {
          case NewFile::Naming::Named: return autosave::Claim::Claimed;
          case NewFile::Naming::Taken: return autosave::Claim::Taken;
          default: return autosave::Claim::Failed;
        }
      },
      kMaxNameTries);
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
