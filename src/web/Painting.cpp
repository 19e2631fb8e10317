#include "Painting.h"

#include <algorithm>
#include <cmath>

namespace Painting {

Argb over(Argb top, Argb under)
{
    // As Chromium's software painter blits a translucent colour: the colour premultiplied by its alpha,
    // rounded, and what lies beneath scaled by 256 less the alpha, truncated.
    const int alpha = alphaOf(top);
    const auto channel
        = [alpha](int a, int b) { return (((a * alpha + 128) * 257) >> 16) + ((b * (256 - alpha)) >> 8); };
    return argb(
        channel(redOf(top), redOf(under)), channel(greenOf(top), greenOf(under)), channel(blueOf(top), blueOf(under)));
}

// The layer's 8-bit alpha, and the lerp Chromium's software painter composites an opaque layer with: its
// scale is the alpha plus one, out of 256, and the sum is truncated (measured over 900 colours and
// opacities, tests/web/data/opacity-painted.jsonl). A layer of no alpha is not painted at all.
Argb blended(Argb painted, Argb beneath, double opacity)
{
    const int alpha = std::clamp(int(std::floor(opacity * 255 + 0.5)), 0, 255);
    if (alpha == 0)
        return beneath;
    const auto channel = [alpha](int a, int b) { return (a * (alpha + 1) + b * (255 - alpha)) >> 8; };
    return argb(channel(redOf(painted), redOf(beneath)), channel(greenOf(painted), greenOf(beneath)),
        channel(blueOf(painted), blueOf(beneath)));
}

Argb brightened(Argb colour, double brightness)
{
    if (brightness == 1)
        return colour;
    const auto channel = [&](int c) { return std::clamp(int(std::floor(c * brightness + 0.5)), 0, 255); };
    return argb(channel(redOf(colour)), channel(greenOf(colour)), channel(blueOf(colour)), alphaOf(colour));
}

} // namespace Painting
