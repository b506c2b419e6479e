#include "platform/file_dialog.h"

#include <commdlg.h>

#include <vector>

#include "platform/lazy_library.h"
#include "platform/ole.h"
#include "platform/text.h"

namespace fw {

std::optional<std::string> ShowSaveDialog(HWND owner, const std::string& filter, const std::string& initialDir) {
  // Room for the longest path Windows has (32767 characters and the NUL),
  // so no chosen name is ever too long for it; the dialog opens with no
  // name filled in.
  std::vector<wchar_t> file(32768, L'\0');
  std::wstring wideFilter = Widen(filter);  // its NULs included
  std::wstring wideDir = Widen(initialDir);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = wideFilter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = wideDir.c_str();
  // No default extension and no overwrite prompt; the process's current
  // directory stays where it was rather than following the user's folders.
  ofn.Flags = OFN_NOCHANGEDIR;
  static auto* getSaveFileName = lazy::Function<decltype(::GetSaveFileNameW)>("comdlg32.dll", "GetSaveFileNameW");
  static auto* extendedError = lazy::Function<decltype(::CommDlgExtendedError)>("comdlg32.dll", "CommDlgExtendedError");
  if (!getSaveFileName || !extendedError) return std::nullopt;
  ole::Start();  // the dialog's folder views are OLE objects
  if (getSaveFileName(&ofn)) return Narrow(file.data());
  if (extendedError() == 0) return std::string();  // cancelled
  // FNERR_BUFFERTOOSMALL cannot come with a buffer of the longest path;
  // like every other failure of the dialog it is a failure of the save.
  return std::nullopt;
}

}  // namespace fw
