#pragma once

#include "colour/Rgb.h"
#include <QString>
#include <array>

// One colour written out the way style sheets and colour tools write it. Every text is as short as it
// can be while still reading back to exactly the same 8-bit colour.
namespace ColourFormats {

enum class Format { Hex, Rgb, Hsl, Oklch };
inline constexpr std::array<Format, 4> formats{Format::Hex, Format::Rgb, Format::Hsl, Format::Oklch};

// "#RRGGBB", "rgb(r g b)", "hsl(h s% l%)" or "oklch(L% C H)".
QString write(const Rgb& colour, Format format);

} // namespace ColourFormats
