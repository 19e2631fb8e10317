#pragma once

#include "colour/Rgb.h"

// How a browser paints colours over one another on an 8-bit sRGB page.
namespace Painting {

// `top` painted over the opaque `under`, each channel rounded to 8 bits.
Argb over(Argb top, Argb under);

// What an element with opacity paints, `painted`, blended over what lay beneath it, as the browser
// blends a layer.
Argb blended(Argb painted, Argb beneath, double opacity);

// `colour` with filter: brightness() applied.
Argb brightened(Argb colour, double brightness);

} // namespace Painting
