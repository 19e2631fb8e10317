#pragma once

#include "colour/Rgb.h"
#include <QString>

// WCAG 2.x contrast between two sRGB colours.
namespace Contrast {

inline constexpr double AaNormal = 4.5;
inline constexpr double AaLarge = 3.0;
inline constexpr double AaaNormal = 7.0;
inline constexpr double AaaLarge = 4.5;
// Links must stand out from the text around them by colour alone.
inline constexpr double LinkFromText = 3.0;

// (lighter + 0.05) / (darker + 0.05): 1 to 21, in either order of the colours.
double ratio(const Rgb& a, const Rgb& b);
// "4.82": cut to two decimals, for showing only; a figure shown as 4.50 or more always passes 4.5.
// Comparisons use the whole ratio.
QString ratioText(double ratio);
// The highest level text in `fore` on `back` reaches: "AAA", "AA", "AA large text only" or "none".
QString levelReached(double ratio);

} // namespace Contrast
