#include "SelectorParts.h"

#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cmath>

using namespace SelectorParts;

namespace {

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
        if (name.token.is(CssToken::Ident)) {
            simple.name = name.token.text.toLower();
            return isKnownPseudoElement(simple.name);
        }
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

} // namespace

namespace {

// Whether a simple selector asks for the element's place among its siblings or its contents, itself or
// anywhere in its arguments.
bool asksPlace(const Simple& simple)
{
    switch (simple.kind) {
    case Simple::Nth:
    case Simple::Has:
        return true;
    case Simple::Pseudo:
        return simple.name == QLatin1String("only-child") || simple.name == QLatin1String("only-of-type")
            || simple.name == QLatin1String("empty");
    case Simple::Is:
    case Simple::Where:
    case Simple::Not:
    case Simple::Nest:
        return simple.arguments
            && std::any_of(simple.arguments->begin(), simple.arguments->end(), [](const Complex& c) {
                   return std::any_of(c.compounds.begin(), c.compounds.end(), [](const Compound& compound) {
                       return compound.combinator == '+' || compound.combinator == '~'
                           || std::any_of(compound.simples.begin(), compound.simples.end(), asksPlace);
                   });
               });
    default:
        return false;
    }
}

} // namespace

// What :has() and nesting put before a relative selector: the element it is relative to.
Complex SelectorParts::anchored(Complex complex, Simple anchor)
{
    const char combinator = complex.compounds.first().combinator ? complex.compounds.first().combinator : ' ';
    complex.compounds.first().combinator = combinator;
    add(complex.specificity, specificityOf(anchor));
    complex.compounds.prepend(Compound{{std::move(anchor)}, 0});
    return complex;
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
        // A compound joined to the next by a descendant or child combinator matches an ancestor of the
        // element, or of a sibling of it, which has the same ancestors.
        for (qsizetype c = 0; c + 1 < one->compounds.size(); ++c) {
            if (one->compounds[c + 1].combinator != ' ' && one->compounds[c + 1].combinator != '>')
                continue;
            for (const Simple& simple : one->compounds[c].simples) {
                using Kind = Selectors::Matcher::KeyKind;
                if (simple.kind == Simple::Type)
                    one->ancestorKeys.append(Selectors::Matcher::ancestorKey(Kind::Type, qHash(simple.name)));
                else if (simple.kind == Simple::Class)
                    one->ancestorKeys.append(Selectors::Matcher::ancestorKey(Kind::Class, simple.hash));
                else if (simple.kind == Simple::Id)
                    one->ancestorKeys.append(Selectors::Matcher::ancestorKey(Kind::Id, qHash(simple.name)));
            }
        }
        // ::before and ::after, last, make a box in the element the rest selects.
        QList<Simple>& last = one->compounds.last().simples;
        const auto generated = [](const Simple& simple) {
            return simple.kind == Simple::PseudoElement
                && (simple.name == QLatin1String("before") || simple.name == QLatin1String("after"));
        };
        if (!last.isEmpty() && generated(last.last())) {
            Complex host = *one;
            host.compounds.last().simples.removeLast();
            if (host.compounds.last().simples.isEmpty())
                host.compounds.last().simples.append(Simple{});
            one->host = std::make_shared<const Complex>(std::move(host));
        }
        result.append(std::move(*one));
    }
    Selectors selectors;
    selectors.m_generates
        = std::any_of(result.begin(), result.end(), [](const Complex& complex) { return complex.host != nullptr; });
    selectors.m_positional = std::any_of(result.begin(), result.end(), [](const Complex& complex) {
        const Compound& subject = complex.compounds.last();
        return subject.combinator == '+' || subject.combinator == '~'
            || std::any_of(subject.simples.begin(), subject.simples.end(), asksPlace);
    });
    selectors.m_list = std::make_shared<const List>(std::move(result));
    return selectors;
}

namespace {

// Adds the keys one of which an element must have for the complex selector to match it; false when it
// requires none.
bool addKeys(const Complex& complex, Selectors::Keys& keys, int depth)
{
    const QList<Simple>& subject = complex.compounds.last().simples;
    const auto boxElsewhere = [](const Simple& simple) {
        return simple.kind == Simple::PseudoElement && simple.name != QLatin1String("before")
            && simple.name != QLatin1String("after");
    };
    if (std::any_of(subject.begin(), subject.end(), boxElsewhere))
        return true;
    // The one fewest elements have: the root, an id, a class, an attribute, then a type.
    const auto rank = [](const Simple& simple) {
        switch (simple.kind) {
        case Simple::Pseudo:
            return simple.name == QLatin1String("root") ? 5 : 0;
        case Simple::Id:
            return 4;
        case Simple::Class:
            return 3;
        case Simple::Attribute:
            return 2;
        case Simple::Type:
            return 1;
        default:
            return 0;
        }
    };
    const Simple* best = nullptr;
    for (const Simple& simple : subject) {
        if (rank(simple) > (best ? rank(*best) : 0))
            best = &simple;
    }
    if (best) {
        switch (best->kind) {
        case Simple::Pseudo:
            keys.root = true;
            break;
        case Simple::Id:
            keys.ids.append(best->name);
            break;
        case Simple::Class:
            keys.classes.append(best->hash);
            break;
        case Simple::Attribute:
            keys.attributes.append(best->name);
            break;
        default:
            keys.types.append(best->name);
            break;
        }
        return true;
    }
    // :is(a, [role=link]) asks for what one of its selectors asks for.
    if (depth >= MaximumDepth)
        return false;
    for (const Simple& simple : subject) {
        if ((simple.kind != Simple::Is && simple.kind != Simple::Where && simple.kind != Simple::Nest)
            || !simple.arguments)
            continue;
        Selectors::Keys inner;
        if (std::all_of(simple.arguments->begin(), simple.arguments->end(),
                [&](const Complex& argument) { return addKeys(argument, inner, depth + 1); })) {
            keys.classes += inner.classes;
            keys.ids += inner.ids;
            keys.attributes += inner.attributes;
            keys.types += inner.types;
            keys.root = keys.root || inner.root;
            return true;
        }
    }
    return false;
}

} // namespace

std::optional<Selectors::Keys> Selectors::keys() const
{
    Keys keys;
    for (const Complex& complex : *m_list) {
        if (!addKeys(complex, keys, 0))
            return std::nullopt;
    }
    return keys;
}

bool Selectors::Keys::mayMatch(const PageTree::Element& e, bool isRoot) const
{
    return (root && isRoot)
        || std::any_of(classes.begin(), classes.end(),
            [&](size_t hash) { return std::binary_search(e.classes.begin(), e.classes.end(), hash); })
        || (!e.id.isEmpty() && ids.contains(e.id)) || types.contains(e.tag)
        || std::any_of(e.attributes.begin(), e.attributes.end(),
            [&](const auto& attribute) { return attributes.contains(attribute.first); });
}
