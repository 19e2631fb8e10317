#pragma once

#include "css/CssParser.h"

#include <functional>
#include <limits>
#include <optional>
#include <utility>

// What the reader takes from the two shorthands it needs, for the cascade and for a lone body tag alike:
// background's colour and margin's top and left. Which words count as a colour or a side is the caller's.
namespace Shorthands {

// The words of a value, whitespace dropped: no more than `most` and one, enough to tell a value of
// more than `most` (which may be as long as the text) from one of `most`.
QList<CssValues> words(const CssValues& values, qsizetype most = std::numeric_limits<qsizetype>::max() - 1);

// The colour in a background shorthand, transparent when it names none; nothing when the value is
// invalid. Only the last layer may hold a colour, and only one.
std::optional<CssValues> backgroundColour(
    const CssValues& values, const std::function<bool(const CssValue&)>& isColour);
// The same of `count` values in place, such as a declaration's in its block, not copied.
std::optional<CssValues> backgroundColour(
    const CssValue* values, qsizetype count, const std::function<bool(const CssValue&)>& isColour);

// margin: top [right [bottom [left]]], as {top, left}; nothing unless every word is a side.
std::optional<std::pair<CssValues, CssValues>> marginSides(
    const CssValues& values, const std::function<bool(const CssValue&)>& isSide);

} // namespace Shorthands
