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

// An encoded channel 0..1 to linear light and back (IEC 61966-2-1, with WCAG 2's 0.04045 threshold),
// extended to negative values by symmetry as CSS does for colours outside sRGB. The only definition:
// every colour space built on the sRGB curve uses these.
double toLinear(double encoded);
double fromLinear(double linear);

// The 256 linear-light values of the 8-bit codes, and the linear values halfway between neighbours.
const std::array<double, 256>& linearTable();
const std::array<double, 255>& halfwayTable();
// The nearest 8-bit code to a linear-light channel (clipped to 0..255).
int nearestCode(double linear);

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

// Oklab from linear sRGB in Ottosson's published form: linear light to cone responses (LMS), their
// cube roots to Oklab, and back. The contrast fixer's search walks lightness lines with these very
// matrices. (The CSS colour reader goes through XYZ with CSS Color 4's matrices, which browsers paint
// with; the two agree to about 1e-9.)
using Matrix = std::array<std::array<double, 3>, 3>;
inline constexpr Matrix LinearToLms{{{0.4122214708, 0.5363325363, 0.0514459929},
    {0.2119034982, 0.6806995451, 0.1073969566}, {0.0883024619, 0.2817188376, 0.6299787005}}};
inline constexpr Matrix LmsToOklab{{{0.2104542553, 0.7936177850, -0.0040720468},
    {1.9779984951, -2.4285922050, 0.4505937099}, {0.0259040371, 0.7827717662, -0.8086757660}}};
inline constexpr Matrix OklabToLms{
    {{1.0, 0.3963377774, 0.2158037573}, {1.0, -0.1055613458, -0.0638541728}, {1.0, -0.0894841775, -1.2914855480}}};
inline constexpr Matrix LmsToLinear{{{4.0767416621, -3.3077115913, 0.2309699292},
    {-1.2684380046, 2.6097574011, -0.3413193965}, {-0.0041960863, -0.7034186147, 1.7076147010}}};

Oklab oklab(const Linear& linear);
Linear fromOklab(const Oklab& lab);
double distance(const Oklab& x, const Oklab& y);

} // namespace Srgb
