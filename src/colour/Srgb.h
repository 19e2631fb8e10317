#pragma once

#include "colour/Rgb.h"
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

Linear linear(const Rgb& colour);
Linear linear(int red, int green, int blue);

// WCAG 2 relative luminance, 0 (black) to 1 (white), with the weights WCAG gives to four places.
double luminance(const Rgb& colour);
double luminance(const Linear& linear);
// The same with CSS Color 4's unrounded weights (the Y row of the sRGB to XYZ D65 matrix), which some
// checkers use; a pair that must pass everywhere passes under both.
double luminanceUnrounded(const Linear& linear);
// (lighter + 0.05) / (darker + 0.05): 1 to 21, in either order.
double contrastRatio(double luminanceA, double luminanceB);
double contrastRatio(const Rgb& a, const Rgb& b);

// The matrices of sRGB and Oklab as CSS Color 4 publishes them, which browsers paint with: linear sRGB
// to CIE XYZ (D65), XYZ to cone responses (LMS), their cube roots to Oklab, and back. They are the only
// ones: the CSS colour reader goes through XYZ with them, and the contrast fixer's search walks
// lightness lines with their products, linear sRGB straight to LMS and back.
using Matrix = std::array<std::array<double, 3>, 3>;
// clang-format off
inline constexpr Matrix SrgbToXyz{{{506752.0 / 1228815, 87881.0 / 245763, 12673.0 / 70218},
    {87098.0 / 409605, 175762.0 / 245763, 12673.0 / 175545},
    {7918.0 / 409605, 87881.0 / 737289, 1001167.0 / 1053270}}};
inline constexpr Matrix XyzToSrgb{{{12831.0 / 3959, -329.0 / 214, -1974.0 / 3959},
    {-851781.0 / 878810, 1648619.0 / 878810, 36519.0 / 878810},
    {705.0 / 12673, -2585.0 / 12673, 705.0 / 667}}};
inline constexpr Matrix XyzToLms{{{0.8190224379967030, 0.3619062600528904, -0.1288737815209879},
    {0.0329836539323885, 0.9292868615863434, 0.0361446663506424},
    {0.0481771893596242, 0.2642395317527308, 0.6335478284694309}}};
inline constexpr Matrix LmsToXyz{{{1.2268798758459243, -0.5578149944602171, 0.2813910456659647},
    {-0.0405757452148008, 1.1122868032803170, -0.0717110580655164},
    {-0.0763729366746601, -0.4214933324022432, 1.5869240198367816}}};
inline constexpr Matrix LmsToOklab{{{0.2104542683093140, 0.7936177747023054, -0.0040720430116193},
    {1.9779985324311684, -2.4285922420485799, 0.4505937096174110},
    {0.0259040424655478, 0.7827717124575296, -0.8086757549230774}}};
inline constexpr Matrix OklabToLms{{{1.0, 0.3963377773761749, 0.2158037573099136},
    {1.0, -0.1055613458156586, -0.0638541728258133},
    {1.0, -0.0894841775298119, -1.2914855480194092}}};
// clang-format on

constexpr Matrix product(const Matrix& a, const Matrix& b)
{
    Matrix result{};
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j)
            result[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
    return result;
}
inline constexpr Matrix LinearToLms = product(XyzToLms, SrgbToXyz);
inline constexpr Matrix LmsToLinear = product(XyzToSrgb, LmsToXyz);

Oklab oklab(const Linear& linear);
Linear fromOklab(const Oklab& lab);
double distance(const Oklab& x, const Oklab& y);

} // namespace Srgb
