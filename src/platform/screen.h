// The screen's resolution, read once, and the conversions between twips
// and pixels at it.
#pragma once

namespace fw {

// Pixels per inch of the screen, horizontally and vertically (96 when it
// cannot be read).
int ScreenDpiX();
int ScreenDpiY();

int TwipsToPixelsX(double twips);
int TwipsToPixelsY(double twips);
double PixelsToTwipsX(double pixels);
double PixelsToTwipsY(double pixels);

}  // namespace fw
