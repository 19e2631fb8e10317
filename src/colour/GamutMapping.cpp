#include "GamutMapping.h"

#include <algorithm>
#include <cmath>

namespace GamutMapping {

namespace {

using ColourSpaces::Space;
using ColourSpaces::Triple;

constexpr double Jnd = 0.02;
// Where the search stops: chroma known to a ten-thousandth, or a clipped colour this near the JND.
constexpr double Epsilon = 0.0001;

bool inUnitCube(const Triple& rgb, double tolerance)
{
    return std::ranges::all_of(rgb, [tolerance](double v) { return v >= -tolerance && v <= 1 + tolerance; });
}

Triple clip(const Triple& rgb)
{
    return {std::clamp(rgb[0], 0.0, 1.0), std::clamp(rgb[1], 0.0, 1.0), std::clamp(rgb[2], 0.0, 1.0)};
}

// deltaEOK: the Euclidean distance in Oklab between an sRGB colour and an OKLCH one.
double delta(const Triple& srgb, const Triple& oklch)
{
    const Triple one = ColourSpaces::convert(Space::Srgb, Space::Oklab, srgb);
    const Triple two = ColourSpaces::convert(Space::Oklch, Space::Oklab, oklch);
    return std::hypot(one[0] - two[0], one[1] - two[1], one[2] - two[2]);
}

} // namespace

bool inSrgb(const Triple& oklch, double tolerance)
{
    return inUnitCube(ColourSpaces::convert(Space::Oklch, Space::Srgb, oklch), tolerance);
}

Triple toSrgb(const Triple& origin)
{
    if (origin[0] >= 1)
        return {1, 1, 1};
    if (origin[0] <= 0)
        return {0, 0, 0};
    const Triple unmapped = ColourSpaces::convert(Space::Oklch, Space::Srgb, origin);
    if (inUnitCube(unmapped, 0.0))
        return unmapped;

    Triple current = origin;
    Triple clipped = clip(unmapped);
    if (delta(clipped, current) < Jnd)
        return clipped;
    double min = 0;
    double max = origin[1];
    bool minInGamut = true;
    while (max - min > Epsilon) {
        const double chroma = (min + max) / 2;
        current[1] = chroma;
        const Triple rgb = ColourSpaces::convert(Space::Oklch, Space::Srgb, current);
        if (minInGamut && inUnitCube(rgb, 0.0)) {
            min = chroma;
            continue;
        }
        clipped = clip(rgb);
        const double e = delta(clipped, current);
        if (e < Jnd) {
            if (Jnd - e < Epsilon)
                return clipped;
            minInGamut = false;
            min = chroma;
        } else {
            max = chroma;
        }
    }
    return clipped;
}

} // namespace GamutMapping
