#include "CssSelector.h"

#include <QRegularExpression>
#include <algorithm>

namespace {

// Pseudo-classes a browser knows: those that can hold for the page's elements, and those that never
// do here but keep their rule valid.
const QStringList& knownPseudoClasses()
{
    static const QStringList names{QStringLiteral("root"), QStringLiteral("link"), QStringLiteral("visited"),
        QStringLiteral("any-link"), QStringLiteral("active"), QStringLiteral("hover"), QStringLiteral("focus"),
        QStringLiteral("focus-visible"), QStringLiteral("focus-within"), QStringLiteral("target"),
        QStringLiteral("first-child"), QStringLiteral("last-child"), QStringLiteral("only-child"),
        QStringLiteral("first-of-type"), QStringLiteral("last-of-type"), QStringLiteral("only-of-type"),
        QStringLiteral("empty"), QStringLiteral("checked"), QStringLiteral("disabled"), QStringLiteral("enabled"),
        QStringLiteral("defined"), QStringLiteral("fullscreen"), QStringLiteral("scope")};
    return names;
}

const HtmlDocument::Attributes* attributesOf(int element, const CssSelector::Page& page)
{
    return element == 0 ? &page.html : (element == 1 ? &page.body : nullptr);
}

std::optional<QString> attribute(int element, const CssSelector::Page& page, const QString& name)
{
    if (const HtmlDocument::Attributes* attributes = attributesOf(element, page)) {
        for (const auto& [key, value] : *attributes) {
            if (key == name)
                return value;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<CssSelector> CssSelector::parse(const CssValues& prelude)
{
    std::optional<List> parsed = list(prelude, 0);
    if (!parsed)
        return std::nullopt;
    CssSelector selector;
    selector.m_list = std::move(*parsed);
    return selector;
}

std::optional<CssSelector::List> CssSelector::list(const CssValues& values, int depth)
{
    if (depth > 8)
        return std::nullopt;
    List result;
    CssValues part;
    for (qsizetype i = 0; i <= values.size(); ++i) {
        if (i == values.size() || values[i].token.is(CssToken::Comma)) {
            std::optional<Complex> one = complex(CssParser::trimmed(part), depth);
            if (!one)
                return std::nullopt;
            result.append(std::move(*one));
            part.clear();
        } else {
            part.append(values[i]);
        }
    }
    return result;
}

std::optional<CssSelector::Complex> CssSelector::complex(const CssValues& values, int depth)
{
    Complex result{Compound{}};
    char pending = 0; // a combinator seen since the last simple selector
    for (qsizetype at = 0; at < values.size(); ++at) {
        const CssValue& item = values[at];
        const CssToken& token = item.token;
        if (token.is(CssToken::Whitespace)) {
            if (!pending)
                pending = ' ';
            continue;
        }
        if (token.isDelim(u'>') || token.isDelim(u'+') || token.isDelim(u'~')) {
            if (result.last().simples.isEmpty() || (pending && pending != ' '))
                return std::nullopt;
            pending = char(token.text[0].unicode());
            continue;
        }
        if (pending) {
            result.append(Compound{{}, pending});
            pending = 0;
        }
        Simple simple;
        QList<Simple>& simples = result.last().simples;
        if (token.is(CssToken::Ident) || token.isDelim(u'*')) {
            if (!simples.isEmpty())
                return std::nullopt;
            simple.kind = token.is(CssToken::Ident) ? Simple::Type : Simple::Universal;
            simple.name = token.text.toLower();
        } else if (token.is(CssToken::Hash) && token.idHash) {
            simple.kind = Simple::Id;
            simple.name = token.text;
        } else if (token.isDelim(u'.') && at + 1 < values.size() && values[at + 1].token.is(CssToken::Ident)) {
            simple.kind = Simple::Class;
            simple.name = values[++at].token.text;
        } else if (item.isBlock(CssToken::OpenSquare)) {
            const CssValues inside = CssParser::trimmed(item.inside);
            if (inside.isEmpty() || !inside.first().token.is(CssToken::Ident))
                return std::nullopt;
            simple.kind = Simple::Attribute;
            simple.name = inside.first().token.text.toLower();
            const CssValues rest = CssParser::trimmed(inside.mid(1));
            if (!rest.isEmpty()) {
                if (rest.size() < 2 || !rest[0].token.isDelim(u'='))
                    return std::nullopt;
                const CssValues operand = CssParser::trimmed(rest.mid(1));
                if (operand.size() != 1
                    || !(operand[0].token.is(CssToken::Ident) || operand[0].token.is(CssToken::String)))
                    return std::nullopt;
                simple.value = operand[0].token.text;
            }
        } else if (token.is(CssToken::Colon) && at + 1 < values.size()) {
            const CssValue& next = values[++at];
            if (next.token.is(CssToken::Colon)) {
                if (at + 1 >= values.size() || !values[at + 1].token.is(CssToken::Ident))
                    return std::nullopt;
                simple.kind = Simple::PseudoElement;
                simple.name = values[++at].token.text.toLower();
            } else if (next.token.is(CssToken::Ident)) {
                simple.kind = Simple::PseudoClass;
                simple.name = next.token.text.toLower();
                if (!knownPseudoClasses().contains(simple.name))
                    return std::nullopt;
            } else if (next.isFunction(u"is") || next.isFunction(u"where") || next.isFunction(u"not")) {
                const QString name = next.token.text.toLower();
                simple.kind = name == QLatin1String("is")
                    ? Simple::Is
                    : (name == QLatin1String("where") ? Simple::Where : Simple::Not);
                std::optional<List> arguments = list(next.inside, depth + 1);
                // :is() and :where() forgive a bad argument; here such a list simply matches nothing.
                if (!arguments && simple.kind == Simple::Not)
                    return std::nullopt;
                simple.arguments = std::make_shared<const List>(arguments.value_or(List{}));
            } else {
                return std::nullopt;
            }
        } else {
            return std::nullopt;
        }
        simples.append(std::move(simple));
    }
    if (result.last().simples.isEmpty() || (pending && pending != ' '))
        return std::nullopt;
    return result;
}

CssSelector::Specificity CssSelector::specificity(const Simple& simple)
{
    switch (simple.kind) {
    case Simple::Id:
        return {1, 0, 0};
    case Simple::Class:
    case Simple::Attribute:
    case Simple::PseudoClass:
        return {0, 1, 0};
    case Simple::Type:
    case Simple::PseudoElement:
        return {0, 0, 1};
    case Simple::Is:
    case Simple::Not: {
        Specificity most{};
        for (const Complex& argument : *simple.arguments)
            most = std::max(most, specificity(argument));
        return most;
    }
    default:
        return {0, 0, 0};
    }
}

CssSelector::Specificity CssSelector::specificity(const Complex& selector)
{
    Specificity total{};
    for (const Compound& compound : selector) {
        for (const Simple& simple : compound.simples) {
            const Specificity one = specificity(simple);
            for (std::size_t i = 0; i < 3; ++i)
                total[i] += one[i];
        }
    }
    return total;
}

bool CssSelector::matches(const Simple& simple, int element, PageElement state, const Page& page)
{
    static const char* const types[] = {"html", "body", "a"};
    switch (simple.kind) {
    case Simple::Type:
        return simple.name == QLatin1String(types[element]);
    case Simple::Universal:
        return true;
    case Simple::Class: {
        const QString classes = attribute(element, page, QStringLiteral("class")).value_or(QString());
        return classes.split(QRegularExpression(QStringLiteral("[ \t\n\r\f]+")), Qt::SkipEmptyParts)
            .contains(simple.name);
    }
    case Simple::Id:
        return attribute(element, page, QStringLiteral("id")) == simple.name;
    case Simple::Attribute: {
        const std::optional<QString> value = element == 2 && simple.name == QLatin1String("href")
            ? std::optional<QString>(QString())
            : attribute(element, page, simple.name);
        return value && (!simple.value || *value == *simple.value);
    }
    case Simple::PseudoClass:
        if (simple.name == QLatin1String("root"))
            return element == 0;
        if (simple.name == QLatin1String("any-link"))
            return element == 2;
        if (simple.name == QLatin1String("link"))
            return element == 2 && state != PageElement::VisitedLink;
        if (simple.name == QLatin1String("visited"))
            return element == 2 && state == PageElement::VisitedLink;
        if (simple.name == QLatin1String("active"))
            return element == 2 && state == PageElement::ActiveLink;
        return false;
    case Simple::PseudoElement:
        return false;
    case Simple::Is:
    case Simple::Where:
    case Simple::Not: {
        const bool any = std::any_of(simple.arguments->begin(), simple.arguments->end(),
            [&](const Complex& argument) { return matches(argument, argument.size() - 1, element, state, page); });
        return simple.kind == Simple::Not ? !any : any;
    }
    }
    return false;
}

bool CssSelector::matches(const Complex& selector, qsizetype last, int element, PageElement state, const Page& page)
{
    const Compound& compound = selector[last];
    for (const Simple& simple : compound.simples) {
        if (!matches(simple, element, state, page))
            return false;
    }
    if (last == 0)
        return true;
    if (compound.combinator == '>')
        return element > 0 && matches(selector, last - 1, element - 1, state, page);
    if (compound.combinator == ' ') {
        for (int ancestor = element - 1; ancestor >= 0; --ancestor) {
            if (matches(selector, last - 1, ancestor, state, page))
                return true;
        }
    }
    // The page's elements have no siblings that the scheme knows of.
    return false;
}

std::optional<CssSelector::Specificity> CssSelector::match(PageElement element, const Page& page) const
{
    const int index = element == PageElement::Html ? 0 : (element == PageElement::Body ? 1 : 2);
    std::optional<Specificity> best;
    for (const Complex& selector : m_list) {
        if (matches(selector, selector.size() - 1, index, element, page))
            best = std::max(best.value_or(Specificity{-1, -1, -1}), specificity(selector));
    }
    return best;
}
