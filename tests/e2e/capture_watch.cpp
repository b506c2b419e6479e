#include "capture_watch.h"

#include "probe/capture_probe.h"

namespace e2e {
namespace {

constexpr const char* kProbe = "capture_probe.dll";

}  // namespace

CaptureWatch::CaptureWatch(App& app) : app_(app) {
  watching_ = app.main() && RunInProgram(app.process(), kProbe, "Watch", app.main()) == 1;
}

long CaptureWatch::Ask(const char* function) const {
  return RunInProgram(app_.process(), kProbe, function);
}

long CaptureWatch::Captures() const {
  return Ask("Captures");
}

long CaptureWatch::DeepestCapture() const {
  return Ask("DeepestCapture");
}

long CaptureWatch::Sounds() const {
  return Ask("Sounds");
}

bool CaptureWatch::PostHotkeysAtOnce(int id, int count) {
  static const UINT message = ::RegisterWindowMessageA(kPostHotkeysMessage);
  DWORD_PTR result = 0;
  return ::SendMessageTimeoutA(app_.main(), message, static_cast<WPARAM>(id), count, SMTO_ABORTIFHUNG, 10000,
                               &result) != 0;
}

}  // namespace e2e
