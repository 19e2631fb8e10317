#pragma once

#include "colour/Rgb.h"

// How a browser paints colours over one another on an 8-bit sRGB page, with the arithmetic of
// Chromium's software painter, measured pixel by pixel (tests/web/data/*-painted.jsonl).
namespace Painting {

// A pixel as the painter keeps it in a layer: each channel premultiplied by the alpha.
struct Premultiplied {
    int red = 0;
    int green = 0;
    int blue = 0;
    int alpha = 0;

    friend bool operator==(const Premultiplied&, const Premultiplied&) = default;
};

Premultiplied premultiplied(Argb colour);
// An opaque pixel's colour; a translucent one's as if over black.
Argb shown(const Premultiplied& pixel);

// A colour (text or a background) painted over a pixel, as the painter blits a translucent colour:
// premultiplied and rounded, over the pixel scaled by 256 less the colour's 8-bit alpha.
Premultiplied paintedOver(Argb top, const Premultiplied& under);

// A layer that an element with opacity paints into composited over what lay beneath it: both scaled
// by the opacity's 8-bit alpha plus one, out of 256. A layer of no alpha is not painted at all.
Premultiplied composited(const Premultiplied& layer, const Premultiplied& under, double opacity);

// `top` painted over the opaque `under`.
Argb over(Argb top, Argb under);

// What an element with opacity paints, the opaque `painted`, blended over the opaque `beneath`.
Argb blended(Argb painted, Argb beneath, double opacity);

// `colour` with filter: brightness() applied.
Argb brightened(Argb colour, double brightness);

} // namespace Painting
