#pragma once

#include "css/CssParser.h"

#include "colour/Rgb.h"
#include <QString>
#include <QStringView>
#include <optional>
#include <span>

// Colours as people write them in style guides and style sheets, read as a browser reads a CSS
// colour and painted as a browser paints it on an 8-bit sRGB page.
//
// Accepted is all of CSS Color 4: hex with 3, 4, 6 or 8 digits, rgb()/rgba(), hsl()/hsla(), hwb(),
// lab(), lch(), oklab(), oklch() and color() in every predefined space, in legacy and modern syntax,
// with none, calc() over numbers, percentages and angles, exponents, comments and escapes; the 148
// named colours; and color-mix(). Six hex digits without the # are taken too, as style guides write
// them. A colour outside sRGB is clipped channel by channel, as a browser paints it.
// The page colours have no transparency: a colour whose alpha does not round to 255 is refused, and so
// are transparent, currentcolor and the system colours, each with a reason the user can be shown.
namespace ColourText {

struct NamedColour {
    const char* name; // lower case
    Argb rgb;
};

enum class Refusal {
    None,
    NoColour, // not a colour at all
    Transparent, // a colour, but not opaque
    TransparentKeyword,
    CurrentColour,
    SystemColour,
};

struct Reading {
    std::optional<Rgb> colour;
    Refusal refusal = Refusal::NoColour;
    QString name; // the keyword or the text refused, for the message
};

Reading read(QStringView text);

// What a colour stands for where it is used: light-dark() picks by the element's colour scheme,
// currentcolor is the element's colour, and the system colours are the browser's own.
struct Context {
    bool dark = false;
    std::optional<Argb> currentColour; // with its alpha
};
// The colour with its alpha as a browser computes it, relative colour syntax included; nothing when
// the value is no colour that can be painted.
std::optional<Argb> readRgba(const CssValues& value, const Context& context);
// The browser's own colours, as the system colour keywords name them (canvas, canvastext, linktext,
// visitedtext, activetext), in the light or the dark scheme.
std::optional<Argb> systemColour(QStringView name, bool dark);
// One CSS value, as a style sheet holds it; hex without # is no colour here.
Reading read(const CssValues& value);
std::optional<Rgb> parse(QStringView text);

// A sentence that tells the user why the colour was refused; empty for NoColour, which each command
// words itself.
QString message(const Reading& reading);

// The CSS named colours, lower-case names in alphabetical order.
std::span<const NamedColour> namedColours();

} // namespace ColourText
