#pragma once

#include "colour/Rgb.h"

// APCA 0.0.98G-4g lightness contrast (Lc), with the constants of the apca-w3 reference. Advisory:
// APCA is not yet a standard. Lc runs from about -108 to 106: positive for dark text on a light
// background, negative for light text on a dark one; 0 when the two are too close to tell apart.
namespace Apca {

// APCA's screen luminance: each channel to the power 2.4, not the piecewise sRGB curve.
double screenLuminance(int red, int green, int blue);
double screenLuminance(const Rgb& colour);
// Lc of text of screen luminance `text` on a background of screen luminance `background`.
double lightnessContrast(double text, double background);

// A screen luminance with the soft black clamp applied and raised to the four exponents, for a
// search that compares one colour with many: the same Lc as above, without a power per pair.
struct Powers {
    double y;
    double textNormal;
    double textReverse;
    double backgroundNormal;
    double backgroundReverse;
};
Powers powers(double screenY);
double lightnessContrast(const Powers& text, const Powers& background);
double lightnessContrast(const Rgb& text, const Rgb& background);

} // namespace Apca
