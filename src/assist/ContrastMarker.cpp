#include "ContrastMarker.h"

#include "colour/Apca.h"
#include "colour/Contrast.h"
#include "colour/Srgb.h"

#include <algorithm>
#include <cstdlib>

namespace ContrastMarker {

bool meets(int slot, const Rgb& colour, const Rgb& pair, ContrastAudit::Target target)
{
    const bool isBackground = slot == Slot::Background;
    const Rgb& fore = isBackground ? pair : colour;
    const Rgb& back = isBackground ? colour : pair;
    if (ContrastAudit::isApca(target))
        return std::abs(Apca::lightnessContrast(fore, back)) >= ContrastAudit::levelFor(target);
    const double level = ContrastAudit::levelFor(target);
    const Srgb::Linear f = Srgb::linear(fore), b = Srgb::linear(back);
    return Srgb::contrastRatio(Srgb::luminance(f), Srgb::luminance(b)) >= level
        && Srgb::contrastRatio(Srgb::luminanceUnrounded(f), Srgb::luminanceUnrounded(b)) >= level;
}

std::optional<int> lightness(int slot, const OklchPosition& place, const Rgb& pair, ContrastAudit::Target target)
{
    OklchPosition there = place;
    const auto passes = [&](int l) {
        there.lightness = l;
        return meets(slot, there.colour(), pair, target);
    };
    // Every 16 steps, then halving between two that disagree down to the one step where passing turns to
    // failing: some 70 colours rather than a thousand, each gamut-mapped. A passing stretch narrower than
    // 16 steps can be missed; every edge found is exact to one step.
    constexpr int Stride = 16;
    std::optional<int> nearest;
    int previous = 0;
    bool previousPasses = passes(0);
    for (int next = Stride; previous < OklchPosition::MaxLightness; next += Stride) {
        next = std::min(next, static_cast<int>(OklchPosition::MaxLightness));
        const bool nextPasses = passes(next);
        if (nextPasses != previousPasses) {
            int low = previous, high = next;
            while (high - low > 1) {
                const int middle = (low + high) / 2;
                (passes(middle) == previousPasses ? low : high) = middle;
            }
            const int edge = previousPasses ? low : high;
            if (!nearest || std::abs(edge - place.lightness) < std::abs(*nearest - place.lightness))
                nearest = edge;
        }
        previous = next;
        previousPasses = nextPasses;
    }
    return nearest;
}

} // namespace ContrastMarker
