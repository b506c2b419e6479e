#include "harness_reentry.h"

#include <set>

#include "harness_files.h"
#include "harness_formats.h"

namespace e2e {

void PostHotkeys(App& app, int id, int count) {
  for (int i = 0; i < count; ++i) PostHotkey(app, id);
}

bool CapturesSettled(App& app, const std::string& dir, DWORD timeoutMs) {
  bool answering = true;
  bool settled = WaitUntil(
      [&] {
        std::size_t before = SnapFiles(dir).size();
        answering = app.Sync() && app.Sync();
        return !answering || SnapFiles(dir).size() == before;
      },
      timeoutMs);
  return settled && answering;
}

std::string SnapSequenceProblem(const std::string& dir, const std::string& extension) {
  std::vector<std::string> files = SnapFiles(dir);
  std::set<std::string> names(files.begin(), files.end());
  for (std::size_t i = 0; i < files.size(); ++i) {
    std::string name = "snap" + std::to_string(i) + extension;
    if (!names.count(name)) return "no " + name + " among " + std::to_string(files.size()) + " files";
    std::string problem = WholeFileProblem(FormatNamed(name), ReadFileBytes(dir + "\\" + name));
    if (!problem.empty()) return name + ": " + problem;
  }
  return "";
}

std::string ReadOnlyDir() {
  char dir[MAX_PATH] = {};
  DWORD n = ::GetEnvironmentVariableA("FW_READONLY_DIR", dir, sizeof dir);
  return n == 0 || n >= sizeof dir ? std::string() : std::string(dir, n);
}

}  // namespace e2e
