#include "platform/dpi_rules.h"

#include "platform/units.h"

namespace fw::dpi {

int Usable(long reported) {
  return reported >= kMin && reported <= kMax ? static_cast<int>(reported) : kDefault;
}

int FromDpiChanged(std::uint64_t wParam) {
  long x = static_cast<long>(wParam & 0xFFFF);
  return x >= kMin && x <= kMax ? static_cast<int>(x) : 0;
}

long FontHeight(double points, int dpi) {
  return -units::RoundHalfEven(points * Usable(dpi) / 72.0);
}

int Scale(int pixelsAt96, int dpi) {
  return static_cast<int>(units::RoundHalfEven(static_cast<double>(pixelsAt96) * Usable(dpi) / kDefault));
}

}  // namespace fw::dpi
