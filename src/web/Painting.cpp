#include "Painting.h"

#include <algorithm>
#include <cmath>

namespace Painting {

Argb over(Argb top, Argb under)
{
    const double alpha = alphaOf(top) / 255.0;
    const auto channel = [alpha](int a, int b) { return int(std::floor(a * alpha + b * (1 - alpha) + 0.5)); };
    return argb(
        channel(redOf(top), redOf(under)), channel(greenOf(top), greenOf(under)), channel(blueOf(top), blueOf(under)));
}

// 8-bit alpha and truncating arithmetic.
Argb blended(Argb painted, Argb beneath, double opacity)
{
    const int alpha = int(std::floor(opacity * 255 + 0.5));
    const auto channel = [alpha](int a, int b) { return (a * alpha + b * (255 - alpha)) / 255; };
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
