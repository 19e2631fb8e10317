#pragma once

#include "css/CssParser.h"

#include <optional>

// calc() over numbers, percentages, angles and lengths, as CSS Values 4 defines it: + and - between
// whitespace, * and / with a number on one side, parentheses, nested calc() and the constants e, pi,
// infinity and NaN. Sums must add like to like; a percentage is not resolved against anything.
namespace CssCalc {

struct Quantity {
    enum Kind { Number, Percent, Angle, Length }; // angles in degrees, lengths in px (em and rem at 16 px)
    double value = 0;
    Kind kind = Number;
};

// What the relative lengths are, in px: by default the browser's default 16 px font in a 1280 × 800
// window. With `percent` set, a percentage is a length: that share of it.
struct Units {
    double em = 16;
    double rem = 16;
    double ex = 8;
    double ch = 8;
    double vw = 12.8;
    double vh = 8;
    std::optional<double> percent;
};

// The inside of a calc(), or one plain number, percentage or dimension; nothing when it is invalid.
std::optional<Quantity> evaluate(const CssValues& values);
std::optional<Quantity> evaluate(const CssValues& values, const Units& units);

} // namespace CssCalc
