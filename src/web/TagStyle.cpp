#include "TagStyle.h"

#include "LegacyColour.h"
#include "Shorthands.h"
#include "css/ColourText.h"
#include "css/CssCalc.h"

#include <QCoreApplication>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

constexpr int MaximumTokens = 4096; // what var() may grow a value to; more is invalid, as in browsers

bool isWideKeyword(const CssValues& values)
{
    static const std::array<const char16_t*, 5> keywords{u"inherit", u"initial", u"unset", u"revert", u"revert-layer"};
    return values.size() == 1
        && std::any_of(keywords.begin(), keywords.end(), [&](const char16_t* k) { return values[0].token.isIdent(k); });
}

bool holdsVar(const CssValues& values)
{
    return std::any_of(values.begin(), values.end(),
        [](const CssValue& value) { return value.isFunction(u"var") || holdsVar(value.inside); });
}

bool isColour(const CssValues& values)
{
    return ColourText::read(values).refusal != ColourText::Refusal::NoColour;
}

// A length in CSS pixels, calc() of lengths included, em and rem taken at the browser's default 16 px;
// nothing for a length or percentage that depends on the page, and for what is no length at all.
std::optional<double> pixels(const CssValue& value)
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

bool isMarginValue(const CssValue& value)
{
    static const QStringList lengthUnits{QStringLiteral("ex"), QStringLiteral("ch"), QStringLiteral("vw"),
        QStringLiteral("vh"), QStringLiteral("vmin"), QStringLiteral("vmax"), QStringLiteral("lh"),
        QStringLiteral("rlh"), QStringLiteral("vi"), QStringLiteral("vb"), QStringLiteral("cap"), QStringLiteral("ic")};
    const CssToken& token = value.token;
    return pixels(value) || token.is(CssToken::Percentage) || token.isIdent(u"auto")
        || (token.is(CssToken::Dimension) && lengthUnits.contains(token.text.toLower())) || value.isFunction(u"calc")
        || value.isFunction(u"min") || value.isFunction(u"max") || value.isFunction(u"clamp");
}

using Shorthands::words;

std::optional<std::pair<CssValues, CssValues>> marginSides(const CssValues& values)
{
    return Shorthands::marginSides(values, isMarginValue);
}

std::optional<CssValues> backgroundColour(const CssValues& values)
{
    return Shorthands::backgroundColour(values, [](const CssValue& value) { return isColour(CssValues{value}); });
}

TagStyle::Value unusable(const QString& property, const CssValues& value)
{
    return TagStyle::Value{std::nullopt, std::nullopt, property + QStringLiteral(": ") + CssParser::text(value)};
}

std::optional<QString> attribute(const HtmlDocument::Attributes& attributes, const char* name)
{
    for (const auto& [key, text] : attributes) {
        if (key == QLatin1String(name))
            return text;
    }
    return std::nullopt;
}

} // namespace

// The HTML Standard's rules for parsing non-negative integers: "7.5" is 7, "10%" is 10, "-3" nothing.
std::optional<int> TagStyle::marginAttribute(const QString& text)
{
    qsizetype at = 0;
    while (at < text.size()
        && (text[at] == u' ' || text[at] == u'\t' || text[at] == u'\n' || text[at] == u'\f' || text[at] == u'\r'))
        ++at;
    const bool negative = at < text.size() && text[at] == u'-';
    if (at < text.size() && (text[at] == u'+' || negative))
        ++at;
    qint64 value = 0;
    const qsizetype first = at;
    for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at) {
        value = value * 10 + (text[at].unicode() - u'0');
        // A number too large for an int is no number to a browser.
        if (value > std::numeric_limits<int>::max())
            return std::nullopt;
    }
    if (at == first || (negative && value != 0))
        return std::nullopt;
    return int(value);
}

QString TagStyle::styleAttribute(const HtmlDocument::Attributes& body)
{
    return attribute(body, "style").value_or(QString());
}

TagStyle::TagStyle(const HtmlDocument::Attributes& body, QStringView declarations)
    : m_body(body)
{
    declareAttributes();
    for (const CssDeclaration& declaration : CssParser::styleAttribute(declarations, wanted, &m_leftOut, declarable))
        declareAll(declaration);
}

TagStyle::TagStyle(const HtmlDocument::Attributes& body, const QList<CssDeclaration>& declarations)
    : m_body(body)
{
    declareAttributes();
    // As CssParser::styleAttribute keeps them: the last of each name and importance that is valid.
    QList<const CssDeclaration*> kept;
    for (qsizetype i = declarations.size() - 1; i >= 0; --i) {
        const CssDeclaration& declaration = declarations[i];
        if (!wanted(declaration.name) || !declarable(declaration.name, declaration.value))
            continue;
        const bool later = std::any_of(kept.cbegin(), kept.cend(), [&declaration](const CssDeclaration* other) {
            return other->name == declaration.name && other->important == declaration.important;
        });
        if (!later)
            kept.prepend(&declaration);
    }
    for (const CssDeclaration* declaration : std::as_const(kept))
        declareAll(*declaration);
}

void TagStyle::declareAttributes()
{
    const auto hint = [this](const QString& property, const QString& css) {
        declare(property, Declaration{CssParser::values(css), false, false, ++m_order, {}});
    };
    for (const auto& [name, property] : {std::pair{"bgcolor", "background-color"}, std::pair{"text", "color"}}) {
        if (const std::optional<QString> text = attribute(m_body, name)) {
            if (const std::optional<Rgb> colour = LegacyColour::parse(*text))
                hint(QLatin1String(property), colour->name());
        }
    }
    // marginwidth and marginheight win over leftmargin and topmargin, as in browsers.
    for (const auto& [property, names] : {std::pair{"margin-left", std::array{"marginwidth", "leftmargin"}},
             std::pair{"margin-top", std::array{"marginheight", "topmargin"}}}) {
        for (const char* name : names) {
            if (const std::optional<int> length = marginAttribute(attribute(m_body, name).value_or(QString()))) {
                hint(QLatin1String(property), QString::number(*length) + QStringLiteral("px"));
                break;
            }
        }
    }
}

bool TagStyle::wanted(const QString& name)
{
    static const QStringList read{QStringLiteral("color"), QStringLiteral("background-color"),
        QStringLiteral("background"), QStringLiteral("margin"), QStringLiteral("margin-left"),
        QStringLiteral("margin-top")};
    return name.startsWith(QLatin1String("--")) || read.contains(name);
}

QString TagStyle::leftOutNote()
{
    return QCoreApplication::translate(
        "TagStyle", "A style attribute holds more than Hueloom reads (%L1 tokens): the rest was left out.")
        .arg(CssParser::MaximumTokens);
}

void TagStyle::declare(const QString& property, const Declaration& declaration)
{
    const auto rank = [](const Declaration& d) { return std::tuple(d.important, d.fromStyle, d.order); };
    const auto current = m_declared.constFind(property);
    if (current == m_declared.constEnd() || rank(declaration) > rank(*current))
        m_declared.insert(property, declaration);
}

// Whether declareAll declares anything for the declaration: a browser drops the rest, so that an
// earlier declaration of the name stands.
bool TagStyle::declarable(const QString& name, const CssValues& value)
{
    if (name.startsWith(QLatin1String("--")) || holdsVar(value) || isWideKeyword(value))
        return true;
    if (name == QLatin1String("color") || name == QLatin1String("background-color"))
        return isColour(value);
    if (name == QLatin1String("margin-left") || name == QLatin1String("margin-top")) {
        const QList<CssValues> one = words(value, 1);
        return one.size() == 1 && isMarginValue(one[0][0]);
    }
    if (name == QLatin1String("margin"))
        return marginSides(value).has_value();
    return name == QLatin1String("background") && backgroundColour(value).has_value();
}

void TagStyle::declareAll(const CssDeclaration& declaration)
{
    Declaration declared{declaration.value, declaration.important, true, ++m_order, {}};
    const QString& name = declaration.name;
    if (name.startsWith(QLatin1String("--"))) {
        declare(name, declared);
        return;
    }
    const bool pending = holdsVar(declaration.value);
    const bool wide = isWideKeyword(declaration.value);
    if (name == QLatin1String("color") || name == QLatin1String("background-color")) {
        if (pending || wide || isColour(declaration.value))
            declare(name, declared);
    } else if (name == QLatin1String("margin-left") || name == QLatin1String("margin-top")) {
        const QList<CssValues> one = words(declaration.value, 1);
        if (pending || wide || (one.size() == 1 && isMarginValue(one[0][0])))
            declare(name, declared);
    } else if (name == QLatin1String("margin") || name == QLatin1String("background")) {
        const bool margin = name == QLatin1String("margin");
        if (pending)
            declared.shorthand = name;
        if (pending || wide) {
            declare(margin ? QStringLiteral("margin-top") : QStringLiteral("background-color"), declared);
            if (margin)
                declare(QStringLiteral("margin-left"), declared);
        } else if (margin) {
            if (const auto sides = marginSides(declaration.value)) {
                declared.value = sides->first;
                declare(QStringLiteral("margin-top"), declared);
                declared.value = sides->second;
                declare(QStringLiteral("margin-left"), declared);
            }
        } else if (const std::optional<CssValues> colour = backgroundColour(declaration.value)) {
            declared.value = *colour;
            declare(QStringLiteral("background-color"), declared);
        }
    }
}

// A custom property's value, with var() in it resolved. Each is worked out once: a chain of properties
// each using the next twice stays linear, and grows to the token limit at most. A property in a cycle
// has no value, nor has one that inherits, with nothing above the tag to inherit from.
std::optional<CssValues> TagStyle::custom(const QString& name, int depth) const
{
    if (const auto known = m_customs.constFind(name); known != m_customs.constEnd())
        return *known;
    if (depth > 64 || m_resolving.contains(name))
        return std::nullopt;
    m_resolving.insert(name);
    std::optional<CssValues> result;
    const auto found = m_declared.constFind(name);
    if (found != m_declared.constEnd() && !isWideKeyword(found->value)) {
        int budget = MaximumTokens;
        result = substituted(found->value, depth + 1, budget);
    }
    m_resolving.remove(name);
    m_customs.insert(name, result);
    return result;
}

std::optional<CssValues> TagStyle::substituted(const CssValues& values, int depth, int& budget) const
{
    if (depth > 32)
        return std::nullopt;
    CssValues result;
    for (const CssValue& value : values) {
        if (--budget < 0)
            return std::nullopt;
        if (value.isFunction(u"var")) {
            // var( name [, fallback] ), read in place: the fallback is copied only when it is used.
            const CssValues& inside = value.inside;
            const auto skipBlank = [&inside](qsizetype at) {
                while (at < inside.size() && inside[at].token.is(CssToken::Whitespace))
                    ++at;
                return at;
            };
            const qsizetype name = skipBlank(0);
            if (name == inside.size() || !inside[name].token.is(CssToken::Ident)
                || !inside[name].token.text.startsWith(QLatin1String("--")))
                return std::nullopt;
            const qsizetype comma = skipBlank(name + 1);
            if (comma < inside.size() && !inside[comma].token.is(CssToken::Comma))
                return std::nullopt;
            std::optional<CssValues> replacement = custom(inside[name].token.text, depth + 1);
            if (!replacement && comma < inside.size()) {
                // Each value of the fallback but whitespace takes one of the budget at least: a longer
                // fallback is invalid, and is not copied (it may be as long as the text).
                const qsizetype least = std::count_if(inside.begin() + comma + 1, inside.end(),
                    [](const CssValue& item) { return !item.token.is(CssToken::Whitespace); });
                if (least > budget)
                    return std::nullopt;
                replacement = substituted(CssParser::trimmed(inside.mid(comma + 1)), depth + 1, budget);
            }
            if (!replacement)
                return std::nullopt;
            budget -= int(replacement->size());
            if (budget < 0)
                return std::nullopt;
            result += *replacement;
        } else if (!value.inside.isEmpty() && holdsVar(value.inside)) {
            std::optional<CssValues> inside = substituted(value.inside, depth + 1, budget);
            if (!inside)
                return std::nullopt;
            result.append(CssValue{value.token, std::move(*inside)});
        } else {
            result.append(value);
        }
    }
    return result;
}

// The declared value of a property, with var() resolved and a shorthand holding var() taken apart;
// nothing when none is declared, an empty list when what var() gave is invalid.
std::optional<CssValues> TagStyle::specified(const QString& property) const
{
    const auto found = m_declared.constFind(property);
    if (found == m_declared.constEnd())
        return std::nullopt;
    if (!holdsVar(found->value))
        return found->value;
    int budget = MaximumTokens;
    const std::optional<CssValues> value = substituted(found->value, 0, budget);
    if (!value)
        return CssValues{};
    const CssValues trimmed = CssParser::trimmed(*value);
    if (isWideKeyword(trimmed))
        return trimmed;
    if (found->shorthand == QLatin1String("margin")) {
        const auto sides = marginSides(trimmed);
        return sides ? (property == QLatin1String("margin-left") ? sides->second : sides->first) : CssValues{};
    }
    if (found->shorthand == QLatin1String("background"))
        return backgroundColour(trimmed).value_or(CssValues{});
    if (property == QLatin1String("color") || property == QLatin1String("background-color"))
        return isColour(trimmed) ? trimmed : CssValues{};
    const QList<CssValues> one = words(trimmed, 1);
    return one.size() == 1 && isMarginValue(one[0][0]) ? one[0] : CssValues{};
}

std::optional<TagStyle::Value> TagStyle::colour() const
{
    const QString property = QStringLiteral("color");
    const std::optional<CssValues> value = specified(property);
    // What inherits, or repeats the colour it would inherit, has nothing above it to take.
    if (!value || value->isEmpty() || isWideKeyword(*value) || (*value)[0].token.isIdent(u"currentcolor"))
        return std::nullopt;
    const ColourText::Reading reading = ColourText::read(*value);
    if (reading.colour)
        return Value{reading.colour, std::nullopt, {}};
    return unusable(property, *value);
}

std::optional<TagStyle::Value> TagStyle::background() const
{
    const QString property = QStringLiteral("background-color");
    const std::optional<CssValues> value = specified(property);
    if (!value || value->isEmpty())
        return std::nullopt;
    if ((*value)[0].token.isIdent(u"currentcolor"))
        return colour();
    if (isWideKeyword(*value))
        return std::nullopt;
    const ColourText::Reading reading = ColourText::read(*value);
    if (reading.colour)
        return Value{reading.colour, std::nullopt, {}};
    if (reading.refusal == ColourText::Refusal::TransparentKeyword)
        return std::nullopt;
    return unusable(property, *value);
}

std::optional<TagStyle::Value> TagStyle::link(Link state) const
{
    const char* name = state == Link::Active ? "alink" : (state == Link::Visited ? "vlink" : "link");
    if (const std::optional<QString> text = attribute(m_body, name)) {
        if (const std::optional<Rgb> colour = LegacyColour::parse(*text))
            return Value{*colour, std::nullopt, {}};
    }
    return std::nullopt;
}

std::optional<TagStyle::Value> TagStyle::margin(bool left) const
{
    const QString property = left ? QStringLiteral("margin-left") : QStringLiteral("margin-top");
    const std::optional<CssValues> value = specified(property);
    if (!value)
        return std::nullopt;
    if (value->isEmpty() || (*value)[0].token.isIdent(u"initial") || (*value)[0].token.isIdent(u"unset"))
        return Value{std::nullopt, 0.0, {}};
    if (isWideKeyword(*value))
        return std::nullopt;
    if (const std::optional<double> length = pixels((*value)[0]))
        return Value{std::nullopt, length, {}};
    // The body is a block in normal flow, where an auto margin comes to nothing.
    if ((*value)[0].token.isIdent(u"auto"))
        return Value{std::nullopt, 0.0, {}};
    return unusable(property, *value);
}

std::optional<Rgb> TagStyle::customColour(const QString& name) const
{
    const std::optional<CssValues> value = custom(name, 0);
    return value ? ColourText::read(CssParser::trimmed(*value)).colour : std::nullopt;
}
