#include "Painting.h"

#include <algorithm>
#include <cmath>

namespace Painting {

namespace {

// x / 255, rounded, as the painter divides.
int div255(int x)
{
    return ((x + 128) * 257) >> 16;
}

} // namespace

Premultiplied premultiplied(Argb colour)
{
    const int alpha = alphaOf(colour);
    return {div255(redOf(colour) * alpha), div255(greenOf(colour) * alpha), div255(blueOf(colour) * alpha), alpha};
}

Argb shown(const Premultiplied& pixel)
{
    return argb(pixel.red, pixel.green, pixel.blue);
}

Premultiplied paintedOver(Argb top, const Premultiplied& under)
{
    const Premultiplied source = premultiplied(top);
    const int scale = 256 - source.alpha;
    return {source.red + ((under.red * scale) >> 8), source.green + ((under.green * scale) >> 8),
        source.blue + ((under.blue * scale) >> 8), source.alpha + ((under.alpha * scale) >> 8)};
}

Premultiplied composited(const Premultiplied& layer, const Premultiplied& under, double opacity)
{
    const int alpha = std::clamp(int(std::floor(opacity * 255 + 0.5)), 0, 255);
    if (alpha == 0)
        return under;
    const int scale = alpha + 1;
    // What lies beneath keeps 256 less the layer's alpha so scaled, as the painter works it out.
    const int product = 0xFFFF - layer.alpha * scale;
    const int beneath = (product + (product >> 8)) >> 8;
    const auto channel = [&](int top, int bottom) { return (top * scale + bottom * beneath) >> 8; };
    return {channel(layer.red, under.red), channel(layer.green, under.green), channel(layer.blue, under.blue),
        channel(layer.alpha, under.alpha)};
}

Argb over(Argb top, Argb under)
{
    return shown(paintedOver(top, premultiplied(under)));
}

Argb blended(Argb painted, Argb beneath, double opacity)
{
    return shown(composited(premultiplied(painted), premultiplied(beneath), opacity));
}

Argb brightened(Argb colour, double brightness)
{
    if (brightness == 1)
        return colour;
    const auto channel = [&](int c) { return std::clamp(int(std::floor(c * brightness + 0.5)), 0, 255); };
    return argb(channel(redOf(colour)), channel(greenOf(colour)), channel(blueOf(colour)), alphaOf(colour));
}

} // namespace Painting
