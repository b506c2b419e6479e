#include "output/print_rules.h"

#include <cmath>

namespace fw::print {
namespace {

// How many of the unit make an inch; 0 for a unit that cannot be converted.
double PerInch(ScaleMode mode, int dpi) {
  switch (mode) {
    case ScaleMode::Twip: return 1440.0;
    case ScaleMode::Point: return 72.0;
    case ScaleMode::Pixel: return dpi > 0 ? dpi : 0.0;
    case ScaleMode::Inch: return 1.0;
    case ScaleMode::Millimeter: return 25.4;
    case ScaleMode::Centimeter: return 2.54;
    case ScaleMode::Himetric: return 2540.0;
  }
  return 0.0;
}

}  // namespace

Orientation OrientationFor(std::int32_t widthHimetric, std::int32_t heightHimetric) {
  return heightHimetric >= widthHimetric ? Orientation::Portrait : Orientation::Landscape;
}

float ScaleLength(float value, ScaleMode from, ScaleMode to, int dpi) {
  double f = PerInch(from, dpi), t = PerInch(to, dpi);
  if (f <= 0 || t <= 0) return 0.0f;
  return static_cast<float>(static_cast<double>(value) * t / f);
}

std::optional<Placement> PlacePicture(std::int32_t widthHimetric, std::int32_t heightHimetric, const Page& page) {
  if (widthHimetric <= 0 || heightHimetric <= 0) return std::nullopt;
  const double pictureRatio = static_cast<double>(widthHimetric) / heightHimetric;

  // Proportions are compared in a device-independent unit.
  const float pw = ScaleLength(page.printableWidth, page.unit, ScaleMode::Himetric, page.dpiX);
  const float ph = ScaleLength(page.printableHeight, page.unit, ScaleMode::Himetric, page.dpiY);
  if (!(pw > 0) || !(ph > 0)) return std::nullopt;
  const double printerRatio = static_cast<double>(pw) / ph;

  Placement out;
  float w, h;
  if (pictureRatio >= printerRatio) {
    w = pw;
    h = static_cast<float>(pw / pictureRatio);
    out.fillsWidth = true;
  } else {
    h = ph;
    w = static_cast<float>(ph * pictureRatio);
  }
  out.width = ScaleLength(w, ScaleMode::Himetric, page.unit, page.dpiX);
  out.height = ScaleLength(h, ScaleMode::Himetric, page.unit, page.dpiY);
  return out;
}

long DeviceLength(float value, ScaleMode unit, int dpi) {
  return std::lround(ScaleLength(value, unit, ScaleMode::Pixel, dpi));
}

}  // namespace fw::print
