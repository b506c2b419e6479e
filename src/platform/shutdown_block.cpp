#include "platform/shutdown_block.h"

#include "platform/lazy_library.h"

namespace fw {

void SetShutdownBlockReason(HWND window, const wchar_t* reason) noexcept {
  static auto* create =
      lazy::Function<decltype(::ShutdownBlockReasonCreate)>("user32.dll", "ShutdownBlockReasonCreate");
  static auto* destroy =
      lazy::Function<decltype(::ShutdownBlockReasonDestroy)>("user32.dll", "ShutdownBlockReasonDestroy");
  if (!window) return;
  if (reason) {
    if (create) create(window, reason);
  } else if (destroy) {
    destroy(window);
  }
}

}  // namespace fw
