#include "ComputedStyle.h"

#include "CustomProperties.h"
#include "Shorthands.h"
#include "css/ColourText.h"
#include "css/CssCalc.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace {

using Context = ComputedStyle::Context;
using Property = ComputedStyle::Property;

bool isWideKeyword(const CssValues& values)
{
    return CustomProperties::isWideKeyword(values);
}

bool isKeyword(const CssValues& value, const char16_t* keyword)
{
    return value.size() == 1 && value[0].token.isIdent(keyword);
}

Argb canvasText(bool dark)
{
    return *ColourText::systemColour(u"canvastext", dark);
}

// color-scheme: normal, or names with only. The used scheme is the first the element names that the
// page is read in, else the page's <meta name="color-scheme">.
void computeScheme(ComputedStyle& style, const CssValues& value, const Context&)
{
    if (isKeyword(value, u"initial")) {
        style.scheme.clear();
    } else if (!value.isEmpty() && !isWideKeyword(value)) {
        style.scheme.clear();
        for (const CssValue& item : value) {
            if (item.token.is(CssToken::Ident) && !item.token.isIdent(u"normal") && !item.token.isIdent(u"only"))
                style.scheme << item.token.text.toLower();
        }
    }
}

void settleScheme(ComputedStyle& style, const Context& context)
{
    const QStringList schemes = ComputedStyle::namedSchemes(style, context);
    const bool dark = schemes.contains(QLatin1String("dark"));
    style.dark = context.preferDark && dark ? true : (schemes.contains(QLatin1String("light")) ? false : dark);
}

bool validScheme(const CssValues& value)
{
    return std::all_of(value.begin(), value.end(),
        [](const CssValue& v) { return v.token.is(CssToken::Ident) || v.token.is(CssToken::Whitespace); });
}

// color: the root's initial colour is the scheme's text colour; currentcolor is the inherited one. The
// root inheriting (inherit, unset, or a var() that failed) takes the document's own colour, black in
// either scheme.
void computeColour(ComputedStyle& style, const CssValues& value, const Context& context)
{
    if (!context.parent && (value.isEmpty() || isKeyword(value, u"inherit") || isKeyword(value, u"unset"))) {
        style.colour = argb(0, 0, 0);
    } else if (isKeyword(value, u"initial")) {
        style.colour = canvasText(style.dark);
    } else if (!value.isEmpty() && !isWideKeyword(value)) {
        if (const std::optional<Argb> rgba = ColourText::readRgba(value, ColourText::Context{style.dark, style.colour}))
            style.colour = *rgba;
        else
            style.unusable << QStringLiteral("color: ") + CssParser::text(value);
    }
}

bool validColour(const CssValues& value)
{
    return ComputedStyle::isColour(value) || isKeyword(value, u"currentcolor");
}

// background-color: currentcolor is the element's own computed colour.
void computeBackground(ComputedStyle& style, const CssValues& value, const Context& context)
{
    if (isKeyword(value, u"inherit")) {
        style.background = context.parent ? context.parent->background : argb(0, 0, 0, 0);
    } else if (!value.isEmpty() && !isWideKeyword(value)) {
        if (const std::optional<Argb> rgba = ColourText::readRgba(value, ColourText::Context{style.dark, style.colour}))
            style.background = *rgba;
        else
            style.unusable << QStringLiteral("background-color: ") + CssParser::text(value);
    }
}

void computeOpacity(ComputedStyle& style, const CssValues& value, const Context& context)
{
    if (isKeyword(value, u"inherit"))
        style.opacity = context.parent ? context.parent->opacity : 1.0;
    else if (const std::optional<double> opacity = ComputedStyle::opacityOf(value))
        style.opacity = *opacity;
}

bool validOpacity(const CssValues& value)
{
    return ComputedStyle::opacityOf(value).has_value();
}

// filter: brightness() and opacity() change the colours painted; other filters are left aside.
void computeFilter(ComputedStyle& style, const CssValues& value, const Context&)
{
    for (const CssValue& item : value) {
        const bool brightness = item.isFunction(u"brightness");
        if (!brightness && !item.isFunction(u"opacity"))
            continue;
        const CssValues inside = CssParser::trimmed(item.inside);
        const std::optional<CssCalc::Quantity> amount
            = inside.isEmpty() ? CssCalc::Quantity{1} : CssCalc::evaluate(inside);
        if (!amount || (amount->kind != CssCalc::Quantity::Number && amount->kind != CssCalc::Quantity::Percent))
            continue;
        const double factor
            = std::max(0.0, amount->kind == CssCalc::Quantity::Percent ? amount->value / 100 : amount->value);
        if (brightness)
            style.brightness *= factor;
        else
            style.opacity *= std::min(factor, 1.0);
    }
}

bool validFilter(const CssValues& value)
{
    return value[0].token.is(CssToken::Function) || value[0].token.isIdent(u"none") || value[0].token.is(CssToken::Url);
}

// background-image: a single linear-gradient(), which the page's colour is read from where it is flat.
void computeImage(ComputedStyle& style, const CssValues& value, const Context&)
{
    style.box.picture = std::any_of(value.begin(), value.end(), [](const CssValue& item) {
        const CssToken& token = item.token;
        return token.is(CssToken::Url)
            || (token.is(CssToken::Function)
                && (token.text.endsWith(QLatin1String("gradient"), Qt::CaseInsensitive) || item.isFunction(u"url")
                    || item.isFunction(u"image") || item.isFunction(u"image-set")
                    || item.isFunction(u"-webkit-image-set") || item.isFunction(u"cross-fade")
                    || item.isFunction(u"element") || item.isFunction(u"paint")));
    });
    if (value.size() == 1 && value[0].isFunction(u"linear-gradient"))
        style.backgroundImage = value;
}

bool validAny(const CssValues&)
{
    return true;
}

bool validMargin(const CssValues& value)
{
    return Shorthands::words(value, 1).size() == 1 && ComputedStyle::isMarginSide(value[0]);
}

// Margins: what the page's declarations give, left for the caller to measure. A value var() made
// invalid is unset: for a margin its initial 0, as a lone tag reads it too.
CssValues marginValue(const CssValues& value)
{
    return value.isEmpty() ? CssParser::values(u"0") : value;
}

void computeMarginLeft(ComputedStyle& style, const CssValues& value, const Context&)
{
    style.marginLeft = marginValue(value);
}

void computeMarginTop(ComputedStyle& style, const CssValues& value, const Context&)
{
    style.marginTop = marginValue(value);
}

QList<Property> makeProperties()
{
    QList<Property> table;
    Property scheme{QLatin1String("color-scheme"), true};
    scheme.initial = [](ComputedStyle& style, const Context&) { style.scheme.clear(); };
    scheme.inherit = [](ComputedStyle& style, const ComputedStyle& parent) { style.scheme = parent.scheme; };
    scheme.compute = computeScheme;
    scheme.settle = settleScheme;
    scheme.valid = validScheme;
    table << scheme;

    Property colour{QLatin1String("color"), true};
    colour.initial = [](ComputedStyle& style, const Context&) { style.colour = canvasText(style.dark); };
    colour.inherit = [](ComputedStyle& style, const ComputedStyle& parent) { style.colour = parent.colour; };
    colour.compute = computeColour;
    colour.valid = validColour;
    table << colour;

    Property background{QLatin1String("background-color")};
    background.compute = computeBackground;
    background.valid = validColour;
    table << background;

    Property opacity{QLatin1String("opacity")};
    opacity.compute = computeOpacity;
    opacity.valid = validOpacity;
    table << opacity;

    Property filter{QLatin1String("filter")};
    filter.compute = computeFilter;
    filter.valid = validFilter;
    table << filter;

    Property image{QLatin1String("background-image")};
    image.compute = computeImage;
    image.valid = validAny;
    table << image;

    for (const bool left : {true, false}) {
        Property margin{left ? QLatin1String("margin-left") : QLatin1String("margin-top"), false, true};
        margin.compute = left ? computeMarginLeft : computeMarginTop;
        margin.valid = validMargin;
        table << margin;
    }
    ComputedStyle::addBoxProperties(table);
    return table;
}

} // namespace

const QList<ComputedStyle::Property>& ComputedStyle::properties()
{
    static const QList<Property> table = [] {
        QList<Property> made = makeProperties();
        for (Property& property : made)
            property.key = property.name;
        return made;
    }();
    return table;
}

const ComputedStyle::Property* ComputedStyle::property(QStringView name)
{
    for (const Property& property : properties()) {
        if (name == property.name)
            return &property;
    }
    return nullptr;
}

QStringList ComputedStyle::namedSchemes(const ComputedStyle& style, const Context& context)
{
    return style.scheme.isEmpty() ? context.metaScheme.toString().toLower().split(u' ', Qt::SkipEmptyParts)
                                  : style.scheme;
}

bool ComputedStyle::isColour(const CssValues& values)
{
    return ColourText::readRgba(values, ColourText::Context{false, argb(0, 0, 0)}).has_value();
}

bool ComputedStyle::isMarginSide(const CssValue& value)
{
    const CssToken& token = value.token;
    return token.is(CssToken::Dimension) || token.is(CssToken::Percentage) || token.isIdent(u"auto")
        || (token.is(CssToken::Number) && token.number == 0) || token.is(CssToken::Function);
}

// A length in CSS pixels, calc() of lengths included, em and rem taken at the browser's default 16 px;
// nothing for a length or percentage that depends on the page, and for what is no length at all.
std::optional<double> ComputedStyle::pixels(const CssValue& value)
{
    const CssToken& token = value.token;
    if (token.is(CssToken::Number) && token.number == 0)
        return 0.0;
    if (!token.is(CssToken::Dimension) && !value.isFunction(u"calc"))
        return std::nullopt;
    const std::optional<CssCalc::Quantity> length
        = CssCalc::evaluate(token.is(CssToken::Dimension) ? CssValues{value} : value.inside.values());
    if (!length || length->kind != CssCalc::Quantity::Length)
        return std::nullopt;
    // As in a browser, NaN is 0 and the infinities are the largest lengths, which then get limited.
    return std::isnan(length->value) ? 0.0 : std::clamp(length->value, -1e9, 1e9);
}

bool ComputedStyle::isMarginLength(const CssValue& value)
{
    static const QStringList lengthUnits{QStringLiteral("ex"), QStringLiteral("ch"), QStringLiteral("vw"),
        QStringLiteral("vh"), QStringLiteral("vmin"), QStringLiteral("vmax"), QStringLiteral("lh"),
        QStringLiteral("rlh"), QStringLiteral("vi"), QStringLiteral("vb"), QStringLiteral("cap"), QStringLiteral("ic")};
    const CssToken& token = value.token;
    return pixels(value) || token.is(CssToken::Percentage) || token.isIdent(u"auto")
        || (token.is(CssToken::Dimension) && lengthUnits.contains(token.text.toLower())) || value.isFunction(u"calc")
        || value.isFunction(u"min") || value.isFunction(u"max") || value.isFunction(u"clamp");
}

std::optional<double> ComputedStyle::opacityOf(const CssValues& value)
{
    if (value.size() != 1)
        return std::nullopt;
    const bool math = value[0].token.is(CssToken::Function);
    const std::optional<CssCalc::Quantity> quantity
        = CssCalc::evaluate(math && value[0].isFunction(u"calc") ? value[0].inside.values() : value);
    if (!quantity || (quantity->kind != CssCalc::Quantity::Number && quantity->kind != CssCalc::Quantity::Percent))
        return std::nullopt;
    const double number = quantity->kind == CssCalc::Quantity::Percent ? quantity->value / 100 : quantity->value;
    return std::isnan(number) ? 0.0 : std::clamp(number, 0.0, 1.0);
}
