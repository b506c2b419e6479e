// Where a printed picture goes on the page: the orientation its shape asks
// for, the unit conversions of the printer, and the size that fills the
// printable width or height while keeping the picture's proportions.
// Plain C++.
#pragma once

#include <cstdint>
#include <optional>

namespace fw::print {

// Page orientation codes, as the printer's DEVMODE numbers them.
enum class Orientation : short { Portrait = 1, Landscape = 2 };

// The units a drawing surface can measure in (its scale mode codes).
enum class ScaleMode : short {
  Twip = 1,
  Point = 2,
  Pixel = 3,
  Inch = 5,
  Millimeter = 6,
  Centimeter = 7,
  Himetric = 8,
};

// A square picture, and any taller than wide, prints portrait.
Orientation OrientationFor(std::int32_t widthHimetric, std::int32_t heightHimetric);

// Converts a length along one axis between units, in single precision.
// `dpi` is the device's pixels per inch along that axis (for Pixel).
float ScaleLength(float value, ScaleMode from, ScaleMode to, int dpi);

// The printer as the placement sees it: its printable area measured from
// its top-left corner, in its current unit, and its resolution.
struct Page {
  float printableWidth = 0;
  float printableHeight = 0;
  ScaleMode unit = ScaleMode::Pixel;
  int dpiX = 0;
  int dpiY = 0;
};

// The picture's rectangle, at the printable area's top-left corner, in the
// page's unit.
struct Placement {
  float width = 0;
  float height = 0;
  bool fillsWidth = false;  // false: it fills the height
};

// Fills the printable width when the picture is, in proportion, at least
// as wide as the printable area, and the height otherwise. Nothing when the
// picture has no size (an empty picture) or the page has no area.
std::optional<Placement> PlacePicture(std::int32_t widthHimetric, std::int32_t heightHimetric, const Page& page);

// A length in the printer's unit as whole device pixels (nearest).
long DeviceLength(float value, ScaleMode unit, int dpi);

}  // namespace fw::print
