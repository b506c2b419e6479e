#include "capture/after_capture.h"

#include <windows.h>

#include "capture/auto_save_rules.h"
#include "image/picture_file.h"
#include "output/options_rules.h"
#include "platform/handles.h"
#include "platform/msgbox.h"
#include "platform/safe_file.h"

namespace fw {
namespace {

// How many taken names one save steps over before it gives up.
constexpr int kMaxNameTries = 100000;

// Holds a free name for the save by creating an empty file under it, so
// that neither an earlier run's file nor one written meanwhile by another
// program is ever replaced.
autosave::Claim ClaimName(const std::string& path, DWORD& error) {
  if (::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return autosave::Claim::Taken;
  UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file) return autosave::Claim::Claimed;
  error = ::GetLastError();
  if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return autosave::Claim::Taken;
  return autosave::Claim::Failed;
}

// Removes the empty file that held the name of a save that failed.
void ReleaseName(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) && data.nFileSizeLow == 0 &&
      data.nFileSizeHigh == 0) {
    ::DeleteFileA(path.c_str());
  }
}

void ReportFailure(const std::string& path, const std::string& reason) {
  ShowMessage(autosave::FailureText(path, reason), MB_ICONEXCLAMATION | MB_OK);
}

}  // namespace

void RunAfterCaptureSteps(const CaptureContext& c) {
  if (c.options.Check1State() == options::kChecked) AutoSavePicture(c);
  if (c.options.Check2State() == options::kChecked) c.form.SetWindowState(WindowState::Normal);
}

bool AutoSavePicture(const CaptureContext& c) {
  std::int64_t& AutoSaveCounter = c.state.AutoSaveCounter;  // the shared counter
  std::string dir = c.options.Dir1Path();
  std::string extension = c.options.Combo1Text();
  std::string problem = autosave::ExtensionProblem(extension);
  if (!problem.empty()) {
    ReportFailure(autosave::FileName(dir, AutoSaveCounter, extension), problem);
    return false;
  }
  DWORD error = 0;
  autosave::NameChoice name = autosave::ClaimNextName(
      dir, AutoSaveCounter, extension, [&](const std::string& path) { return ClaimName(path, error); }, kMaxNameTries);
  if (name.outcome == autosave::Claim::Failed) {
    ReportFailure(name.path, ErrorText(error));
    return false;
  }
  if (name.outcome == autosave::Claim::Taken) {
    ReportFailure(name.path, autosave::AllNamesTakenReason(AutoSaveCounter, name.number));
    return false;
  }
  WriteResult written = WritePictureFile(c.form.GetPicture(), name.path);
  if (!written.ok) {
    ReleaseName(name.path);
    ReportFailure(name.path, !written.reason.empty() ? written.reason : ErrorText(written.error));
    return false;
  }
  AutoSaveCounter = autosave::CounterAfterSave(name.number);
  return true;
}

}  // namespace fw
