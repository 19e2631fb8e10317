#pragma once

#include "ColourText.h"
#include "colour/ColourSpaces.h"
#include "css/CssCalc.h"

#include <array>
#include <optional>
#include <span>

// The parts of the colour reader that its files share: a colour as read, before it is painted; the
// values inside the colour functions; color-mix(); and the names of the system colours.
namespace ColourText {

// A colour before it is painted: its space, channels, alpha, and which of the four are none.
struct Colour {
    ColourSpaces::Space space = ColourSpaces::Space::Srgb;
    ColourSpaces::Triple channels{};
    double alpha = 1;
    std::array<bool, 4> missing{};
};

// What a colour text gave: a colour, or a reason why not.
struct Result {
    std::optional<Colour> colour;
    Refusal refusal = Refusal::NoColour;
    QString name;
};

inline Result refused(Refusal refusal, QString name = {})
{
    return Result{std::nullopt, refusal, std::move(name)};
}

inline Result accepted(const Colour& colour)
{
    return Result{colour, Refusal::None, {}};
}

// ---- The values inside colour functions (ColourFunctions.cpp) -------------------------------------

// One channel value: a number, percentage or angle, calc() of one, or none (nullopt inside).
struct Channel {
    std::optional<CssCalc::Quantity> quantity; // empty for none
};

std::optional<Channel> channel(const CssValue& item);

// The inside of a colour function: three channels split by commas or by whitespace, and an alpha after
// a fourth comma or after a slash.
struct Arguments {
    std::array<Channel, 3> channels;
    std::optional<Channel> alpha;
    bool commas = false;
};

std::optional<Arguments> arguments(const CssValues& inside);

bool isKind(const Channel& value, CssCalc::Quantity::Kind kind);
// A hue in degrees, or a number; none is zero and missing.
std::optional<double> hue(const Channel& value, bool& missing);
// A channel of a legacy colour, which is 8-bit.
double eightBit(double value);

// rgb() and rgba(): legacy colours are 8-bit, so the channels are rounded where they are read.
std::optional<Colour> rgbFunction(const Arguments& args);

// hsl() and hwb(): a hue, then two numbers or percentages (percentages only in the comma form).
std::optional<Colour> hueFunction(const Arguments& args, ColourSpaces::Space space);

// lab(), lch(), oklab() and oklch(): lightness, then a and b or chroma and hue.
std::optional<Colour> labFunction(const Arguments& args, ColourSpaces::Space space);

// The colour space a color() or color-mix() names; the polar and Lab spaces only for mixing.
std::optional<ColourSpaces::Space> spaceNamed(const CssToken& token, bool forMixing);

// color(space c1 c2 c3 / alpha): numbers or percentages, 100% being 1, and nothing clamped.
std::optional<Colour> colorFunction(const CssValues& inside);

// ---- color-mix() (ColourMix.cpp) ---------------------------------------------------------------------

// color-mix([in space [hue method]], colour [p%], colour [p%]).
Result colourMix(const CssValues& inside, int depth);

// ---- Whole colours (ColourText.cpp) -------------------------------------------------------------------

// A colour value; `depth` counts the colours it is nested in, through color-mix() and relative colours.
Result colour(const CssValues& values, int depth);

// The system colour keywords of CSS Color 4, current and deprecated (NamedColours.cpp).
std::span<const char* const> systemColourNames();

} // namespace ColourText
