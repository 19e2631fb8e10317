#include "OklchPosition.h"

#include "GamutMapping.h"

#include <algorithm>
#include <cmath>

using ColourSpaces::Space;

namespace {

// Rounding leaves a colour's channels this far outside 0..1 at most where it lies on sRGB's edge.
constexpr double EdgeTolerance = 1e-9;

} // namespace

ColourSpaces::Triple OklchPosition::oklch() const
{
    return {(lightness + offset[0]) / 1000.0, std::max(0.0, (chroma + offset[1]) / 1000.0), (hue + offset[2]) / 10.0};
}

Rgb OklchPosition::colour() const
{
    return Rgb::fromArgb(ColourSpaces::paint(Space::Srgb, GamutMapping::toSrgb(oklch())));
}

bool OklchPosition::mapped() const
{
    const ColourSpaces::Triple lch = oklch();
    if (lch[0] >= 1 || lch[0] <= 0)
        return lch[1] * 1000 >= 0.5;
    return !GamutMapping::inSrgb(lch, EdgeTolerance);
}

int OklchPosition::wrappedHue(int hue)
{
    return ((hue % HueSteps) + HueSteps) % HueSteps;
}

OklchPosition OklchPosition::of(const Rgb& colour, int hue)
{
    const ColourSpaces::Triple lch = ColourSpaces::convert(
        Space::Srgb, Space::Oklch, {colour.red() / 255.0, colour.green() / 255.0, colour.blue() / 255.0});
    const auto steps = [](double value, int max) { return std::clamp(static_cast<int>(std::lround(value)), 0, max); };
    OklchPosition place;
    place.lightness = steps(lch[0] * 1000, MaxLightness);
    place.chroma = steps(lch[1] * 1000, MaxChroma);
    place.offset[0] = lch[0] * 1000 - place.lightness;
    place.offset[1] = lch[1] * 1000 - place.chroma;
    place.hue = wrappedHue(hue);
    if (std::isnan(lch[2]))
        return place;
    // A near-grey keeps the hue the bars had where that gives the same colour.
    if (place.chroma == 0 && place.colour() == colour)
        return place;
    const long own = std::lround(lch[2] * 10);
    place.hue = wrappedHue(static_cast<int>(own));
    place.offset[2] = lch[2] * 10 - static_cast<double>(own);
    return place;
}
