#pragma once

#include "colour/ColourScheme.h"

#include "colour/Rgb.h"
#include <QString>
#include <array>

// How a page looks to readers with a colour-vision deficiency.
namespace ColourVision {

enum class Deficiency { Normal, Protanopia, Deuteranopia, Tritanopia, Achromatopsia };

inline constexpr std::array<Deficiency, 5> All{Deficiency::Normal, Deficiency::Protanopia, Deficiency::Deuteranopia,
    Deficiency::Tritanopia, Deficiency::Achromatopsia};

// The colour as the reader sees it, on 8-bit channels. Normal vision returns the colour unchanged.
Rgb simulate(Deficiency deficiency, const Rgb& colour);
// Every slot of `scheme` as the reader sees it.
ColourScheme simulate(Deficiency deficiency, const ColourScheme& scheme);

// "Normal Vision", "Protanopia", ...: the name shown to the user.
QString displayName(Deficiency deficiency);

} // namespace ColourVision
