#include "CssCalc.h"

#include <array>
#include <cmath>
#include <limits>
#include <numbers>

namespace CssCalc {

namespace {

std::optional<double> lengthPixels(const CssToken& token, const Units* relative)
{
    static const std::array<std::pair<const char16_t*, double>, 9> units{
        {{u"px", 1.0}, {u"em", 16.0}, {u"rem", 16.0}, {u"in", 96.0}, {u"cm", 96.0 / 2.54}, {u"mm", 96.0 / 25.4},
            {u"q", 96.0 / 101.6}, {u"pt", 96.0 / 72.0}, {u"pc", 16.0}}};
    if (relative) {
        const std::array<std::pair<const char16_t*, double>, 8> sizes{{{u"em", relative->em}, {u"rem", relative->rem},
            {u"ex", relative->ex}, {u"ch", relative->ch}, {u"vw", relative->vw}, {u"vh", relative->vh},
            {u"vmin", std::min(relative->vw, relative->vh)}, {u"vmax", std::max(relative->vw, relative->vh)}}};
        for (const auto& [unit, pixels] : sizes) {
            if (token.text.compare(QStringView(unit), Qt::CaseInsensitive) == 0)
                return token.number * pixels;
        }
    }
    for (const auto& [unit, pixels] : units) {
        if (token.text.compare(QStringView(unit), Qt::CaseInsensitive) == 0)
            return token.number * pixels;
    }
    return std::nullopt;
}

std::optional<double> angleDegrees(const CssToken& token)
{
    const QString unit = token.text.toLower();
    if (unit == QLatin1String("deg"))
        return token.number;
    if (unit == QLatin1String("grad"))
        return token.number * 0.9;
    if (unit == QLatin1String("rad"))
        return token.number * 180 / std::numbers::pi;
    if (unit == QLatin1String("turn"))
        return token.number * 360;
    return std::nullopt;
}

// A sum of products over the values of a calc(), with + and - between whitespace as CSS wants.
class Calc {
public:
    explicit Calc(const CssValues& values, int depth, const Units* units)
        : m_values(values)
        , m_depth(depth)
        , m_units(units)
    {
    }

    std::optional<Quantity> whole()
    {
        skipSpace();
        std::optional<Quantity> result = sum();
        skipSpace();
        if (m_at != m_values.size())
            return std::nullopt;
        return result;
    }

private:
    void skipSpace()
    {
        while (m_at < m_values.size() && m_values[m_at].token.is(CssToken::Whitespace))
            ++m_at;
    }

    std::optional<Quantity> sum()
    {
        std::optional<Quantity> left = product();
        while (left) {
            const qsizetype before = m_at;
            skipSpace();
            if (m_at == before || m_at >= m_values.size())
                return m_at >= m_values.size() ? left : (m_at = before, left);
            const CssToken& op = m_values[m_at].token;
            if (!op.isDelim(u'+') && !op.isDelim(u'-')) {
                m_at = before;
                return left;
            }
            ++m_at;
            if (m_at >= m_values.size() || !m_values[m_at].token.is(CssToken::Whitespace))
                return std::nullopt;
            skipSpace();
            const std::optional<Quantity> right = product();
            if (!right || right->kind != left->kind)
                return std::nullopt;
            left->value += op.isDelim(u'+') ? right->value : -right->value;
        }
        return left;
    }

    std::optional<Quantity> product()
    {
        std::optional<Quantity> left = value();
        while (left) {
            const qsizetype before = m_at;
            skipSpace();
            if (m_at >= m_values.size()
                || !(m_values[m_at].token.isDelim(u'*') || m_values[m_at].token.isDelim(u'/'))) {
                m_at = before;
                return left;
            }
            const bool divide = m_values[m_at++].token.isDelim(u'/');
            skipSpace();
            const std::optional<Quantity> right = value();
            if (!right)
                return std::nullopt;
            if (divide) {
                if (right->kind != Quantity::Number)
                    return std::nullopt;
                left->value /= right->value;
            } else if (left->kind == Quantity::Number) {
                left = Quantity{left->value * right->value, right->kind};
            } else if (right->kind == Quantity::Number) {
                left->value *= right->value;
            } else {
                return std::nullopt;
            }
        }
        return left;
    }

    std::optional<Quantity> value()
    {
        if (m_at >= m_values.size())
            return std::nullopt;
        const CssValue& item = m_values[m_at++];
        const CssToken& token = item.token;
        switch (token.type) {
        case CssToken::Number:
            return Quantity{token.number, Quantity::Number};
        case CssToken::Percentage:
            if (m_units && m_units->percent)
                return Quantity{token.number * *m_units->percent / 100, Quantity::Length};
            return Quantity{token.number, Quantity::Percent};
        case CssToken::Dimension:
            if (const std::optional<double> degrees = angleDegrees(token))
                return Quantity{*degrees, Quantity::Angle};
            if (const std::optional<double> pixels = lengthPixels(token, m_units))
                return Quantity{*pixels, Quantity::Length};
            return std::nullopt;
        case CssToken::Ident: {
            const QString name = token.text.toLower();
            if (name == QLatin1String("e"))
                return Quantity{std::numbers::e, Quantity::Number};
            if (name == QLatin1String("pi"))
                return Quantity{std::numbers::pi, Quantity::Number};
            if (name == QLatin1String("infinity"))
                return Quantity{std::numeric_limits<double>::infinity(), Quantity::Number};
            if (name == QLatin1String("-infinity"))
                return Quantity{-std::numeric_limits<double>::infinity(), Quantity::Number};
            if (name == QLatin1String("nan"))
                return Quantity{std::nan(""), Quantity::Number};
            return std::nullopt;
        }
        case CssToken::OpenParen:
            return nested(item.inside);
        case CssToken::Function:
            if (item.isFunction(u"calc"))
                return nested(item.inside);
            if (item.isFunction(u"min") || item.isFunction(u"max") || item.isFunction(u"clamp"))
                return comparison(item);
            return std::nullopt;
        default:
            return std::nullopt;
        }
    }

    // min(), max() and clamp(): sums of one kind, compared.
    std::optional<Quantity> comparison(const CssValue& item) const
    {
        QList<CssValues> parts{{}};
        for (const CssValue& value : item.inside) {
            if (value.token.is(CssToken::Comma))
                parts.append(CssValues{});
            else
                parts.last().append(value);
        }
        const bool clamp = item.isFunction(u"clamp");
        if (clamp && parts.size() != 3)
            return std::nullopt;
        QList<std::optional<Quantity>> values;
        for (const CssValues& part : std::as_const(parts)) {
            // clamp() may leave either bound as none.
            const CssValues trimmed = CssParser::trimmed(part);
            if (clamp && trimmed.size() == 1 && trimmed[0].token.isIdent(u"none") && &part != &parts[1]) {
                values.append(std::nullopt);
                continue;
            }
            const std::optional<Quantity> value = nested(part);
            if (!value || (!values.isEmpty() && values.first() && values.first()->kind != value->kind))
                return std::nullopt;
            values.append(value);
        }
        if (clamp) {
            Quantity result = *values[1];
            if (values[2])
                result.value = std::min(result.value, values[2]->value);
            if (values[0])
                result.value = std::max(result.value, values[0]->value);
            return result;
        }
        const bool smallest = item.isFunction(u"min");
        Quantity result = *values.first();
        for (const std::optional<Quantity>& value : std::as_const(values))
            result.value = smallest ? std::min(result.value, value->value) : std::max(result.value, value->value);
        return result;
    }

    std::optional<Quantity> nested(const CssValues& inside) const
    {
        if (m_depth > 32)
            return std::nullopt;
        return Calc(inside, m_depth + 1, m_units).whole();
    }

    const CssValues& m_values;
    qsizetype m_at = 0;
    int m_depth = 0;
    const Units* m_units = nullptr; // none: em and rem at 16 px, and no other relative length
};

} // namespace

std::optional<Quantity> evaluate(const CssValues& values)
{
    return Calc(values, 0, nullptr).whole();
}

std::optional<Quantity> evaluate(const CssValues& values, const Units& units)
{
    return Calc(values, 0, &units).whole();
}

} // namespace CssCalc
