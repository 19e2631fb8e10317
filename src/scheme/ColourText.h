#pragma once

#include <QColor>
#include <QStringView>
#include <optional>
#include <span>

// Colours as people write them in style guides and style sheets, read into an exact 8-bit colour.
//
// Accepted, with any whitespace around:
//   #rgb, #rrggbb, and rrggbb without the #, hex digits in any case;
//   rgb(r, g, b) and rgb(r g b), each value a number 0..255 or a percentage;
//   hsl(h, s%, l%) and hsl(h s% l%), the hue in degrees, optionally with a deg, grad, rad or turn unit;
//   the 148 CSS named colours (both gray and grey spellings, rebeccapurple), in any letter case.
// As in CSS, out-of-range values are clamped (rgb(300, -4, 0) is red), fractions are rounded to the
// nearest 8-bit value with halves going up, the hue wraps around, the function names may be written
// rgba and hsla, and the comma form takes numbers or percentages but not both mixed.
// The page colours have no transparency, so an alpha part (#rgba, #rrggbbaa, a fourth value after a
// comma or a /) is accepted only when it says fully opaque; any other alpha is refused rather than
// silently dropped. Everything else, including CSS exponents and the "none" keyword, is refused.
namespace ColourText {

struct NamedColour {
    const char* name; // lower case
    QRgb rgb;
};

std::optional<QColor> parse(QStringView text);

// The CSS named colours, lower-case names in alphabetical order.
std::span<const NamedColour> namedColours();

} // namespace ColourText
