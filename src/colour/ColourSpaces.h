#pragma once

#include "colour/Rgb.h"
#include <array>

// The colour spaces of CSS colours and the conversions between them, with the matrices published with
// CSS Color 4 and Bradford adaptation between the D50 and D65 whites. Rectangular spaces hold their
// channels as CSS writes them in color() (0..1 for the RGB spaces), Lab and LCH lightness is 0..100,
// Oklab and OkLCh lightness 0..1, HSL and HWB keep saturation, lightness, whiteness and blackness as
// fractions, and every hue is in degrees.
namespace ColourSpaces {

enum class Space {
    Srgb,
    SrgbLinear,
    DisplayP3,
    A98Rgb,
    ProphotoRgb,
    Rec2020,
    XyzD50,
    XyzD65,
    Lab,
    Lch,
    Oklab,
    Oklch,
    Hsl,
    Hwb,
};

using Triple = std::array<double, 3>;

Triple convert(Space from, Space to, const Triple& channels);

// Where the hue is in a polar space's channels, or -1 for a rectangular space.
int hueIndex(Space space);

// The colour as a browser paints it on an 8-bit sRGB page: each channel clipped to 0..1 on its own,
// then rounded to the nearest code with halves going up.
Argb paint(Space space, const Triple& channels);

} // namespace ColourSpaces
