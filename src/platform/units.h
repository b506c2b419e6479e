// Screen units: twips (1/1440 inch), pixels and HIMETRIC (1/100 mm), and the
// rounding the conversions use. Plain C++, no Windows headers.
#pragma once

#include <cmath>

namespace fw {

// A control's place in twips: left, top, width, height.
struct Place {
  long left, top, width, height;
};

}  // namespace fw

namespace fw::units {

inline constexpr double kTwipsPerInch = 1440.0;
inline constexpr double kHimetricPerInch = 2540.0;

// Rounds to the nearest whole number; a value exactly half-way goes to the
// even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
inline long RoundHalfEven(double v) {
  double f = std::floor(v);
  double diff = v - f;
  if (diff > 0.5) return static_cast<long>(f) + 1;
  if (diff < 0.5) return static_cast<long>(f);
  long lf = static_cast<long>(f);
  return (lf % 2 == 0) ? lf : lf + 1;
}

inline double TwipsPerPixel(int dpi) {
  return kTwipsPerInch / (dpi > 0 ? dpi : 96);
}

// Twips to whole pixels, rounded half to even.
inline long TwipsToPixels(double twips, int dpi) {
  return RoundHalfEven(twips / TwipsPerPixel(dpi));
}

inline double PixelsToTwips(double pixels, int dpi) {
  return pixels * TwipsPerPixel(dpi);
}

inline double PixelsToHimetric(double pixels, int dpi) {
  return pixels * kHimetricPerInch / (dpi > 0 ? dpi : 96);
}
inline double HimetricToPixels(double himetric, int dpi) {
  return himetric * (dpi > 0 ? dpi : 96) / kHimetricPerInch;
}

}  // namespace fw::units
