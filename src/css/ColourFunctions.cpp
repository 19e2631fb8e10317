#include "ColourParts.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ColourText {

using ColourSpaces::Space;

namespace {

// A number or percentage, percentages scaled so that 100% is hundred; none is zero and missing.
std::optional<double> scaled(const Channel& value, double hundred, bool& missing)
{
    missing = !value.quantity;
    if (missing)
        return 0.0;
    if (value.quantity->kind == CssCalc::Quantity::Number)
        return value.quantity->value;
    if (value.quantity->kind == CssCalc::Quantity::Percent)
        return value.quantity->value * hundred / 100;
    return std::nullopt;
}

// The alpha, clamped to 0..1; a missing one is opaque for painting but stays missing for mixing.
bool readAlpha(const Arguments& args, Colour& colour)
{
    if (!args.alpha)
        return true;
    bool missing = false;
    const std::optional<double> alpha = scaled(*args.alpha, 1, missing);
    if (!alpha)
        return false;
    colour.alpha = missing ? 0 : std::clamp(*alpha, 0.0, 1.0);
    colour.missing[3] = missing;
    return true;
}

} // namespace

std::optional<Channel> channel(const CssValue& item)
{
    const CssToken& token = item.token;
    if (token.isIdent(u"none"))
        return Channel{};
    if (item.isFunction(u"calc") || item.isFunction(u"min") || item.isFunction(u"max") || item.isFunction(u"clamp")) {
        std::optional<CssCalc::Quantity> result
            = CssCalc::evaluate(item.isFunction(u"calc") ? item.inside.values() : CssValues{item});
        if (!result)
            return std::nullopt;
        // A NaN result counts as zero, and infinities as the largest values.
        if (std::isnan(result->value))
            result->value = 0;
        result->value
            = std::clamp(result->value, std::numeric_limits<double>::lowest(), std::numeric_limits<double>::max());
        return Channel{result};
    }
    if (token.is(CssToken::Number) || token.is(CssToken::Percentage) || token.is(CssToken::Dimension)) {
        const CssValues one{item};
        if (const std::optional<CssCalc::Quantity> result = CssCalc::evaluate(one))
            return Channel{result};
    }
    return std::nullopt;
}

std::optional<Arguments> arguments(const CssValues& inside)
{
    Arguments result;
    QList<const CssValue*> items;
    qsizetype slash = -1;
    for (const CssValue& item : inside) {
        if (item.token.is(CssToken::Whitespace))
            continue;
        if (item.token.is(CssToken::Comma))
            result.commas = true;
        if (item.token.isDelim(u'/')) {
            if (slash >= 0)
                return std::nullopt;
            slash = items.size();
        }
        // Three channels and an alpha take seven items at most, with their commas.
        if (items.size() == 7)
            return std::nullopt;
        items.append(&item);
    }
    QList<const CssValue*> values;
    if (result.commas) {
        // value , value , value [, value]
        if (slash >= 0 || (items.size() != 5 && items.size() != 7))
            return std::nullopt;
        for (qsizetype i = 0; i < items.size(); ++i) {
            if ((i % 2 == 1) != items[i]->token.is(CssToken::Comma))
                return std::nullopt;
            if (i % 2 == 0)
                values.append(items[i]);
        }
    } else {
        if (slash >= 0 && (slash != 3 || items.size() != 5))
            return std::nullopt;
        if (slash < 0 && items.size() != 3)
            return std::nullopt;
        for (qsizetype i = 0; i < items.size(); ++i) {
            if (i != slash)
                values.append(items[i]);
        }
    }
    for (qsizetype i = 0; i < values.size(); ++i) {
        const std::optional<Channel> value = channel(*values[i]);
        if (!value || (result.commas && !value->quantity))
            return std::nullopt;
        if (i < 3)
            result.channels[static_cast<std::size_t>(i)] = *value;
        else
            result.alpha = *value;
    }
    return result;
}

bool isKind(const Channel& value, CssCalc::Quantity::Kind kind)
{
    return value.quantity && value.quantity->kind == kind;
}

std::optional<double> hue(const Channel& value, bool& missing)
{
    missing = !value.quantity;
    if (missing)
        return 0.0;
    if (value.quantity->kind != CssCalc::Quantity::Number && value.quantity->kind != CssCalc::Quantity::Angle)
        return std::nullopt;
    return value.quantity->value;
}

double eightBit(double value)
{
    return std::floor(std::clamp(value, 0.0, 255.0) + 0.5);
}

// rgb() and rgba(): legacy colours are 8-bit, so the channels are rounded where they are read.
std::optional<Colour> rgbFunction(const Arguments& args)
{
    if (args.commas) {
        const bool percent = isKind(args.channels[0], CssCalc::Quantity::Percent);
        for (const Channel& value : args.channels) {
            if (!isKind(value, percent ? CssCalc::Quantity::Percent : CssCalc::Quantity::Number))
                return std::nullopt;
        }
    }
    Colour colour;
    for (std::size_t i = 0; i < 3; ++i) {
        bool missing = false;
        const std::optional<double> value = scaled(args.channels[i], 255, missing);
        if (!value)
            return std::nullopt;
        colour.channels[i] = eightBit(*value) / 255;
        colour.missing[i] = missing;
    }
    if (!readAlpha(args, colour))
        return std::nullopt;
    return colour;
}

// hsl() and hwb(): a hue, then two numbers or percentages (percentages only in the comma form).
std::optional<Colour> hueFunction(const Arguments& args, Space space)
{
    if (args.commas
        && (space == Space::Hwb || !isKind(args.channels[1], CssCalc::Quantity::Percent)
            || !isKind(args.channels[2], CssCalc::Quantity::Percent)))
        return std::nullopt;
    Colour colour;
    colour.space = space;
    const std::optional<double> degrees = hue(args.channels[0], colour.missing[0]);
    if (!degrees)
        return std::nullopt;
    colour.channels[0] = *degrees;
    for (std::size_t i = 1; i < 3; ++i) {
        const std::optional<double> value = scaled(args.channels[i], 100, colour.missing[i]);
        if (!value)
            return std::nullopt;
        // As in a browser: saturation and lightness stay within 0..100%; whiteness and blackness only
        // above 0, since their sum is normalised anyway.
        colour.channels[i] = (space == Space::Hsl ? std::clamp(*value, 0.0, 100.0) : std::max(*value, 0.0)) / 100;
    }
    if (!readAlpha(args, colour))
        return std::nullopt;
    return colour;
}

// lab(), lch(), oklab() and oklch(): lightness, then a and b or chroma and hue.
std::optional<Colour> labFunction(const Arguments& args, Space space)
{
    if (args.commas)
        return std::nullopt;
    const bool ok = space == Space::Oklab || space == Space::Oklch;
    const bool polar = space == Space::Lch || space == Space::Oklch;
    const double lightness = ok ? 1 : 100;
    const double axis = ok ? (polar ? 0.4 : 0.4) : (polar ? 150 : 125);
    Colour colour;
    colour.space = space;
    const std::optional<double> l = scaled(args.channels[0], lightness, colour.missing[0]);
    const std::optional<double> second = scaled(args.channels[1], axis, colour.missing[1]);
    const std::optional<double> third
        = polar ? hue(args.channels[2], colour.missing[2]) : scaled(args.channels[2], axis, colour.missing[2]);
    if (!l || !second || !third)
        return std::nullopt;
    colour.channels = {std::clamp(*l, 0.0, lightness), polar ? std::max(*second, 0.0) : *second, *third};
    if (!readAlpha(args, colour))
        return std::nullopt;
    return colour;
}

std::optional<Space> spaceNamed(const CssToken& token, bool forMixing)
{
    if (!token.is(CssToken::Ident))
        return std::nullopt;
    static const std::array<std::pair<const char*, Space>, 16> names{{{"srgb", Space::Srgb},
        {"srgb-linear", Space::SrgbLinear}, {"display-p3", Space::DisplayP3}, {"a98-rgb", Space::A98Rgb},
        {"prophoto-rgb", Space::ProphotoRgb}, {"rec2020", Space::Rec2020}, {"xyz", Space::XyzD65},
        {"xyz-d50", Space::XyzD50}, {"xyz-d65", Space::XyzD65}, {"lab", Space::Lab}, {"lch", Space::Lch},
        {"oklab", Space::Oklab}, {"oklch", Space::Oklch}, {"hsl", Space::Hsl}, {"hwb", Space::Hwb}, {"", Space::Srgb}}};
    const QString name = token.text.toLower();
    for (const auto& [known, space] : names) {
        const bool polarOrLab = space == Space::Lab || space == Space::Lch || space == Space::Oklab
            || space == Space::Oklch || space == Space::Hsl || space == Space::Hwb;
        if (*known && name == QLatin1String(known) && (forMixing || !polarOrLab))
            return space;
    }
    return std::nullopt;
}

// color(space c1 c2 c3 / alpha): numbers or percentages, 100% being 1, and nothing clamped.
std::optional<Colour> colorFunction(const CssValues& inside)
{
    qsizetype at = 0;
    while (at < inside.size() && inside[at].token.is(CssToken::Whitespace))
        ++at;
    if (at >= inside.size())
        return std::nullopt;
    const std::optional<Space> space = spaceNamed(inside[at].token, false);
    if (!space)
        return std::nullopt;
    const CssValues rest = inside.mid(at + 1);
    if (!rest.isEmpty() && !rest.first().token.is(CssToken::Whitespace) && !rest.first().token.isDelim(u'/'))
        return std::nullopt;
    const std::optional<Arguments> args = arguments(rest);
    if (!args || args->commas)
        return std::nullopt;
    Colour colour;
    colour.space = *space;
    for (std::size_t i = 0; i < 3; ++i) {
        const std::optional<double> value = scaled(args->channels[i], 1, colour.missing[i]);
        if (!value)
            return std::nullopt;
        colour.channels[i] = *value;
    }
    if (!readAlpha(*args, colour))
        return std::nullopt;
    return colour;
}

} // namespace ColourText
