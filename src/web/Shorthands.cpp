#include "Shorthands.h"

#include <algorithm>

namespace Shorthands {

QList<CssValues> words(const CssValues& values, qsizetype most)
{
    QList<CssValues> result;
    for (const CssValue& value : values) {
        if (value.token.is(CssToken::Whitespace))
            continue;
        if (result.size() > most)
            break;
        result.append(CssValues{value});
    }
    return result;
}

std::optional<CssValues> backgroundColour(const CssValues& values, const std::function<bool(const CssValue&)>& isColour)
{
    return backgroundColour(values.constData(), values.size(), isColour);
}

std::optional<CssValues> backgroundColour(
    const CssValue* values, qsizetype count, const std::function<bool(const CssValue&)>& isColour)
{
    std::optional<CssValues> colour;
    bool lastLayer = true;
    for (qsizetype i = count - 1; i >= 0; --i) {
        const CssValue& value = values[i];
        if (value.token.is(CssToken::Comma)) {
            lastLayer = false;
            continue;
        }
        if (value.token.is(CssToken::Whitespace) || value.token.isDelim(u'/'))
            continue;
        if (isColour(value)) {
            if (colour || !lastLayer)
                return std::nullopt;
            colour = CssValues{value};
        } else if (!(value.token.is(CssToken::Ident) || value.token.is(CssToken::Url)
                       || value.token.is(CssToken::Function) || value.token.is(CssToken::Number)
                       || value.token.is(CssToken::Percentage) || value.token.is(CssToken::Dimension))) {
            return std::nullopt;
        }
    }
    if (count == 0)
        return std::nullopt;
    return colour.value_or(CssParser::values(u"transparent"));
}

std::optional<std::pair<CssValues, CssValues>> marginSides(
    const CssValues& values, const std::function<bool(const CssValue&)>& isSide)
{
    const QList<CssValues> sides = words(values, 4);
    if (sides.isEmpty() || sides.size() > 4
        || !std::all_of(sides.begin(), sides.end(), [&](const CssValues& side) { return isSide(side[0]); }))
        return std::nullopt;
    return std::pair{sides[0], sides[sides.size() == 4 ? 3 : (sides.size() >= 2 ? 1 : 0)]};
}

} // namespace Shorthands
