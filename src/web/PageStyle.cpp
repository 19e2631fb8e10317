#include "PageStyle.h"

#include "css/ColourText.h"
#include "css/CssCalc.h"
#include "web/LegacyColour.h"

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
        = CssCalc::evaluate(token.is(CssToken::Dimension) ? CssValues{value} : value.inside);
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

QList<CssValues> words(const CssValues& values)
{
    QList<CssValues> result;
    for (const CssValue& value : values) {
        if (!value.token.is(CssToken::Whitespace))
            result.append(CssValues{value});
    }
    return result;
}

// margin: top [right [bottom [left]]], as {top, left}.
std::optional<std::array<CssValues, 2>> marginSides(const CssValues& values)
{
    const QList<CssValues> sides = words(values);
    if (sides.isEmpty() || sides.size() > 4
        || !std::all_of(sides.begin(), sides.end(), [](const CssValues& side) { return isMarginValue(side[0]); }))
        return std::nullopt;
    return std::array<CssValues, 2>{sides[0], sides[sides.size() == 4 ? 3 : (sides.size() >= 2 ? 1 : 0)]};
}

// The colour in a background shorthand, transparent when it names none; nothing when the value is
// invalid. Only the last layer may hold a colour, and only one.
std::optional<CssValues> backgroundColour(const CssValues& values)
{
    std::optional<CssValues> colour;
    bool lastLayer = true;
    for (qsizetype i = values.size() - 1; i >= 0; --i) {
        const CssValue& value = values[i];
        if (value.token.is(CssToken::Comma)) {
            lastLayer = false;
            continue;
        }
        if (value.token.is(CssToken::Whitespace) || value.token.isDelim(u'/'))
            continue;
        if (isColour(CssValues{value})) {
            if (colour || !lastLayer)
                return std::nullopt;
            colour = CssValues{value};
        } else if (!(value.token.is(CssToken::Ident) || value.token.is(CssToken::Url)
                       || value.token.is(CssToken::Function) || value.token.is(CssToken::Number)
                       || value.token.is(CssToken::Percentage) || value.token.is(CssToken::Dimension))) {
            return std::nullopt;
        }
    }
    if (values.isEmpty())
        return std::nullopt;
    return colour.value_or(CssParser::values(u"transparent"));
}

// One query of a media query list: screen, all and a light colour scheme hold, print and dark do not,
// nor anything that depends on the reader's window.
bool mediaQuery(const CssValues& query)
{
    const QList<CssValues> parts = words(query);
    if (parts.isEmpty())
        return false;
    qsizetype at = 0;
    bool negate = false;
    if (parts[0][0].token.isIdent(u"not")) {
        negate = true;
        ++at;
    } else if (parts[0][0].token.isIdent(u"only")) {
        ++at;
    }
    bool holds = true;
    bool expectFeature = false;
    for (; at < parts.size(); ++at) {
        const CssValue& part = parts[at][0];
        if (part.token.is(CssToken::Ident) && !expectFeature && !part.token.isIdent(u"and")) {
            holds = holds && (part.token.isIdent(u"all") || part.token.isIdent(u"screen"));
        } else if (part.token.isIdent(u"and")) {
            expectFeature = true;
            continue;
        } else if (part.isBlock(CssToken::OpenParen)) {
            const QList<CssValues> feature = words(part.inside);
            const bool scheme = feature.size() == 3 && feature[0][0].token.isIdent(u"prefers-color-scheme")
                && feature[1][0].token.is(CssToken::Colon);
            holds = holds && scheme && feature[2][0].token.isIdent(u"light");
        } else {
            return false;
        }
        expectFeature = false;
    }
    return negate ? !holds : holds;
}

bool mediaApplies(const CssValues& prelude)
{
    if (CssParser::trimmed(prelude).isEmpty())
        return true;
    CssValues query;
    for (qsizetype i = 0; i <= prelude.size(); ++i) {
        if (i == prelude.size() || prelude[i].token.is(CssToken::Comma)) {
            if (mediaQuery(query))
                return true;
            query.clear();
        } else {
            query.append(prelude[i]);
        }
    }
    return false;
}

// Whether a declaration of one of the properties read here is valid, as @supports asks it. Of other
// properties nothing is known, so they count as unsupported.
bool supportsDeclaration(const CssValues& values)
{
    qsizetype colon = 0;
    while (colon < values.size() && !values[colon].token.is(CssToken::Colon))
        ++colon;
    const CssValues name = CssParser::trimmed(values.first(colon));
    if (colon >= values.size() || name.size() != 1 || !name[0].token.is(CssToken::Ident))
        return false;
    const QString property = name[0].token.text.toLower();
    const CssValues value = CssParser::trimmed(values.mid(colon + 1));
    if (property.startsWith(QLatin1String("--")))
        return true;
    if (value.isEmpty())
        return false;
    if (isWideKeyword(value) || holdsVar(value))
        return property == QLatin1String("color") || property == QLatin1String("background-color")
            || property.startsWith(QLatin1String("margin")) || property == QLatin1String("background");
    if (property == QLatin1String("color") || property == QLatin1String("background-color"))
        return isColour(value);
    if (property == QLatin1String("background"))
        return backgroundColour(value).has_value();
    if (property == QLatin1String("margin"))
        return marginSides(value).has_value();
    if (property.startsWith(QLatin1String("margin-")))
        return words(value).size() == 1 && isMarginValue(value[0]);
    return false;
}

// An @supports condition: not, and, or, and parentheses around a declaration or another condition.
bool supports(const CssValues& condition, int depth)
{
    const QList<CssValues> parts = words(condition);
    if (parts.isEmpty() || depth > 16)
        return false;
    const auto inParens = [depth](const CssValue& part) {
        if (!part.isBlock(CssToken::OpenParen))
            return false;
        const CssValues inside = CssParser::trimmed(part.inside);
        const bool declaration
            = std::any_of(inside.begin(), inside.end(), [](const CssValue& v) { return v.token.is(CssToken::Colon); });
        return declaration && !inside.isEmpty() && inside[0].token.is(CssToken::Ident) ? supportsDeclaration(inside)
                                                                                       : supports(inside, depth + 1);
    };
    if (parts[0][0].token.isIdent(u"not"))
        return parts.size() == 2 && !inParens(parts[1][0]);
    if (parts.size() % 2 == 0)
        return false;
    const bool conjunction = parts.size() > 1 && parts[1][0].token.isIdent(u"and");
    bool result = inParens(parts[0][0]);
    for (qsizetype i = 1; i + 1 < parts.size(); i += 2) {
        if (!parts[i][0].token.isIdent(conjunction ? u"and" : u"or"))
            return false;
        const bool next = inParens(parts[i + 1][0]);
        result = conjunction ? result && next : result || next;
    }
    return result;
}

PageElement parentOf(PageElement element)
{
    return element == PageElement::Body ? PageElement::Html : PageElement::Body;
}

PageStyle::Value unusable(const QString& property, const CssValues& value)
{
    return PageStyle::Value{std::nullopt, std::nullopt, property + QStringLiteral(": ") + CssParser::text(value)};
}

} // namespace

// The HTML Standard's rules for parsing non-negative integers: "7.5" is 7, "10%" is 10, "-3" nothing.
std::optional<int> PageStyle::marginAttribute(const QString& text)
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

bool PageStyle::Declaration::beats(const Declaration& other) const
{
    const auto rank = [](const Declaration& d) { return std::tuple(d.important, d.origin, d.specificity, d.order); };
    return rank(*this) > rank(other);
}

PageStyle::PageStyle(const HtmlDocument::Attributes& html, const HtmlDocument::Attributes& body)
    : m_html(html)
    , m_body(body)
    , m_page{m_html, m_body}
{
}

void PageStyle::declare(PageElement element, const QString& property, const Declaration& declaration)
{
    Declarations& declared = m_declared[std::size_t(element)];
    const auto current = declared.constFind(property);
    if (current == declared.constEnd() || declaration.beats(*current))
        declared.insert(property, declaration);
}

void PageStyle::declareAll(
    PageElement element, const CssDeclaration& declaration, int origin, CssSelector::Specificity specificity)
{
    Declaration declared{declaration.value, declaration.important, origin, specificity, ++m_order, {}};
    const QString& name = declaration.name;
    if (name.startsWith(QLatin1String("--"))) {
        declare(element, name, declared);
        return;
    }
    const bool pending = holdsVar(declaration.value);
    const bool wide = isWideKeyword(declaration.value);
    if (name == QLatin1String("color") || name == QLatin1String("background-color")) {
        if (pending || wide || isColour(declaration.value))
            declare(element, name, declared);
    } else if (name == QLatin1String("margin-left") || name == QLatin1String("margin-top")) {
        const QList<CssValues> one = words(declaration.value);
        if (pending || wide || (one.size() == 1 && isMarginValue(one[0][0])))
            declare(element, name, declared);
    } else if (name == QLatin1String("margin") || name == QLatin1String("background")) {
        const bool margin = name == QLatin1String("margin");
        if (pending)
            declared.shorthand = name;
        if (pending || wide) {
            declare(element, margin ? QStringLiteral("margin-top") : QStringLiteral("background-color"), declared);
            if (margin)
                declare(element, QStringLiteral("margin-left"), declared);
        } else if (margin) {
            if (const auto sides = marginSides(declaration.value)) {
                declared.value = (*sides)[0];
                declare(element, QStringLiteral("margin-top"), declared);
                declared.value = (*sides)[1];
                declare(element, QStringLiteral("margin-left"), declared);
            }
        } else if (const std::optional<CssValues> colour = backgroundColour(declaration.value)) {
            declared.value = *colour;
            declare(element, QStringLiteral("background-color"), declared);
        }
    }
}

void PageStyle::addRules(const QList<CssRule>& rules, int depth, const std::stop_token& stop)
{
    for (const CssRule& rule : rules) {
        if (stop.stop_requested())
            return;
        if (!rule.hasBlock)
            continue;
        if (!rule.atName.isEmpty()) {
            // Conditional and layer blocks hold rules; other at-rules hold none that colour a page.
            if (depth < 16
                && ((rule.atName == QLatin1String("media") && mediaApplies(rule.prelude))
                    || (rule.atName == QLatin1String("supports") && supports(rule.prelude, 0))
                    || rule.atName == QLatin1String("layer")))
                addRules(CssParser::rules(rule.block), depth + 1, stop);
            continue;
        }
        const std::optional<CssSelector> selector = CssSelector::parse(CssParser::trimmed(rule.prelude));
        if (!selector)
            continue;
        const QList<CssDeclaration> declarations = CssParser::declarations(rule.block);
        for (const PageElement element : {PageElement::Html, PageElement::Body, PageElement::Link,
                 PageElement::VisitedLink, PageElement::ActiveLink}) {
            if (const auto specificity = selector->match(element, m_page)) {
                for (const CssDeclaration& declaration : declarations)
                    declareAll(element, declaration, 1, *specificity);
            }
        }
    }
}

void PageStyle::addStyleSheet(QStringView css, QStringView media, const std::stop_token& stop)
{
    if (!media.trimmed().isEmpty() && !mediaApplies(CssParser::values(media)))
        return;
    addRules(CssParser::styleSheet(css, stop), 0, stop);
}

void PageStyle::addBodyStyle(QStringView declarations)
{
    for (const CssDeclaration& declaration : CssParser::declarations(CssParser::values(declarations)))
        declareAll(PageElement::Body, declaration, 2, {});
}

void PageStyle::addPresentationalAttributes()
{
    const auto value = [this](const char* name) -> std::optional<QString> {
        for (const auto& [key, text] : m_body) {
            if (key == QLatin1String(name))
                return text;
        }
        return std::nullopt;
    };
    const auto hint = [&](PageElement element, const QString& property, const QString& css) {
        declare(element, property, Declaration{CssParser::values(css), false, 0, {}, ++m_order, {}});
    };
    static const std::array<std::tuple<const char*, PageElement, const char*>, 5> colours{
        {{"bgcolor", PageElement::Body, "background-color"}, {"text", PageElement::Body, "color"},
            {"link", PageElement::Link, "color"}, {"vlink", PageElement::VisitedLink, "color"},
            {"alink", PageElement::ActiveLink, "color"}}};
    for (const auto& [attribute, element, property] : colours) {
        if (const std::optional<QString> text = value(attribute)) {
            if (const std::optional<QColor> colour = LegacyColour::parse(*text))
                hint(element, QLatin1String(property), colour->name());
        }
    }
    // marginwidth and marginheight win over leftmargin and topmargin, as in browsers.
    for (const auto& [property, names] : {std::pair{"margin-left", std::array{"marginwidth", "leftmargin"}},
             std::pair{"margin-top", std::array{"marginheight", "topmargin"}}}) {
        for (const char* name : names) {
            const std::optional<int> pixels = marginAttribute(value(name).value_or(QString()));
            if (pixels) {
                hint(PageElement::Body, QLatin1String(property), QString::number(*pixels) + QStringLiteral("px"));
                break;
            }
        }
    }
}

// A custom property's value for the element, its own or inherited, with var() in it resolved. Each is
// worked out once: a chain of properties each using the next twice stays linear, and grows to the
// token limit at most. A property in a cycle has no value.
std::optional<CssValues> PageStyle::custom(PageElement element, const QString& name, int depth) const
{
    const QString key = QString::number(int(element)) + name;
    if (const auto known = m_customs.constFind(key); known != m_customs.constEnd())
        return *known;
    if (depth > 64 || m_resolving.contains(key))
        return std::nullopt;
    m_resolving.insert(key);
    std::optional<CssValues> result;
    const Declarations& declared = m_declared[std::size_t(element)];
    const auto found = declared.constFind(name);
    if (found == declared.constEnd() || (isWideKeyword(found->value) && !found->value[0].token.isIdent(u"initial"))) {
        if (element != PageElement::Html)
            result = custom(parentOf(element), name, depth + 1);
    } else if (!isWideKeyword(found->value)) {
        int budget = MaximumTokens;
        result = substituted(element, found->value, depth + 1, budget);
    }
    m_resolving.remove(key);
    m_customs.insert(key, result);
    return result;
}

std::optional<CssValues> PageStyle::substituted(
    PageElement element, const CssValues& values, int depth, int& budget) const
{
    if (depth > 32)
        return std::nullopt;
    CssValues result;
    for (const CssValue& value : values) {
        if (--budget < 0)
            return std::nullopt;
        if (value.isFunction(u"var")) {
            const CssValues inside = CssParser::trimmed(value.inside);
            if (inside.isEmpty() || !inside[0].token.is(CssToken::Ident)
                || !inside[0].token.text.startsWith(QLatin1String("--")))
                return std::nullopt;
            const CssValues rest = CssParser::trimmed(inside.mid(1));
            if (!rest.isEmpty() && !rest[0].token.is(CssToken::Comma))
                return std::nullopt;
            std::optional<CssValues> replacement = custom(element, inside[0].token.text, depth + 1);
            if (!replacement && !rest.isEmpty())
                replacement = substituted(element, CssParser::trimmed(rest.mid(1)), depth + 1, budget);
            if (!replacement)
                return std::nullopt;
            budget -= int(replacement->size());
            if (budget < 0)
                return std::nullopt;
            result += *replacement;
        } else if (!value.inside.isEmpty() && holdsVar(value.inside)) {
            std::optional<CssValues> inside = substituted(element, value.inside, depth + 1, budget);
            if (!inside)
                return std::nullopt;
            result.append(CssValue{value.token, std::move(*inside)});
        } else {
            result.append(value);
        }
    }
    return result;
}

// The declared value of a property for the element, with var() resolved and a shorthand holding var()
// taken apart; nothing when none is declared, an empty list when what var() gave is invalid.
std::optional<CssValues> PageStyle::specified(PageElement element, const QString& property) const
{
    const Declarations& declared = m_declared[std::size_t(element)];
    const auto found = declared.constFind(property);
    if (found == declared.constEnd())
        return std::nullopt;
    if (!holdsVar(found->value))
        return found->value;
    int budget = MaximumTokens;
    const std::optional<CssValues> value = substituted(element, found->value, 0, budget);
    if (!value)
        return CssValues{};
    const CssValues trimmed = CssParser::trimmed(*value);
    if (isWideKeyword(trimmed))
        return trimmed;
    if (found->shorthand == QLatin1String("margin")) {
        const auto sides = marginSides(trimmed);
        return sides ? (*sides)[property == QLatin1String("margin-left") ? 1 : 0] : CssValues{};
    }
    if (found->shorthand == QLatin1String("background"))
        return backgroundColour(trimmed).value_or(CssValues{});
    if (property == QLatin1String("color") || property == QLatin1String("background-color"))
        return isColour(trimmed) ? trimmed : CssValues{};
    const QList<CssValues> one = words(trimmed);
    return one.size() == 1 && isMarginValue(one[0][0]) ? one[0] : CssValues{};
}

std::optional<PageStyle::Value> PageStyle::computedColour(PageElement element, const QString& property) const
{
    const std::optional<CssValues> value = specified(element, property);
    const bool links = element != PageElement::Html && element != PageElement::Body;
    const auto inherited = [&]() -> std::optional<Value> {
        return element == PageElement::Html ? std::nullopt : computedColour(parentOf(element), property);
    };
    if (!value)
        return links ? std::nullopt : inherited(); // a link's colour comes from the browser's own rules
    if (value->isEmpty() || (*value)[0].token.isIdent(u"inherit") || (*value)[0].token.isIdent(u"unset")
        || (*value)[0].token.isIdent(u"currentcolor"))
        return inherited();
    if (isWideKeyword(*value))
        return std::nullopt;
    const ColourText::Reading reading = ColourText::read(*value);
    if (reading.colour)
        return Value{reading.colour, std::nullopt, {}};
    return unusable(property, *value);
}

std::optional<PageStyle::Value> PageStyle::backgroundOf(PageElement element) const
{
    const QString property = QStringLiteral("background-color");
    const std::optional<CssValues> value = specified(element, property);
    if (!value || value->isEmpty())
        return std::nullopt;
    const CssToken& first = (*value)[0].token;
    if (first.isIdent(u"inherit"))
        return element == PageElement::Html ? std::nullopt : backgroundOf(PageElement::Html);
    if (first.isIdent(u"currentcolor"))
        return computedColour(element, QStringLiteral("color"));
    if (isWideKeyword(*value))
        return std::nullopt;
    const ColourText::Reading reading = ColourText::read(*value);
    if (reading.colour)
        return Value{reading.colour, std::nullopt, {}};
    if (reading.refusal == ColourText::Refusal::TransparentKeyword)
        return std::nullopt;
    return unusable(property, *value);
}

std::optional<PageStyle::Value> PageStyle::background() const
{
    // The body's background, or where it has none, the html element's, which a browser paints the
    // whole window with.
    if (std::optional<Value> body = backgroundOf(PageElement::Body))
        return body;
    return backgroundOf(PageElement::Html);
}

std::optional<PageStyle::Value> PageStyle::colour(PageElement element) const
{
    return computedColour(element, QStringLiteral("color"));
}

std::optional<PageStyle::Value> PageStyle::marginOf(const QString& property) const
{
    const std::optional<CssValues> value = specified(PageElement::Body, property);
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

std::optional<PageStyle::Value> PageStyle::margin(bool left) const
{
    return marginOf(left ? QStringLiteral("margin-left") : QStringLiteral("margin-top"));
}
