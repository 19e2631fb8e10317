#pragma once

#include "colour/ColourSpaces.h"

// Bringing an OKLCH colour into sRGB as CSS Color 4 does for a page: lightness and hue are kept and
// chroma is lowered by a binary search until clipping the colour moves it less than a just-noticeable
// difference (0.02 in Oklab); what is left is clipped. Lightness at 1 or above is white, at 0 or below
// black.
namespace GamutMapping {

// sRGB channels, each 0..1, of the OKLCH colour (lightness 0..1, hue in degrees).
ColourSpaces::Triple toSrgb(const ColourSpaces::Triple& oklch);

// Whether the OKLCH colour is inside sRGB as it stands, up to `tolerance` on each channel.
bool inSrgb(const ColourSpaces::Triple& oklch, double tolerance = 0.0);

} // namespace GamutMapping
