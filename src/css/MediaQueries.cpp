#include "MediaQueries.h"

#include "css/ColourText.h"
#include "css/CssCalc.h"

#include <QStringList>
#include <cmath>
#include <functional>
#include <optional>

namespace MediaQueries {

namespace {

// `not A`, or A joined to the rest by `and` alone or by `or` alone, as media queries and @supports
// write a condition; each part in parentheses is judged by `inParens`.
bool combined(const CssValues& parts, const std::function<bool(const CssValue&)>& inParens)
{
    if (parts[0].token.isIdent(u"not"))
        return parts.size() == 2 && !inParens(parts[1]);
    if (parts.size() % 2 == 0)
        return false;
    const bool conjunction = parts.size() == 1 || parts[1].token.isIdent(u"and");
    bool result = inParens(parts[0]);
    for (qsizetype i = 1; i + 1 < parts.size(); i += 2) {
        if (!parts[i].token.isIdent(conjunction ? u"and" : u"or"))
            return false;
        const bool next = inParens(parts[i + 1]);
        result = conjunction ? result && next : result || next;
    }
    return result;
}

constexpr int MaximumDepth = 16;

QList<CssValue> words(const CssValues& values)
{
    QList<CssValue> result;
    for (const CssValue& value : values) {
        if (!value.token.is(CssToken::Whitespace))
            result.append(value);
    }
    return result;
}

// A length in CSS pixels (em at 16 px), a resolution in dppx, or a plain number.
std::optional<double> quantity(const QList<CssValue>& values)
{
    if (values.size() == 3 && values[0].token.is(CssToken::Number) && values[1].token.isDelim(u'/')
        && values[2].token.is(CssToken::Number) && values[2].token.number != 0)
        return values[0].token.number / values[2].token.number; // a ratio
    if (values.size() != 1)
        return std::nullopt;
    const CssToken& token = values[0].token;
    if (token.is(CssToken::Dimension)) {
        const QString unit = token.text.toLower();
        if (unit == QLatin1String("dppx") || unit == QLatin1String("x"))
            return token.number;
        if (unit == QLatin1String("dpi"))
            return token.number / 96;
        if (unit == QLatin1String("dpcm"))
            return token.number * 2.54 / 96;
        if (unit == QLatin1String("vw"))
            return token.number * 12.8;
        if (unit == QLatin1String("vh"))
            return token.number * 8;
    }
    if (token.is(CssToken::Number))
        return token.number;
    const std::optional<CssCalc::Quantity> length
        = CssCalc::evaluate(values[0].isFunction(u"calc") ? values[0].inside.values() : CssValues{values[0]});
    if (length && (length->kind == CssCalc::Quantity::Length || length->kind == CssCalc::Quantity::Number))
        return length->value;
    return std::nullopt;
}

// The value of a feature in a range context, or nothing for a feature that has none.
std::optional<double> rangeValue(const QString& name, const Environment& environment)
{
    if (environment.container) {
        if (name == QLatin1String("width") || name == QLatin1String("inline-size"))
            return environment.width;
        if (name == QLatin1String("height") || name == QLatin1String("block-size"))
            return environment.height;
        if (name == QLatin1String("aspect-ratio"))
            return environment.width / environment.height;
        return std::nullopt;
    }
    if (name == QLatin1String("width") || name == QLatin1String("device-width"))
        return environment.width;
    if (name == QLatin1String("height") || name == QLatin1String("device-height"))
        return environment.height;
    if (name == QLatin1String("aspect-ratio") || name == QLatin1String("device-aspect-ratio"))
        return environment.width / environment.height;
    if (name == QLatin1String("resolution") || name == QLatin1String("-webkit-device-pixel-ratio"))
        return 1;
    if (name == QLatin1String("color"))
        return 8;
    if (name == QLatin1String("color-index") || name == QLatin1String("monochrome") || name == QLatin1String("grid"))
        return 0;
    return std::nullopt;
}

// A discrete feature's value as this window has it.
QString discreteValue(const QString& name, const Environment& environment)
{
    if (environment.container) {
        if (name != QLatin1String("orientation") || std::isnan(environment.width) || std::isnan(environment.height))
            return {};
        return environment.height >= environment.width ? QStringLiteral("portrait") : QStringLiteral("landscape");
    }
    static const QList<std::pair<QString, QString>> values{{QStringLiteral("orientation"), QStringLiteral("landscape")},
        {QStringLiteral("prefers-reduced-motion"), QStringLiteral("no-preference")},
        {QStringLiteral("prefers-reduced-transparency"), QStringLiteral("no-preference")},
        {QStringLiteral("prefers-reduced-data"), QStringLiteral("no-preference")},
        {QStringLiteral("prefers-contrast"), QStringLiteral("no-preference")},
        {QStringLiteral("forced-colors"), QStringLiteral("none")},
        {QStringLiteral("inverted-colors"), QStringLiteral("none")}, {QStringLiteral("hover"), QStringLiteral("none")},
        {QStringLiteral("any-hover"), QStringLiteral("none")}, {QStringLiteral("pointer"), QStringLiteral("none")},
        {QStringLiteral("any-pointer"), QStringLiteral("none")},
        {QStringLiteral("color-gamut"), QStringLiteral("srgb")},
        {QStringLiteral("display-mode"), QStringLiteral("browser")},
        {QStringLiteral("scripting"), QStringLiteral("enabled")}, {QStringLiteral("update"), QStringLiteral("fast")},
        {QStringLiteral("dynamic-range"), QStringLiteral("standard")},
        {QStringLiteral("video-dynamic-range"), QStringLiteral("standard")},
        {QStringLiteral("overflow-block"), QStringLiteral("scroll")},
        {QStringLiteral("overflow-inline"), QStringLiteral("scroll")}};
    if (name == QLatin1String("prefers-color-scheme")) {
        environment.schemeAsked = true;
        return environment.dark ? QStringLiteral("dark") : QStringLiteral("light");
    }
    for (const auto& [feature, value] : values) {
        if (feature == name)
            return value;
    }
    return {};
}

bool compare(double left, const QString& op, double right)
{
    constexpr double epsilon = 1e-9;
    if (op == QLatin1String("<"))
        return left < right - epsilon;
    if (op == QLatin1String("<="))
        return left <= right + epsilon;
    if (op == QLatin1String(">"))
        return left > right + epsilon;
    if (op == QLatin1String(">="))
        return left >= right - epsilon;
    return std::abs(left - right) <= epsilon;
}

// The inside of one (feature) of a media query.
bool feature(const CssValues& inside, const Environment& environment)
{
    const QList<CssValue> parts = words(inside);
    if (parts.isEmpty())
        return false;
    // A range: name op value, value op name, or value op name op value.
    QList<qsizetype> ops;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (parts[i].token.isDelim(u'<') || parts[i].token.isDelim(u'>') || parts[i].token.isDelim(u'='))
            ops.append(i);
    }
    if (!ops.isEmpty()) {
        // Gather the operators (< and <= come as two delimiters) and the operands between them.
        QList<QString> operators;
        QList<QList<CssValue>> operands{{}};
        for (qsizetype i = 0; i < parts.size(); ++i) {
            const CssToken& token = parts[i].token;
            if (token.isDelim(u'<') || token.isDelim(u'>') || token.isDelim(u'=')) {
                if (token.isDelim(u'=') && !operators.isEmpty() && operands.last().isEmpty()
                    && operators.last() != QLatin1String("="))
                    operators.last() += u'=';
                else {
                    operators.append(token.text);
                    operands.append(QList<CssValue>());
                }
            } else {
                operands.last().append(parts[i]);
            }
        }
        if (operands.size() < 2 || operands.size() > 3)
            return false;
        std::optional<double> values[3];
        QString name;
        for (qsizetype i = 0; i < operands.size(); ++i) {
            if (operands[i].size() == 1 && operands[i][0].token.is(CssToken::Ident)) {
                name = operands[i][0].token.text.toLower();
                values[i] = rangeValue(name, environment);
                if (!values[i])
                    return false;
            } else {
                values[i] = quantity(operands[i]);
                if (!values[i])
                    return false;
            }
        }
        for (qsizetype i = 0; i + 1 < operands.size(); ++i) {
            if (!compare(*values[i], operators[i], *values[i + 1]))
                return false;
        }
        return !name.isEmpty();
    }
    if (!parts[0].token.is(CssToken::Ident))
        return false;
    QString name = parts[0].token.text.toLower();
    if (parts.size() == 1) {
        // A feature on its own holds when its value is not zero or none.
        if (const std::optional<double> value = rangeValue(name, environment))
            return *value != 0;
        const QString value = discreteValue(name, environment);
        return !value.isEmpty() && value != QLatin1String("none") && value != QLatin1String("no-preference");
    }
    if (parts.size() < 3 || !parts[1].token.is(CssToken::Colon))
        return false;
    const QList<CssValue> operand = parts.mid(2);
    QString op = QStringLiteral("=");
    for (const char* prefix : {"min-", "max-", "-webkit-min-", "-webkit-max-"}) {
        if (name.startsWith(QLatin1String(prefix))) {
            op = QLatin1String(prefix).contains(QLatin1String("min")) ? QStringLiteral(">=") : QStringLiteral("<=");
            name = name.mid(qsizetype(strlen(prefix)));
            if (name == QLatin1String("device-pixel-ratio"))
                name = QStringLiteral("resolution");
            break;
        }
    }
    if (name == QLatin1String("-webkit-device-pixel-ratio"))
        name = QStringLiteral("resolution");
    if (const std::optional<double> value = rangeValue(name, environment)) {
        const std::optional<double> wanted = quantity(operand);
        return wanted && compare(*value, op, *wanted);
    }
    if (op != QLatin1String("=") || operand.size() != 1 || !operand[0].token.is(CssToken::Ident))
        return false;
    const QString value = discreteValue(name, environment);
    return !value.isEmpty() && operand[0].token.text.compare(value, Qt::CaseInsensitive) == 0;
}

// A media condition: (feature), not, and, or, and parentheses around a condition.
bool condition(const QList<CssValue>& parts, const Environment& environment, int depth)
{
    if (parts.isEmpty() || depth > MaximumDepth)
        return false;
    const auto inParens = [&](const CssValue& part) {
        if (!part.isBlock(CssToken::OpenParen))
            return false;
        const QList<CssValue> inside = words(part.inside);
        if (!inside.isEmpty() && (inside[0].isBlock(CssToken::OpenParen) || inside[0].token.isIdent(u"not")))
            return condition(inside, environment, depth + 1);
        return feature(part.inside, environment);
    };
    return combined(parts, inParens);
}

bool query(const CssValues& values, const Environment& environment)
{
    const QList<CssValue> parts = words(values);
    if (parts.isEmpty())
        return false;
    if (parts[0].isBlock(CssToken::OpenParen)
        || (parts[0].token.isIdent(u"not") && parts.size() > 1 && parts[1].isBlock(CssToken::OpenParen)))
        return condition(parts, environment, 0);
    qsizetype at = 0;
    bool negate = false;
    if (parts[0].token.isIdent(u"not") || parts[0].token.isIdent(u"only")) {
        negate = parts[0].token.isIdent(u"not");
        ++at;
    }
    if (at >= parts.size() || !parts[at].token.is(CssToken::Ident))
        return false;
    bool holds = parts[at].token.isIdent(u"all") || parts[at].token.isIdent(u"screen");
    ++at;
    if (at < parts.size()) {
        if (!parts[at].token.isIdent(u"and") || at + 1 >= parts.size())
            return false;
        holds = holds && condition(parts.mid(at + 1), environment, 0);
    }
    return negate ? !holds : holds;
}

bool supportsDeclaration(const CssValues& values)
{
    qsizetype colon = 0;
    while (colon < values.size() && !values[colon].token.is(CssToken::Colon))
        ++colon;
    const CssValues name = CssParser::trimmed(values.first(colon));
    if (colon >= values.size() || name.size() != 1 || !name[0].token.is(CssToken::Ident))
        return false;
    const QString property = name[0].token.text.toLower();
    CssValues value = CssParser::trimmed(values.mid(colon + 1));
    if (property.startsWith(QLatin1String("--")))
        return true;
    if (value.isEmpty())
        return false;
    // A browser on Linux: its own prefix and no other, less the -webkit- properties only Safari has.
    static const QStringList missing{QStringLiteral("-webkit-touch-callout"),
        QStringLiteral("-webkit-overflow-scrolling"), QStringLiteral("-webkit-text-size-adjust"),
        QStringLiteral("zoom-")};
    if ((property.startsWith(u'-') && !property.startsWith(QLatin1String("-webkit-"))) || missing.contains(property))
        return false;
    if (value.size() >= 2 && value.last().token.isIdent(u"important"))
        value = CssParser::trimmed(value.first(value.size() - 2));
    if (property == QLatin1String("color") || property == QLatin1String("background-color")) {
        for (const CssValue& item : value) {
            if (item.isFunction(u"var") || item.isFunction(u"env"))
                return true;
        }
        return ColourText::readRgba(value, ColourText::Context{false, argb(0, 0, 0)}).has_value()
            || value[0].token.isIdent(u"inherit") || value[0].token.isIdent(u"initial")
            || value[0].token.isIdent(u"unset") || value[0].token.isIdent(u"revert")
            || value[0].token.isIdent(u"revert-layer");
    }
    return true;
}

bool supportsCondition(const QList<CssValue>& parts, int depth, const SelectorTest& selectorParses)
{
    if (parts.isEmpty() || depth > MaximumDepth)
        return false;
    const auto inParens = [depth, &selectorParses](const CssValue& part) {
        if (part.isFunction(u"selector"))
            return selectorParses(part.inside);
        if (!part.isBlock(CssToken::OpenParen))
            return false;
        const CssValues inside = CssParser::trimmed(part.inside);
        if (!inside.isEmpty() && inside[0].token.is(CssToken::Ident) && !inside[0].token.isIdent(u"not")) {
            for (const CssValue& value : inside) {
                if (value.token.is(CssToken::Colon))
                    return supportsDeclaration(inside);
            }
        }
        return supportsCondition(words(inside), depth + 1, selectorParses);
    };
    return combined(parts, inParens);
}

} // namespace

bool matches(const CssValues& queries, const Environment& environment)
{
    if (CssParser::trimmed(queries).isEmpty())
        return true;
    CssValues one;
    for (qsizetype i = 0; i <= queries.size(); ++i) {
        if (i == queries.size() || queries[i].token.is(CssToken::Comma)) {
            if (query(one, environment))
                return true;
            one.clear();
        } else {
            one.append(queries[i]);
        }
    }
    return false;
}

bool containerMatches(const CssValues& text, double width, double height)
{
    Environment environment;
    environment.container = true;
    environment.width = width;
    environment.height = height;
    const QList<CssValue> parts = words(text);
    return !parts.isEmpty() && condition(parts, environment, 0);
}

bool supports(const CssValues& condition, const SelectorTest& selectorParses)
{
    return supportsCondition(words(condition), 0, selectorParses);
}

} // namespace MediaQueries
