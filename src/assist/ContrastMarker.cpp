#include "ContrastMarker.h"

#include "colour/Apca.h"
#include "colour/Contrast.h"
#include "colour/Srgb.h"

#include <array>
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
    constexpr int Steps = OklchPosition::MaxLightness + 1;
    std::array<bool, Steps> passing{};
    OklchPosition there = place;
    for (int l = 0; l < Steps; ++l) {
        there.lightness = l;
        passing[static_cast<std::size_t>(l)] = meets(slot, there.colour(), pair, target);
    }
    std::optional<int> nearest;
    for (int l = 0; l < Steps; ++l) {
        const auto at = [&](int i) { return passing[static_cast<std::size_t>(i)]; };
        // An edge of a passing stretch: the step beside it fails.
        if (!at(l) || !((l > 0 && !at(l - 1)) || (l + 1 < Steps && !at(l + 1))))
            continue;
        if (!nearest || std::abs(l - place.lightness) < std::abs(*nearest - place.lightness))
            nearest = l;
    }
    return nearest;
}

} // namespace ContrastMarker
