#include "platform/file_dialog.h"

#include <commdlg.h>

#include <vector>

#include "platform/lazy_library.h"
#include "platform/ole.h"

namespace fw {

std::optional<std::string> ShowSaveDialog(HWND owner, const std::string& filter, const std::string& initialDir) {
  // Room for long paths; the dialog opens with no name filled in.
  std::vector<char> file(32768, '\0');
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = initialDir.c_str();
  // No default extension and no overwrite prompt; the process's current
  // directory stays where it was rather than following the user's folders.
  ofn.Flags = OFN_NOCHANGEDIR;
  static auto* getSaveFileName = lazy::Function<decltype(::GetSaveFileNameA)>("comdlg32.dll", "GetSaveFileNameA");
  static auto* extendedError = lazy::Function<decltype(::CommDlgExtendedError)>("comdlg32.dll", "CommDlgExtendedError");
  if (!getSaveFileName || !extendedError) return std::nullopt;
  ole::Start();  // the dialog's folder views are OLE objects
  if (getSaveFileName(&ofn)) return std::string(file.data());
  if (extendedError() == 0) return std::string();  // cancelled
  return std::nullopt;
}

}  // namespace fw
