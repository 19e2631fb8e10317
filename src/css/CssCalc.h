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

// The inside of a calc(), or one plain number, percentage or dimension; nothing when it is invalid.
std::optional<Quantity> evaluate(const CssValues& values);

} // namespace CssCalc
