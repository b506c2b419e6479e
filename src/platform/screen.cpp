#include "platform/screen.h"

#include "platform/dpi_rules.h"
#include "platform/handles.h"
#include "platform/lazy_library.h"

namespace fw {
namespace {

int ReadScreenDpi(int index) {
  WindowDC screen(nullptr, WindowDC::Area::Client);
  return dpi::Usable(screen ? ::GetDeviceCaps(screen.get(), index) : 0);
}

}  // namespace

int ScreenDpiX() {
  static const int dpi = ReadScreenDpi(LOGPIXELSX);
  return dpi;
}

int ScreenDpiY() {
  static const int dpi = ReadScreenDpi(LOGPIXELSY);
  return dpi;
}

int SystemDpiOf(HWND window) {
  using GetDpiForWindowFn = UINT WINAPI(HWND);
  static auto* forWindow = lazy::Function<GetDpiForWindowFn>("user32.dll", "GetDpiForWindow");
  if (forWindow && window) {
    if (UINT dpi = forWindow(window)) return dpi::Usable(static_cast<long>(dpi));
  }
  return ScreenDpiX();
}

}  // namespace fw
