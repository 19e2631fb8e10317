#pragma once

#include <QColor>
#include <QString>
#include <QStringView>
#include <array>
#include <optional>

// One colour written out the way style sheets and colour tools write it. Every text is as short as it
// can be while still reading back to exactly the same 8-bit colour.
namespace ColourFormats {

enum class Format { Hex, Rgb, Hsl, Oklch };
inline constexpr std::array<Format, 4> formats{Format::Hex, Format::Rgb, Format::Hsl, Format::Oklch};

// "#RRGGBB", "rgb(r g b)", "hsl(h s% l%)" or "oklch(L% C H)".
QString write(const QColor& colour, Format format);

// Any colour ColourText reads; oklch() too while ColourText does not read it yet.
std::optional<QColor> read(QStringView text);

// oklch(L C H) with L a number 0..1 or a percentage, C a number or a percentage of 0.4, H in degrees
// with an optional deg; a colour outside sRGB is clipped channel by channel.
std::optional<QColor> readOklch(QStringView text);

} // namespace ColourFormats
