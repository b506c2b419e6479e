// Display scaling: the dots per inch (DPI) a window is laid out at, and
// what follows from it. Plain C++.
//
// The program is aware of each monitor's scaling: Windows hands it real
// pixels everywhere (the screen's size, other windows' rectangles, what a
// capture copies) and tells each top-level window its DPI, which changes
// when the window moves to a monitor of another scaling or the user changes
// the scaling (the message WM_DPICHANGED). Window layouts are given in
// twips and fonts in points, so both follow the window's DPI; pictures are
// pixels and are never scaled.
#pragma once

#include <cstdint>

namespace fw::dpi {

inline constexpr int kDefault = 96;  // 100 %, USER_DEFAULT_SCREEN_DPI
// Windows offers 100 % to 500 %; anything far outside is not a DPI.
inline constexpr int kMin = 48;
inline constexpr int kMax = 960;

// A DPI the system reported (GetDpiForWindow, the screen's LOGPIXELSX) as
// the program uses it: 96 for a value that is not a usable DPI (0 is what
// a failed call gives).
int Usable(long reported);

// The new DPI a WM_DPICHANGED message carries in its wParam: the low word
// (horizontal; Windows puts the same value in both words). 0 when the
// message carries no usable DPI: it is then left alone.
int FromDpiChanged(std::uint64_t wParam);

// A font's height in pixels at `dpi`, as LOGFONT's lfHeight takes it:
// negative, so the font's characters (internal leading left out) are
// `points` high; rounded half to even, as the twips of a layout are.
long FontHeight(double points, int dpi);

// A length the program draws in pixels at 100 % (the directory list's
// indent and folder glyph), at `dpi`; rounded half to even.
int Scale(int pixelsAt96, int dpi);

}  // namespace fw::dpi
