#include "Selectors.h"

#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cmath>

struct Selectors::Simple {
    enum Kind {
        Type,
        Universal,
        Class,
        Id,
        Attribute,
        Pseudo, // a pseudo-class without arguments, by name
        PseudoElement,
        Is,
        Where,
        Not,
        Has,
        Nest, // & in a nested rule: the rule around it
        Anchor, // the element a :has() argument is relative to
        Nth, // :nth-child() and its kin
        Lang,
    };
    Kind kind = Universal;
    QString name; // lower case for types, attributes and pseudo-classes
    size_t hash = 0; // of a class name
    QString value;
    char op = 0; // an attribute selector's = ~ | ^ $ * (0 for presence)
    bool insensitive = false;
    std::shared_ptr<const List> arguments;
    int a = 0; // An+B
    int b = 0;
    bool fromEnd = false; // nth-last-…
    bool ofType = false; // …-of-type
    Specificity nestSpecificity{}; // for &: the most specific selector of the rule around it
};

struct Selectors::Compound {
    QList<Simple> simples;
    char combinator = 0; // how it joins the compound before it: ' ', '>', '+' or '~'
};

struct Selectors::Complex {
    QList<Compound> compounds;
    Specificity specificity{};
};

namespace {

using Simple = Selectors::Simple;
using Compound = Selectors::Compound;
using Complex = Selectors::Complex;
using List = Selectors::List;
using Specificity = Selectors::Specificity;

constexpr int MaximumDepth = 32; // of :is(), :not() and :has() inside one another

// Pseudo-classes without arguments that a browser knows. Those not matched below never hold for
// the elements read here but keep their rule valid.
const QStringList& knownPseudoClasses()
{
    static const QStringList names{QStringLiteral("root"), QStringLiteral("link"), QStringLiteral("visited"),
        QStringLiteral("any-link"), QStringLiteral("-webkit-any-link"), QStringLiteral("active"),
        QStringLiteral("hover"), QStringLiteral("focus"), QStringLiteral("focus-visible"),
        QStringLiteral("focus-within"), QStringLiteral("target"), QStringLiteral("target-within"),
        QStringLiteral("first-child"), QStringLiteral("last-child"), QStringLiteral("only-child"),
        QStringLiteral("first-of-type"), QStringLiteral("last-of-type"), QStringLiteral("only-of-type"),
        QStringLiteral("empty"), QStringLiteral("checked"), QStringLiteral("disabled"), QStringLiteral("enabled"),
        QStringLiteral("defined"), QStringLiteral("fullscreen"), QStringLiteral("scope"),
        QStringLiteral("indeterminate"), QStringLiteral("default"), QStringLiteral("valid"), QStringLiteral("invalid"),
        QStringLiteral("in-range"), QStringLiteral("out-of-range"), QStringLiteral("required"),
        QStringLiteral("optional"), QStringLiteral("read-only"), QStringLiteral("read-write"),
        QStringLiteral("placeholder-shown"), QStringLiteral("autofill"), QStringLiteral("-webkit-autofill"),
        QStringLiteral("user-invalid"), QStringLiteral("user-valid"), QStringLiteral("modal"),
        QStringLiteral("popover-open"), QStringLiteral("open"), QStringLiteral("closed"), QStringLiteral("playing"),
        QStringLiteral("paused"), QStringLiteral("picture-in-picture"), QStringLiteral("host"),
        QStringLiteral("-webkit-full-screen"), QStringLiteral("xr-overlay"), QStringLiteral("-internal-list-box"),
        QStringLiteral("state"), QStringLiteral("active-view-transition")};
    return names;
}

// The pseudo-elements of CSS 2 may be written with one colon.
bool isLegacyPseudoElement(const QString& name)
{
    return name == QLatin1String("before") || name == QLatin1String("after") || name == QLatin1String("first-line")
        || name == QLatin1String("first-letter");
}

bool isKnownPseudoElement(const QString& name)
{
    static const QStringList names{QStringLiteral("before"), QStringLiteral("after"), QStringLiteral("first-line"),
        QStringLiteral("first-letter"), QStringLiteral("selection"), QStringLiteral("placeholder"),
        QStringLiteral("marker"), QStringLiteral("backdrop"), QStringLiteral("file-selector-button"),
        QStringLiteral("cue"), QStringLiteral("target-text"), QStringLiteral("spelling-error"),
        QStringLiteral("grammar-error"), QStringLiteral("highlight"), QStringLiteral("part"), QStringLiteral("slotted"),
        QStringLiteral("view-transition"), QStringLiteral("view-transition-group"),
        QStringLiteral("view-transition-image-pair"), QStringLiteral("view-transition-old"),
        QStringLiteral("view-transition-new"), QStringLiteral("details-content"), QStringLiteral("column"),
        QStringLiteral("scroll-marker"), QStringLiteral("scroll-marker-group"), QStringLiteral("picker"),
        QStringLiteral("checkmark"), QStringLiteral("picker-icon")};
    // Chromium takes every -webkit- pseudo-element it does not know as valid; -moz- ones drop the rule.
    return names.contains(name) || name.startsWith(QLatin1String("-webkit-"))
        || name.startsWith(QLatin1String("-internal-"));
}

// Attributes whose values HTML compares without regard to ASCII case.
bool caseInsensitiveAttribute(const QString& name)
{
    static const QSet<QString> names{QStringLiteral("accept"), QStringLiteral("accept-charset"),
        QStringLiteral("align"), QStringLiteral("alink"), QStringLiteral("axis"), QStringLiteral("bgcolor"),
        QStringLiteral("charset"), QStringLiteral("checked"), QStringLiteral("clear"), QStringLiteral("codetype"),
        QStringLiteral("color"), QStringLiteral("compact"), QStringLiteral("declare"), QStringLiteral("defer"),
        QStringLiteral("dir"), QStringLiteral("direction"), QStringLiteral("disabled"), QStringLiteral("enctype"),
        QStringLiteral("face"), QStringLiteral("frame"), QStringLiteral("hreflang"), QStringLiteral("http-equiv"),
        QStringLiteral("lang"), QStringLiteral("language"), QStringLiteral("link"), QStringLiteral("media"),
        QStringLiteral("method"), QStringLiteral("multiple"), QStringLiteral("nohref"), QStringLiteral("noresize"),
        QStringLiteral("noshade"), QStringLiteral("nowrap"), QStringLiteral("readonly"), QStringLiteral("rel"),
        QStringLiteral("rev"), QStringLiteral("rules"), QStringLiteral("scope"), QStringLiteral("scrolling"),
        QStringLiteral("selected"), QStringLiteral("shape"), QStringLiteral("target"), QStringLiteral("text"),
        QStringLiteral("type"), QStringLiteral("valign"), QStringLiteral("valuetype"), QStringLiteral("vlink")};
    return names.contains(name);
}

void add(Specificity& total, const Specificity& one)
{
    for (std::size_t i = 0; i < 3; ++i)
        total[i] += one[i];
}

Specificity mostSpecific(const List& list)
{
    Specificity most{};
    for (const Complex& complex : list)
        most = std::max(most, complex.specificity);
    return most;
}

Specificity specificityOf(const Simple& simple)
{
    switch (simple.kind) {
    case Simple::Id:
        return {1, 0, 0};
    case Simple::Class:
    case Simple::Attribute:
    case Simple::Lang:
        return {0, 1, 0};
    case Simple::Type:
    case Simple::PseudoElement:
        return {0, 0, 1};
    case Simple::Pseudo:
        // The :scope an @scope rule's selectors are implicitly relative to adds nothing.
        return simple.name == QLatin1String("-scope-where") ? Specificity{} : Specificity{0, 1, 0};
    case Simple::Is:
    case Simple::Not:
    case Simple::Has:
        return mostSpecific(*simple.arguments);
    case Simple::Nth: {
        Specificity result{0, 1, 0};
        if (simple.arguments)
            add(result, mostSpecific(*simple.arguments));
        return result;
    }
    case Simple::Nest:
        return simple.nestSpecificity;
    default:
        return {0, 0, 0};
    }
}

// An+B, as the microsyntax reads it from the tokens; nothing when it is not one.
std::optional<std::pair<int, int>> anPlusB(const CssValues& values)
{
    QString text;
    const auto needsSign = [&text] {
        const QString trimmed = text.trimmed();
        return !trimmed.isEmpty() && !trimmed.endsWith(u'+') && !trimmed.endsWith(u'-');
    };
    for (const CssValue& value : values) {
        const CssToken& token = value.token;
        if (token.is(CssToken::Whitespace)) {
            text += u' ';
        } else if (token.is(CssToken::Ident)) {
            text += token.text.toLower();
        } else if (token.is(CssToken::Number) || token.is(CssToken::Dimension)) {
            if (token.number != std::floor(token.number) || std::abs(token.number) > 1e9)
                return std::nullopt;
            const qint64 number = qint64(token.number);
            text += (number < 0 ? QStringLiteral("-") : (needsSign() ? QStringLiteral("+") : QString()))
                + QString::number(std::abs(number));
            if (token.is(CssToken::Dimension))
                text += token.text.toLower();
        } else if (token.isDelim(u'+') || token.isDelim(u'-')) {
            text += token.text.toString();
        } else {
            return std::nullopt;
        }
    }
    text = text.trimmed();
    if (text == QLatin1String("odd"))
        return std::pair{2, 1};
    if (text == QLatin1String("even"))
        return std::pair{2, 0};
    static const QRegularExpression pattern(QStringLiteral("^([+-]?\\d*)n\\s*(?:([+-])\\s*(\\d+))?$|^([+-]?\\d+)$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    if (match.capturedLength(4))
        return std::pair{0, match.captured(4).toInt()};
    const QString a = match.captured(1);
    const int an = a.isEmpty() || a == QLatin1String("+") ? 1 : (a == QLatin1String("-") ? -1 : a.toInt());
    const int b = match.capturedLength(3) ? match.captured(3).toInt() * (match.captured(2) == u'-' ? -1 : 1) : 0;
    return std::pair{an, b};
}

// values[from, to) without the whitespace at either end, copied once.
CssValues trimmedPart(const CssValues& values, qsizetype from, qsizetype to)
{
    while (from < to && values[from].token.is(CssToken::Whitespace))
        ++from;
    while (to > from && values[to - 1].token.is(CssToken::Whitespace))
        --to;
    return values.mid(from, to - from);
}

struct Parser {
    const Selectors* parent = nullptr; // what & stands for
    std::shared_ptr<const List> parentList;
    Specificity parentSpecificity{};
    bool sawNest = false;
    bool sawScope = false;

    std::optional<List> list(const CssValues& values, int depth, bool forgiving, bool relative);
    std::optional<Complex> complex(const CssValues& values, int depth, bool relative);
    bool pseudo(const CssValues& values, qsizetype& at, Simple& simple, int depth);
};

std::optional<List> Parser::list(const CssValues& values, int depth, bool forgiving, bool relative)
{
    if (depth > MaximumDepth)
        return std::nullopt;
    List result;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= values.size(); ++i) {
        if (i < values.size() && !values[i].token.is(CssToken::Comma))
            continue;
        std::optional<Complex> one = complex(trimmedPart(values, start, i), depth, relative);
        start = i + 1;
        if (one)
            result.append(std::move(*one));
        else if (!forgiving)
            return std::nullopt;
    }
    return result;
}

bool Parser::pseudo(const CssValues& values, qsizetype& at, Simple& simple, int depth)
{
    const CssValue& next = values[at];
    if (next.token.is(CssToken::Colon)) {
        if (at + 1 >= values.size())
            return false;
        const CssValue& name = values[++at];
        simple.kind = Simple::PseudoElement;
        if (name.token.is(CssToken::Ident))
            return isKnownPseudoElement(name.token.text.toLower());
        // ::part(), ::slotted(), ::highlight(), ::cue() and the view transitions take arguments.
        return name.token.is(CssToken::Function) && isKnownPseudoElement(name.token.text.toLower());
    }
    if (next.token.is(CssToken::Ident)) {
        simple.name = next.token.text.toLower();
        if (simple.name == QLatin1String("-webkit-any-link"))
            simple.name = QStringLiteral("any-link");
        if (isLegacyPseudoElement(simple.name)) {
            simple.kind = Simple::PseudoElement;
            return true;
        }
        simple.kind = Simple::Pseudo;
        if (simple.name == QLatin1String("scope"))
            sawScope = true;
        if (simple.name == QLatin1String("first-child") || simple.name == QLatin1String("last-child")
            || simple.name == QLatin1String("first-of-type") || simple.name == QLatin1String("last-of-type")) {
            simple.kind = Simple::Nth;
            simple.a = 0;
            simple.b = 1;
            simple.fromEnd = simple.name.startsWith(QLatin1String("last"));
            simple.ofType = simple.name.endsWith(QLatin1String("of-type"));
        }
        return knownPseudoClasses().contains(simple.name);
    }
    if (!next.token.is(CssToken::Function))
        return false;
    const QString name = next.token.text.toLower();
    if (name == QLatin1String("is") || name == QLatin1String("where") || name == QLatin1String("not")
        || name == QLatin1String("has")) {
        simple.kind = name == QLatin1String("is")
            ? Simple::Is
            : (name == QLatin1String("where") ? Simple::Where
                                              : (name == QLatin1String("not") ? Simple::Not : Simple::Has));
        const bool forgiving = simple.kind == Simple::Is || simple.kind == Simple::Where;
        std::optional<List> arguments = list(next.inside, depth + 1, forgiving, simple.kind == Simple::Has);
        if (!arguments || (simple.kind == Simple::Has && arguments->isEmpty()))
            return false;
        simple.arguments = std::make_shared<const List>(std::move(*arguments));
        return true;
    }
    if (name.startsWith(QLatin1String("nth-"))) {
        simple.kind = Simple::Nth;
        simple.fromEnd = name.startsWith(QLatin1String("nth-last-"));
        simple.ofType = name.endsWith(QLatin1String("-of-type"));
        if (!simple.ofType && name != QLatin1String("nth-child") && name != QLatin1String("nth-last-child"))
            return false;
        if (simple.ofType && name != QLatin1String("nth-of-type") && name != QLatin1String("nth-last-of-type"))
            return false;
        qsizetype of = 0;
        while (of < next.inside.size() && !next.inside[of].token.isIdent(u"of"))
            ++of;
        const std::optional<std::pair<int, int>> ab = anPlusB(CssParser::trimmed(next.inside.values().first(of)));
        if (!ab)
            return false;
        simple.a = ab->first;
        simple.b = ab->second;
        if (of < next.inside.size()) {
            if (simple.ofType)
                return false;
            std::optional<List> arguments = list(next.inside.mid(of + 1), depth + 1, false, false);
            if (!arguments)
                return false;
            simple.arguments = std::make_shared<const List>(std::move(*arguments));
        }
        return true;
    }
    if (name == QLatin1String("lang")) {
        simple.kind = Simple::Lang;
        const CssValues inside = CssParser::trimmed(next.inside);
        if (inside.isEmpty() || !(inside[0].token.is(CssToken::Ident) || inside[0].token.is(CssToken::String)))
            return false;
        simple.value = inside[0].token.text.toLower();
        return true;
    }
    // Functional pseudo-classes that hold for none of the elements read here.
    static const QStringList never{QStringLiteral("host"), QStringLiteral("host-context"), QStringLiteral("dir"),
        QStringLiteral("state"), QStringLiteral("-webkit-any"), QStringLiteral("active-view-transition-type")};
    simple.kind = Simple::Pseudo;
    simple.name = name == QLatin1String("dir") ? QStringLiteral("dir") : QStringLiteral("-never");
    if (name == QLatin1String("dir")) {
        const CssValues inside = CssParser::trimmed(next.inside);
        simple.kind = Simple::Pseudo;
        simple.name = inside.size() == 1 && inside[0].token.isIdent(u"ltr") ? QStringLiteral("-always")
                                                                            : QStringLiteral("-never");
    }
    return never.contains(name);
}

std::optional<Complex> Parser::complex(const CssValues& values, int depth, bool relative)
{
    Complex result;
    result.compounds.append(Compound{});
    char pending = 0; // a combinator seen since the last simple selector
    bool leading = true;
    for (qsizetype at = 0; at < values.size(); ++at) {
        const CssValue& item = values[at];
        const CssToken& token = item.token;
        if (token.is(CssToken::Whitespace)) {
            // Whitespace after a leading combinator ("> a") is no descendant combinator.
            if (!pending && !leading && !result.compounds.last().simples.isEmpty())
                pending = ' ';
            continue;
        }
        if (token.isDelim(u'>') || token.isDelim(u'+') || token.isDelim(u'~')) {
            if (pending && pending != ' ')
                return std::nullopt;
            if (leading) {
                if (!relative)
                    return std::nullopt;
                result.compounds.first().combinator = char(token.text[0].unicode());
                leading = false;
                continue;
            }
            pending = char(token.text[0].unicode());
            continue;
        }
        if (pending) {
            if (result.compounds.last().simples.isEmpty())
                return std::nullopt;
            result.compounds.append(Compound{{}, pending});
            pending = 0;
        }
        if (leading && result.compounds.first().combinator == 0 && relative) {
            // A relative selector without a combinator: a descendant of what it is relative to.
            result.compounds.first().combinator = ' ';
        }
        leading = false;
        Simple simple;
        QList<Simple>& simples = result.compounds.last().simples;
        // A namespace prefix: *| and | are any and none; a named prefix no @namespace declared drops
        // the rule.
        if ((token.isDelim(u'*') || token.is(CssToken::Ident)) && at + 2 < values.size()
            && values[at + 1].token.isDelim(u'|') && !values[at + 2].token.isDelim(u'=')) {
            if (!token.isDelim(u'*'))
                return std::nullopt;
            ++at;
            continue;
        }
        if (token.is(CssToken::Ident) || token.isDelim(u'*')) {
            if (!simples.isEmpty())
                return std::nullopt;
            simple.kind = token.is(CssToken::Ident) ? Simple::Type : Simple::Universal;
            simple.name = token.text.toLower();
        } else if (token.isDelim(u'&')) {
            simple.kind = Simple::Nest;
            sawNest = true;
            if (parentList) {
                simple.arguments = parentList;
                simple.nestSpecificity = parentSpecificity;
            } else {
                // & outside any rule stands for :scope.
                simple.kind = Simple::Pseudo;
                simple.name = QStringLiteral("scope");
                sawScope = true;
            }
        } else if (token.is(CssToken::Hash) && token.idHash) {
            simple.kind = Simple::Id;
            simple.name = token.text;
        } else if (token.isDelim(u'.') && at + 1 < values.size() && values[at + 1].token.is(CssToken::Ident)) {
            simple.kind = Simple::Class;
            simple.name = values[++at].token.text;
            simple.hash = PageTree::classHash(simple.name);
        } else if (item.isBlock(CssToken::OpenSquare)) {
            CssValues inside = CssParser::trimmed(item.inside);
            if (inside.size() >= 2 && (inside[0].token.isDelim(u'*') || inside[0].token.is(CssToken::Ident))
                && inside[1].token.isDelim(u'|') && !(inside.size() > 2 && inside[2].token.isDelim(u'='))) {
                if (!inside[0].token.isDelim(u'*'))
                    return std::nullopt;
                inside = inside.mid(2);
            } else if (!inside.isEmpty() && inside[0].token.isDelim(u'|')) {
                inside = inside.mid(1);
            }
            if (inside.isEmpty() || !inside.first().token.is(CssToken::Ident))
                return std::nullopt;
            simple.kind = Simple::Attribute;
            simple.name = inside.first().token.text.toLower();
            CssValues rest = CssParser::trimmed(inside.mid(1));
            if (!rest.isEmpty()) {
                qsizetype opAt = 0;
                if (rest[0].token.is(CssToken::Delim) && !rest[0].token.isDelim(u'=') && rest.size() > 1
                    && rest[1].token.isDelim(u'=')) {
                    const char16_t op = rest[0].token.text[0].unicode();
                    if (op != u'~' && op != u'|' && op != u'^' && op != u'$' && op != u'*')
                        return std::nullopt;
                    simple.op = char(op);
                    opAt = 2;
                } else if (rest[0].token.isDelim(u'=')) {
                    simple.op = '=';
                    opAt = 1;
                } else {
                    return std::nullopt;
                }
                QList<CssValue> operand;
                for (const CssValue& value : rest.mid(opAt)) {
                    if (!value.token.is(CssToken::Whitespace))
                        operand.append(value);
                }
                if (operand.isEmpty() || operand.size() > 2
                    || !(operand[0].token.is(CssToken::Ident) || operand[0].token.is(CssToken::String)))
                    return std::nullopt;
                simple.value = operand[0].token.text;
                simple.insensitive = caseInsensitiveAttribute(simple.name);
                if (operand.size() == 2) {
                    if (operand[1].token.isIdent(u"i"))
                        simple.insensitive = true;
                    else if (operand[1].token.isIdent(u"s"))
                        simple.insensitive = false;
                    else
                        return std::nullopt;
                }
            }
        } else if (token.is(CssToken::Colon) && at + 1 < values.size()) {
            ++at;
            if (!pseudo(values, at, simple, depth))
                return std::nullopt;
        } else {
            return std::nullopt;
        }
        simples.append(std::move(simple));
    }
    if (result.compounds.last().simples.isEmpty() || (pending && pending != ' '))
        return std::nullopt;
    for (const Compound& compound : std::as_const(result.compounds)) {
        for (const Simple& simple : compound.simples)
            add(result.specificity, specificityOf(simple));
    }
    return result;
}

// What :has() and nesting put before a relative selector: the element it is relative to.
Complex anchored(Complex complex, Simple anchor)
{
    const char combinator = complex.compounds.first().combinator ? complex.compounds.first().combinator : ' ';
    complex.compounds.first().combinator = combinator;
    add(complex.specificity, specificityOf(anchor));
    complex.compounds.prepend(Compound{{std::move(anchor)}, 0});
    return complex;
}

} // namespace

Selectors::Matcher::Matcher(const PageTree& tree, State state, WorkBudget& budget)
    : m_tree(tree)
    , m_state(state)
    , m_budget(budget)
    , m_onLinkPath(tree.elements().size(), false)
{
    for (int up = state.link; up >= 0; up = tree.at(up).parent)
        m_onLinkPath[up] = true;
}

std::optional<Selectors> Selectors::parse(const CssValues& prelude, const Selectors* parent, bool scoped)
{
    Parser parser;
    if (parent) {
        parser.parentList = parent->m_list;
        parser.parentSpecificity = mostSpecific(*parent->m_list);
    }
    const bool relative = parent || scoped;
    List result;
    qsizetype start = 0;
    const CssValues values = CssParser::trimmed(prelude);
    for (qsizetype i = 0; i <= values.size(); ++i) {
        if (i < values.size() && !values[i].token.is(CssToken::Comma))
            continue;
        parser.sawNest = parser.sawScope = false;
        std::optional<Complex> one = parser.complex(trimmedPart(values, start, i), 0, relative);
        start = i + 1;
        if (!one)
            return std::nullopt;
        const char leading = one->compounds.first().combinator;
        const bool explicitAnchor = parent ? parser.sawNest : (parser.sawNest || parser.sawScope);
        // A relative selector without a combinator of its own reads as a descendant (' ').
        if (relative && (!explicitAnchor || (leading && leading != ' '))) {
            Simple anchor;
            if (parent) {
                // A nested selector without & is relative to the rule around it, as if "& " began it.
                anchor.kind = Simple::Nest;
                anchor.arguments = parser.parentList;
                anchor.nestSpecificity = parser.parentSpecificity;
            } else {
                // In @scope, as if ":where(:scope) " began it.
                anchor.kind = Simple::Pseudo;
                anchor.name = QStringLiteral("-scope-where");
            }
            one = anchored(std::move(*one), std::move(anchor));
        } else {
            one->compounds.first().combinator = 0;
        }
        result.append(std::move(*one));
    }
    Selectors selectors;
    selectors.m_list = std::make_shared<const List>(std::move(result));
    return selectors;
}

namespace {

struct Context {
    Selectors::Matcher* matcher;
    int scope;
    int anchor; // for :has()
};

} // namespace

// Kept out of the header: the matching functions see the Matcher's members through this friend.
class SelectorMatching {
public:
    SelectorMatching(const PageTree& tree,
        const Selectors::State& state,
        WorkBudget& budget,
        const QList<bool>& onLinkPath,
        QHash<std::pair<const void*, std::pair<int, int>>, bool>& known)
        : m_tree(tree)
        , m_state(state)
        , m_budget(budget)
        , m_onLinkPath(onLinkPath)
        , m_known(known)
    {
    }

    bool list(const List& list, int element, int scope, int anchor, int depth);
    bool complex(const Complex& complex, int element, int scope, int anchor, int depth);

private:
    bool compound(const Compound& compound, int element, int scope, int anchor, int depth);
    bool simple(const Simple& simple, int element, int scope, int anchor, int depth);
    bool has(const Simple& simple, int element, int scope, int depth);
    bool nth(const Simple& simple, int element, int scope, int depth);
    bool attribute(const Simple& simple, int element) const;
    bool isLink(int element) const;

    const PageTree& m_tree;
    const Selectors::State& m_state;
    WorkBudget& m_budget;
    const QList<bool>& m_onLinkPath;
    QHash<std::pair<const void*, std::pair<int, int>>, bool>& m_known;
};

bool SelectorMatching::isLink(int element) const
{
    const PageTree::Element& e = m_tree.at(element);
    return e.html && (e.tag == QLatin1String("a") || e.tag == QLatin1String("area"))
        && m_tree.attribute(element, u"href").has_value();
}

bool SelectorMatching::attribute(const Simple& simple, int element) const
{
    const PageTree::Element& e = m_tree.at(element);
    const QString* found = nullptr;
    for (const auto& [name, value] : e.attributes) {
        if (name == simple.name) {
            found = &value;
            break;
        }
    }
    if (!found)
        return false;
    if (!simple.op)
        return true;
    const Qt::CaseSensitivity cs = simple.insensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const QString& value = *found;
    const QString& wanted = simple.value;
    switch (simple.op) {
    case '=':
        return value.compare(wanted, cs) == 0;
    case '~': {
        if (wanted.isEmpty() || wanted.contains(QRegularExpression(QStringLiteral("[ \\t\\n\\f\\r]"))))
            return false;
        const QStringList words
            = value.split(QRegularExpression(QStringLiteral("[ \\t\\n\\f\\r]+")), Qt::SkipEmptyParts);
        return std::any_of(words.begin(), words.end(), [&](const QString& w) { return w.compare(wanted, cs) == 0; });
    }
    case '|':
        return value.compare(wanted, cs) == 0 || value.startsWith(wanted + u'-', cs);
    case '^':
        return !wanted.isEmpty() && value.startsWith(wanted, cs);
    case '$':
        return !wanted.isEmpty() && value.endsWith(wanted, cs);
    case '*':
        return !wanted.isEmpty() && value.contains(wanted, cs);
    default:
        return false;
    }
}

bool SelectorMatching::nth(const Simple& simple, int element, int scope, int depth)
{
    const PageTree::Element& e = m_tree.at(element);
    if (simple.arguments && !list(*simple.arguments, element, scope, -1, depth + 1))
        return false;
    int position = 1;
    for (int sibling = simple.fromEnd ? e.next : e.previous; sibling >= 0;
         sibling = simple.fromEnd ? m_tree.at(sibling).next : m_tree.at(sibling).previous) {
        if (!m_budget.spend())
            return false;
        if (simple.ofType && m_tree.at(sibling).tag != e.tag)
            continue;
        if (simple.arguments && !list(*simple.arguments, sibling, scope, -1, depth + 1))
            continue;
        ++position;
    }
    const qint64 offset = qint64(position) - simple.b;
    if (simple.a == 0)
        return offset == 0;
    return offset % simple.a == 0 && offset / simple.a >= 0;
}

bool SelectorMatching::has(const Simple& simple, int element, int scope, int depth)
{
    const auto key = std::pair<const void*, std::pair<int, int>>{&simple, {element, scope}};
    if (const auto known = m_known.constFind(key); known != m_known.constEnd())
        return *known;
    bool result = false;
    // The candidates: the element's descendants, or its following siblings and theirs.
    const auto subtreeEnd = [this](int from) { return m_tree.at(from).end; };
    for (const Complex& argument : *simple.arguments) {
        Simple anchor;
        anchor.kind = Simple::Anchor;
        const Complex relative = anchored(argument, anchor);
        const char combinator = relative.compounds[1].combinator;
        int first = element + 1;
        int end = 0;
        if (combinator == ' ' || combinator == '>') {
            end = subtreeEnd(element);
        } else {
            const int parent = m_tree.at(element).parent;
            end = parent >= 0 ? subtreeEnd(parent) : element + 1;
            first = m_tree.at(element).next >= 0 ? m_tree.at(element).next : end;
        }
        for (int candidate = first; candidate < end && !result; ++candidate) {
            if (!m_budget.spend())
                return false;
            result = complex(relative, candidate, scope, element, depth + 1);
        }
        if (result)
            break;
    }
    m_known.insert(key, result);
    return result;
}

bool SelectorMatching::simple(const Simple& simple, int element, int scope, int anchor, int depth)
{
    const PageTree::Element& e = m_tree.at(element);
    switch (simple.kind) {
    case Simple::Type:
        return e.tag == simple.name;
    case Simple::Universal:
        return true;
    case Simple::Class:
        return std::binary_search(e.classes.begin(), e.classes.end(), simple.hash);
    case Simple::Id:
        return !e.id.isEmpty() && e.id == simple.name;
    case Simple::Attribute:
        return attribute(simple, element);
    case Simple::PseudoElement:
        return false;
    case Simple::Anchor:
        return element == anchor;
    case Simple::Is:
    case Simple::Where:
    case Simple::Nest:
        return list(*simple.arguments, element, scope, -1, depth + 1);
    case Simple::Not:
        return !list(*simple.arguments, element, scope, -1, depth + 1);
    case Simple::Has:
        return has(simple, element, scope, depth);
    case Simple::Nth:
        return nth(simple, element, scope, depth);
    case Simple::Lang: {
        for (int up = element; up >= 0; up = m_tree.at(up).parent) {
            if (const std::optional<QString> lang = m_tree.attribute(up, u"lang")) {
                const QString value = lang->toLower();
                return value == simple.value || value.startsWith(simple.value + u'-');
            }
        }
        return false;
    }
    case Simple::Pseudo:
        break;
    }
    const QString& name = simple.name;
    const bool pressedPath = m_state.pressed && m_onLinkPath[element];
    if (name == QLatin1String("root"))
        return element == m_tree.root();
    if (name == QLatin1String("scope") || name == QLatin1String("-scope-where"))
        return element == (scope >= 0 ? scope : m_tree.root());
    if (name == QLatin1String("any-link"))
        return isLink(element);
    if (name == QLatin1String("link"))
        return isLink(element) && !(element == m_state.link && m_state.visited);
    if (name == QLatin1String("visited"))
        return element == m_state.link && m_state.visited;
    if (name == QLatin1String("hover") || name == QLatin1String("active") || name == QLatin1String("focus-within"))
        return pressedPath;
    if (name == QLatin1String("focus"))
        return m_state.pressed && element == m_state.link;
    if (name == QLatin1String("only-child") || name == QLatin1String("only-of-type")) {
        const bool ofType = name == QLatin1String("only-of-type");
        for (const int start : {e.previous, e.next}) {
            const bool forward = start == e.next;
            for (int s = start; s >= 0; s = forward ? m_tree.at(s).next : m_tree.at(s).previous) {
                if (!m_budget.spend())
                    return false;
                if (!ofType || m_tree.at(s).tag == e.tag)
                    return false;
            }
        }
        return true;
    }
    if (name == QLatin1String("empty"))
        return !e.hasContent;
    if (name == QLatin1String("defined") || name == QLatin1String("-always") || name == QLatin1String("read-only"))
        return true;
    return false;
}

bool SelectorMatching::compound(const Compound& compound, int element, int scope, int anchor, int depth)
{
    for (const Simple& one : compound.simples) {
        if (!m_budget.spend() || !simple(one, element, scope, anchor, depth))
            return false;
    }
    return true;
}

bool SelectorMatching::complex(const Complex& complex, int element, int scope, int anchor, int depth)
{
    if (depth > MaximumDepth * 4)
        return false;
    // Right to left, trying each element a combinator allows; a (compound, element) pair that failed
    // once fails again, so each is tried once.
    const QList<Compound>& compounds = complex.compounds;
    QList<std::pair<qsizetype, int>> pending{{compounds.size() - 1, element}};
    QSet<qint64> tried;
    while (!pending.isEmpty()) {
        const auto [index, at] = pending.takeLast();
        if (compounds.size() > 2) {
            const qint64 key = qint64(index) << 32 | qint64(at);
            if (tried.contains(key))
                continue;
            tried.insert(key);
        }
        if (!compound(compounds[index], at, scope, anchor, depth))
            continue;
        if (index == 0)
            return true;
        const PageTree::Element& e = m_tree.at(at);
        if (index == 1 && anchor >= 0 && compounds[0].simples.size() == 1
            && compounds[0].simples[0].kind == Simple::Anchor) {
            // The element a relative selector hangs from: its relation to `at` is known directly.
            const PageTree::Element& a = m_tree.at(anchor);
            switch (compounds[1].combinator) {
            case '>':
                if (e.parent == anchor)
                    return true;
                break;
            case '+':
                if (e.previous == anchor)
                    return true;
                break;
            case '~':
                if (e.parent == a.parent && anchor < at)
                    return true;
                break;
            default:
                if (anchor < at && at < a.end)
                    return true;
                break;
            }
            continue;
        }
        switch (compounds[index].combinator) {
        case '>':
            if (e.parent >= 0)
                pending.append({index - 1, e.parent});
            break;
        case '+':
            if (e.previous >= 0)
                pending.append({index - 1, e.previous});
            break;
        case '~': {
            QList<std::pair<qsizetype, int>> more;
            for (int s = e.previous; s >= 0; s = m_tree.at(s).previous)
                more.prepend({index - 1, s});
            pending += more;
            break;
        }
        default: {
            QList<std::pair<qsizetype, int>> more;
            for (int up = e.parent; up >= 0; up = m_tree.at(up).parent)
                more.prepend({index - 1, up});
            pending += more;
            break;
        }
        }
        if (!m_budget.spend(1))
            return false;
    }
    return false;
}

bool SelectorMatching::list(const List& list, int element, int scope, int anchor, int depth)
{
    if (anchor < 0 && list.size() > 0) {
        const auto key = std::pair<const void*, std::pair<int, int>>{&list, {element, scope}};
        if (const auto known = m_known.constFind(key); known != m_known.constEnd())
            return *known;
        bool result = false;
        for (const Complex& one : list) {
            if ((result = complex(one, element, scope, anchor, depth)))
                break;
        }
        m_known.insert(key, result);
        return result;
    }
    return std::any_of(
        list.begin(), list.end(), [&](const Complex& one) { return complex(one, element, scope, anchor, depth); });
}

std::optional<Selectors::Keys> Selectors::keys() const
{
    Keys keys;
    for (const Complex& complex : *m_list) {
        // The one fewest elements have: an id, then a class, then a type.
        const auto rank = [](const Simple* simple) {
            if (!simple)
                return 0;
            return simple->kind == Simple::Id ? 3
                                              : (simple->kind == Simple::Class ? 2 : int(simple->kind == Simple::Type));
        };
        const Simple* best = nullptr;
        for (const Simple& simple : complex.compounds.last().simples) {
            if (rank(&simple) > rank(best))
                best = &simple;
        }
        if (rank(best) == 0)
            return std::nullopt;
        if (best->kind == Simple::Id)
            keys.ids.append(best->name);
        else if (best->kind == Simple::Class)
            keys.classes.append(best->hash);
        else
            keys.types.append(best->name);
    }
    return keys;
}

std::optional<Selectors::Specificity> Selectors::match(int element, Matcher& matcher, int scope) const
{
    SelectorMatching matching(matcher.m_tree, matcher.m_state, matcher.m_budget, matcher.m_onLinkPath, matcher.m_known);
    std::optional<Specificity> best;
    for (const Complex& complex : *m_list) {
        if (best && complex.specificity <= *best)
            continue;
        if (matching.complex(complex, element, scope, -1, 0))
            best = complex.specificity;
    }
    return best;
}
