#pragma once

#include <QColor>
#include <array>

// sRGB as the whole program reads it: the transfer functions, WCAG 2 relative luminance and contrast
// ratio, and Oklab (Bjorn Ottosson, 2020). Every other part that needs linear light or a luminance
// (the contrast check, the colour-vision simulation, the fixer, the colour reader) comes here.
namespace Srgb {

using Linear = std::array<double, 3>;

struct Oklab {
    double L;
    double a;
    double b;
};

// An encoded channel 0..1 to linear light and back (IEC 61966-2-1, with WCAG 2's 0.04045 threshold).
double toLinear(double encoded);
double fromLinear(double linear);

// The 256 linear-light values of the 8-bit codes, and the linear values halfway between neighbours.
const std::array<double, 256>& linearTable();
const std::array<double, 255>& halfwayTable();
// The nearest 8-bit code to a linear-light channel (clipped to 0..255).
int nearestCode(double linear);
// The nearest 8-bit code to an encoded channel 0..1 (clipped), halves rounding up.
int encodedCode(double encoded);

Linear linear(const QColor& colour);
Linear linear(int red, int green, int blue);

// WCAG 2 relative luminance, 0 (black) to 1 (white), with the weights WCAG gives to four places.
double luminance(const QColor& colour);
double luminance(const Linear& linear);
// The same with CSS Color 4's unrounded weights (the Y row of the sRGB to XYZ D65 matrix), which some
// checkers use; a pair that must pass everywhere passes under both.
double luminanceUnrounded(const Linear& linear);
// (lighter + 0.05) / (darker + 0.05): 1 to 21, in either order.
double contrastRatio(double luminanceA, double luminanceB);
double contrastRatio(const QColor& a, const QColor& b);

Oklab oklab(const Linear& linear);
Linear fromOklab(const Oklab& lab);
double distance(const Oklab& x, const Oklab& y);

} // namespace Srgb
