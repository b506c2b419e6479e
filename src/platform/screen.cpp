#include "platform/screen.h"

#include <windows.h>

#include "platform/handles.h"
#include "platform/units.h"

namespace fw {
namespace {

int ReadScreenDpi(int index) {
  WindowDC screen(nullptr, WindowDC::Area::Client);
  int dpi = screen ? ::GetDeviceCaps(screen.get(), index) : 96;
  return dpi > 0 ? dpi : 96;
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

int TwipsToPixelsX(double twips) {
  return units::TwipsToPixels(twips, ScreenDpiX());
}
int TwipsToPixelsY(double twips) {
  return units::TwipsToPixels(twips, ScreenDpiY());
}
double PixelsToTwipsX(double pixels) {
  return units::PixelsToTwips(pixels, ScreenDpiX());
}
double PixelsToTwipsY(double pixels) {
  return units::PixelsToTwips(pixels, ScreenDpiY());
}

}  // namespace fw
