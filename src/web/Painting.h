#pragma once

#include "colour/Rgb.h"

// How a browser paints colours over one another on an 8-bit sRGB page.
namespace Painting {

// `top` painted over the opaque `under`, as the browser blits a translucent colour (text or a
// background): premultiplied and rounded, over `under` scaled by 256 less the 8-bit alpha.
Argb over(Argb top, Argb under);

// What an element with opacity paints, `painted`, blended over what lay beneath it, as the browser
// composites an opaque layer: scaled by the 8-bit alpha plus one, out of 256.
Argb blended(Argb painted, Argb beneath, double opacity);

// `colour` with filter: brightness() applied.
Argb brightened(Argb colour, double brightness);

} // namespace Painting
