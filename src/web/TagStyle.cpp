#include "TagStyle.h"

#include "ComputedStyle.h"
#include "CustomProperties.h"
#include "LegacyColour.h"
#include "Shorthands.h"
#include "WorkBudget.h"
#include "css/ColourText.h"
#include "css/CssCalc.h"

#include <QCoreApplication>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

// The work reading a tag may take, as for a page of its length (PageColours).
constexpr qint64 MinimumSteps = 200000;

bool holdsVar(const CssValues& values)
{
    return CustomProperties::holdsVar(values);
}

bool isWideKeyword(const CssValues& values)
{
    return CustomProperties::isWideKeyword(values);
}

bool isColour(const CssValues& values)
{
    return ColourText::read(values).refusal != ColourText::Refusal::NoColour;
}

std::optional<double> pixels(const CssValue& value)
{
    return ComputedStyle::pixels(value);
}

bool isMarginValue(const CssValue& value)
{
    return ComputedStyle::isMarginLength(value);
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
    resolveCustoms(declarations.size());
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
    qint64 tokens = 0;
    for (const CssDeclaration* declaration : std::as_const(kept)) {
        declareAll(*declaration);
        tokens += declaration->value.size();
    }
    // A token stands for at least a character of the text it was read from.
    resolveCustoms(tokens);
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

void TagStyle::resolveCustoms(qint64 characters)
{
    // The custom properties, in the order the tag declares them, as the cascade works them out for a
    // body with nothing above it. What inherits or reverts has nothing to take: it is not the tag's own.
    QList<std::pair<int, CustomProperties::Declared>> declared;
    for (auto it = m_declared.constBegin(); it != m_declared.constEnd(); ++it) {
        if (it.key().startsWith(QLatin1String("--")) && !isWideKeyword(it->value))
            declared.append({it->order, {it.key(), &it->value}});
    }
    std::sort(declared.begin(), declared.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QList<CustomProperties::Declared> own;
    for (const auto& [order, custom] : std::as_const(declared))
        own.append(custom);
    static const CustomProperties::Registrations none;
    WorkBudget budget(std::max(MinimumSteps, characters * WorkBudget::StepsPerCharacter));
    CustomProperties customs(nullptr, none, &budget);
    customs.resolve(own);
    m_customs = customs.values();
    for (const char* property : {"color", "background-color", "margin-left", "margin-top"})
        m_specified.insert(QLatin1String(property), specified(QLatin1String(property), customs));
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

// The declared value of a property, with var() resolved and a shorthand holding var() taken apart;
// nothing when none is declared, an empty list when what var() gave is invalid.
std::optional<CssValues> TagStyle::specified(const QString& property, CustomProperties& customs) const
{
    const auto found = m_declared.constFind(property);
    if (found == m_declared.constEnd())
        return std::nullopt;
    if (!holdsVar(found->value))
        return found->value;
    const std::optional<CssValues> value = customs.substituted(found->value);
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
    const std::optional<CssValues> value = m_specified.value(property);
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
    const std::optional<CssValues> value = m_specified.value(property);
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
    const std::optional<CssValues> value = m_specified.value(property);
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
    const std::optional<CssValues> value = m_customs.value(name);
    return value ? ColourText::read(CssParser::trimmed(*value)).colour : std::nullopt;
}
