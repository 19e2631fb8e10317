#include "Cascade.h"

#include "BoxProperties.h"
#include "ComputedStyle.h"
#include "CustomProperties.h"
#include "DeclaredValues.h"
#include "LegacyColour.h"
#include "Shorthands.h"
#include "TagStyle.h"

#include <QCoreApplication>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <functional>
#include <tuple>
#include <utility>

using namespace DeclaredValues;

namespace {

using Shorthands::words;
using Specificity = Selectors::Specificity;

QString note(const char* text)
{
    return QCoreApplication::translate("Cascade", text);
}

} // namespace

struct Cascade::Candidate {
    QString property;
    CssValues value;
    int band = 1; // 0 the browser's, 1 the page's, 2 the page's !important
    int layerKey = 0;
    int proximity = 0;
    Specificity specificity{};
    int order = 0;
    int layer = -2; // for revert-layer; -2 the browser's, -1 hints and style attributes
    bool shorthand = false; // the background shorthand's whole value, still holding var()
    bool fromPage = true; // set by the page: its rules, style attributes and presentational attributes
    int position = 0; // within its rule
    int source = FromBrowser; // the rule's index, or where else it came from
    int line = 0; // of the declaration in its text
    QString shorthandOf; // for a longhand of a shorthand still holding var(): the shorthand

    auto rank() const { return std::tuple(band, layerKey, proximity, specificity, order, position); }
};

// One property a declaration sets.
struct Cascade::Expansion {
    QString property;
    CssValues value;
    bool shorthand = false; // as Candidate::shorthand
    QString shorthandOf; // as Candidate::shorthandOf
};

// What an element's box gives the @container queries inside it.
struct Cascade::Box {
    bool container = false; // container-type: size or inline-size
    bool sized = false; // container-type: size, whose height is known to the queries too
    QStringList names; // container-name
    double width = std::nan(""); // in CSS pixels; NaN where its declarations do not tell it
    double height = std::nan("");
};

// An element's style as last worked out, from its declarations and its parent's style: the states a
// page is read in (unvisited, visited, pressed) mostly differ at the link alone, and the rest is kept.
struct Cascade::Known {
    QList<Candidate> own;
    Style computed;
    int serial = 0; // which working out this is
    int parentSerial = 0; // the parent's working out it stands on
};

namespace {

bool sameValues(const CssValues& a, const CssValues& b)
{
    if (a.constData() == b.constData() && a.size() == b.size())
        return true;
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const CssToken& x = a[i].token;
        const CssToken& y = b[i].token;
        if (x.type != y.type || x.number != y.number || x.idHash != y.idHash || x.text != y.text
            || !sameValues(a[i].inside, b[i].inside))
            return false;
    }
    return true;
}

// Whether two elements' declarations are the same: from the same rules, with the same values.
template <typename Candidate> bool sameDeclarations(const QList<Candidate>& a, const QList<Candidate>& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const Candidate& x = a[i];
        const Candidate& y = b[i];
        if (x.rank() != y.rank() || x.layer != y.layer || x.shorthand != y.shorthand || x.fromPage != y.fromPage
            || x.property != y.property || !sameValues(x.value, y.value))
            return false;
    }
    return true;
}

} // namespace

Cascade::Cascade(const PageTree& tree, MediaQueries::Environment environment, WorkBudget& budget, ParsedSheets* parsed)
    : m_tree(tree)
    , m_environment(environment)
    , m_budget(budget)
    , m_rules(m_environment, budget, m_notes, parsed)
    , m_known(std::make_unique<QHash<int, Known>>())
{
}

Cascade::~Cascade() = default;

void Cascade::addStyleSheet(
    QStringView css, const QString& name, QStringView media, const SheetLoader& loader, int firstLine)
{
    m_expansions.clear(); // keyed by where the declarations are, which may move
    m_rules.addStyleSheet(css, name, media, loader, firstLine);
}

void Cascade::addLinkedSheet(const QString& href, const QString& from, QStringView media, const SheetLoader& loader)
{
    m_expansions.clear();
    m_rules.addLinkedSheet(href, from, media, loader);
}

void Cascade::addElementStyles()
{
    // Nothing to gather here: style attributes and presentational hints are read per element.
}

// The properties a declaration sets, as the cascade reads them: shorthands as their longhands (and the
// shorthand itself), or, holding var(), as the whole value pending for each.
QList<Cascade::Expansion> Cascade::expand(const CssDeclaration& declaration)
{
    QList<Expansion> result;
    const auto one = [&](const QString& property, bool shorthand) {
        result.append(Expansion{property, declaration.value, shorthand, {}});
    };
    const auto longhand = [&](const QString& property, const CssValues& value) {
        result.append(Expansion{property, value, false, {}});
    };
    if (declaration.name == QLatin1String("background")) {
        const bool pending = holdsVar(declaration.value);
        if (pending || isWideKeyword(declaration.value)) {
            one(QStringLiteral("background-color"), pending);
        } else if (const std::optional<CssValues> colour = backgroundColour(declaration.value)) {
            longhand(QStringLiteral("background-color"), *colour);
            // The shorthand sets the image too: a gradient when it names one, none otherwise.
            CssValues image = CssParser::values(u"none");
            for (const CssValue& value : declaration.value) {
                if (value.token.is(CssToken::Function) || value.token.is(CssToken::Url))
                    image = CssValues{value};
            }
            longhand(QStringLiteral("background-image"), image);
        }
    } else if (declaration.name == QLatin1String("margin")) {
        const bool pending = holdsVar(declaration.value);
        if (pending || isWideKeyword(declaration.value)) {
            one(QStringLiteral("margin-top"), pending);
            one(QStringLiteral("margin-left"), pending);
        } else if (const auto sides = marginSides(declaration.value)) {
            longhand(QStringLiteral("margin-top"), sides->first);
            longhand(QStringLiteral("margin-left"), sides->second);
            longhand(QStringLiteral("-hueloom-margin-top"), sides->first);
        }
    } else if (declaration.name == QLatin1String("all")) {
        for (const char* property : {"color", "background-color", "color-scheme", "opacity"})
            one(QLatin1String(property), false);
    } else {
        if (!BoxProperties::longhandsOf(declaration.name).isEmpty()) {
            const bool pending = holdsVar(declaration.value);
            if (pending || isWideKeyword(declaration.value)) {
                for (const QString& name : BoxProperties::longhandsOf(declaration.name)) {
                    one(name, pending);
                    result.last().shorthandOf = declaration.name;
                }
            } else if (const auto values = BoxProperties::longhands(declaration.name, declaration.value)) {
                for (const auto& [name, value] : *values)
                    longhand(name, value);
            }
        }
        one(declaration.name, false);
    }
    return result;
}

QList<Cascade::Candidate> Cascade::candidates(
    int element, const Selectors::State& state, Selectors::Matcher& matcher, bool* positional)
{
    QList<Candidate> result;
    const int layers = m_rules.layerCount();
    int position = 0;
    int source = FromBrowser;
    bool kept = false; // the declaration outlives the reading, as a sheet's or the browser's own do
    const auto add = [&](const CssDeclaration& declaration, int band, int layerKey, int proximity,
                         const Specificity& specificity, int order, int layer) {
        // A rule's declarations are the same for every element it matches: each is expanded once.
        const QList<Expansion>* expansions = nullptr;
        QList<Expansion> fresh;
        if (source >= 0 || kept) {
            auto found = m_expansions.find(&declaration);
            if (found == m_expansions.end())
                found = m_expansions.insert(&declaration, expand(declaration));
            expansions = &*found;
        } else {
            fresh = expand(declaration);
            expansions = &fresh;
        }
        for (const Expansion& one : *expansions) {
            result.append(Candidate{one.property, one.value, band, layerKey, proximity, specificity, order, layer,
                one.shorthand, source != FromBrowser, position, source, declaration.line, one.shorthandOf});
        }
    };
    const PageTree::Element& e = m_tree.at(element);
    const bool isLink = e.html && (e.tag == QLatin1String("a") || e.tag == QLatin1String("area"))
        && m_tree.attribute(element, u"href");
    if (isLink) {
        // The browser's own a:any-link { color: -webkit-link } and a:any-link:active, with the link
        // colours the body's link, vlink and alink attributes set.
        const bool visited = state.visited && element == state.link;
        bool active = false;
        for (int up = state.link; up >= 0 && state.pressed && !active; up = m_tree.at(up).parent)
            active = up == element;
        const char* attribute = active ? "alink" : (visited ? "vlink" : "link");
        const char* keyword = active ? "-webkit-activelink" : (visited ? "visitedtext" : "-webkit-link");
        QString value = QLatin1String(keyword);
        bool fromPage = false;
        if (const std::optional<QString> text = m_tree.attribute(m_tree.body(), QString::fromLatin1(attribute))) {
            if (const std::optional<Rgb> colour = LegacyColour::parse(*text)) {
                value = colour->name();
                fromPage = true;
            }
        }
        source = fromPage ? FromAttribute : FromBrowser;
        // The browser's keywords parsed once.
        static const QHash<QString, CssValues> keywords{
            {QStringLiteral("-webkit-activelink"), CssParser::values(u"-webkit-activelink")},
            {QStringLiteral("visitedtext"), CssParser::values(u"visitedtext")},
            {QStringLiteral("-webkit-link"), CssParser::values(u"-webkit-link")}};
        add(CssDeclaration{QStringLiteral("color"), fromPage ? CssParser::values(value) : keywords.value(value), false},
            0, 0, 0, {}, 0, -2);
        result.last().fromPage = fromPage;
        source = FromBrowser;
    }
    // The browser's own rules, later ones stronger.
    position = 0;
    kept = true;
    for (const CssDeclaration* declaration : BoxProperties::browserDeclarations(m_tree, element, isLink)) {
        ++position;
        add(*declaration, 0, 0, 0, {}, 0, -2);
    }
    kept = false;
    if (element == m_tree.body()) {
        source = FromAttribute;
        for (const auto& [attribute, property] :
            {std::pair{"bgcolor", "background-color"}, std::pair{"text", "color"}}) {
            if (const std::optional<QString> text = m_tree.attribute(element, QString::fromLatin1(attribute))) {
                if (const std::optional<Rgb> colour = LegacyColour::parse(*text))
                    add(CssDeclaration{QLatin1String(property), CssParser::values(colour->name()), false}, 1, -1, 0, {},
                        -1, -1);
            }
        }
    }
    for (const int index : m_rules.rulesFor(e, element == m_tree.root())) {
        const RuleSet::Rule& rule = m_rules.rule(index);
        source = index;
        if (m_budget.exhausted())
            break;
        if (positional && !*positional)
            *positional = rule.selector->positional()
                || (rule.scope
                    && ((rule.scope->root && rule.scope->root->positional())
                        || (rule.scope->limit && rule.scope->limit->positional())));
        if (rule.containers && !containersHold(*rule.containers, element, state, matcher))
            continue;
        std::optional<Specificity> specificity;
        int proximity = std::numeric_limits<int>::min();
        if (rule.scope) {
            scopeRoots(*rule.scope, element, matcher, [&](int root, int hops) {
                specificity = rule.selector->match(element, matcher, root);
                proximity = -hops;
                return specificity.has_value();
            });
        } else {
            specificity = rule.selector->match(element, matcher);
        }
        if (!specificity)
            continue;
        const int rank = m_rules.layerRank(rule.layer);
        position = 0;
        for (const CssDeclaration& declaration : rule.declarations) {
            ++position;
            add(declaration, declaration.important ? 2 : 1, declaration.important ? layers - 1 - rank : rank, proximity,
                *specificity, rule.order, rule.layer);
        }
    }
    position = 0;
    source = FromStyleAttribute;
    for (const CssDeclaration& declaration : styleAttribute(element)) {
        ++position;
        add(declaration, declaration.important ? 2 : 1, layers, 0, {}, std::numeric_limits<int>::max(), -1);
    }
    return result;
}

bool Cascade::scopeRoots(const RuleSet::Scope& scope,
    int element,
    Selectors::Matcher& matcher,
    const std::function<bool(int root, int hops)>& visit)
{
    int hops = 0;
    for (int root = element; root >= 0; root = m_tree.at(root).parent, ++hops) {
        if (!m_budget.spend())
            return false;
        if (scope.root ? !scope.root->matches(root, matcher) : root != m_tree.root())
            continue;
        bool limited = false;
        for (int below = element; below != root && scope.limit && !limited; below = m_tree.at(below).parent)
            limited = scope.limit->matches(below, matcher, root);
        if (!limited && visit(root, hops))
            return true;
    }
    return false;
}

// Each query asks the nearest container above the element (of its name, when it names one). A container
// whose size its declarations tell answers it as the browser would in the 1280 × 800 window; one whose
// size they do not tell, and a style() query other than of one custom property, are taken not to hold,
// with a note.
bool Cascade::containersHold(
    const RuleSet::ContainerQueries& queries, int element, const Selectors::State& state, Selectors::Matcher& matcher)
{
    for (const RuleSet::ContainerQuery& query : queries) {
        if (query.style) {
            if (const std::optional<bool> holds = styleHolds(query, element, state, matcher)) {
                if (!*holds)
                    return false;
                continue;
            }
            m_notes.add(ReadingNotes::Reason::QueryNotAnswered,
                note("Rules in @container queries of style() that Hueloom cannot answer were taken not to apply."));
            return false;
        }
        std::optional<Box> found;
        for (int up = m_tree.at(element).parent; up >= 0 && !found; up = m_tree.at(up).parent) {
            Box candidate = box(up, state, matcher);
            if (candidate.container && (query.name.isEmpty() || candidate.names.contains(query.name)))
                found = std::move(candidate);
        }
        if (!found)
            return false;
        const std::function<bool(const CssValues&)> asksHeight = [&asksHeight](const CssValues& values) {
            return std::any_of(values.begin(), values.end(), [&asksHeight](const CssValue& value) {
                const CssToken& token = value.token;
                return (token.is(CssToken::Ident)
                           && (token.text.toString().contains(QLatin1String("height"), Qt::CaseInsensitive)
                               || token.text.toString().contains(QLatin1String("block-size"), Qt::CaseInsensitive)
                               || token.text.toString().contains(QLatin1String("aspect-ratio"), Qt::CaseInsensitive)
                               || token.isIdent(u"orientation")))
                    || asksHeight(value.inside);
            });
        };
        const double height = found->sized ? found->height : std::nan("");
        if (std::isnan(found->width) || (found->sized && std::isnan(height) && asksHeight(query.condition))) {
            m_notes.add(ReadingNotes::Reason::QueryNotAnswered,
                note("Rules in @container queries of a container whose size Hueloom cannot work out were taken not "
                     "to apply."));
            return false;
        }
        if (!MediaQueries::containerMatches(query.condition, found->width, height))
            return false;
    }
    return true;
}

// A style() query of one custom property, style(--name) or style(--name: value), asked of the parent or
// the nearest ancestor of the name, whose custom properties are already worked out; nothing for any
// other query.
std::optional<bool> Cascade::styleHolds(
    const RuleSet::ContainerQuery& query, int element, const Selectors::State& state, Selectors::Matcher& matcher)
{
    const CssValues condition = CssParser::trimmed(query.condition);
    if (condition.size() != 1 || !condition[0].isFunction(u"style"))
        return std::nullopt;
    const CssValues inside = CssParser::trimmed(condition[0].inside);
    if (inside.isEmpty() || !inside[0].token.is(CssToken::Ident) || !inside[0].token.text.startsWith(u"--"))
        return std::nullopt;
    const QString name = inside[0].token.text.toString();
    std::optional<CssValues> wanted;
    qsizetype at = 1;
    while (at < inside.size() && inside[at].token.is(CssToken::Whitespace))
        ++at;
    if (at < inside.size()) {
        if (!inside[at].token.is(CssToken::Colon))
            return std::nullopt;
        wanted = CssParser::trimmed(inside.mid(at + 1));
    }
    int container = m_tree.at(element).parent;
    while (container >= 0 && !query.name.isEmpty() && !box(container, state, matcher).names.contains(query.name))
        container = m_tree.at(container).parent;
    const auto known = m_known->constFind(container);
    if (container < 0 || known == m_known->constEnd())
        return std::nullopt;
    const std::optional<CssValues> value = known->computed.customs.value(name);
    if (!wanted)
        return value.has_value();
    return value && CssParser::text(CssParser::trimmed(*value)) == CssParser::text(*wanted);
}

// The element's box as its declarations give it: its width from its width and max-width (in pixels, or a percentage of
// its parent's), else its parent's, the body's less its margins, and the root's the window's. Padding, borders and
// other elements' margins are not read.
Cascade::Box Cascade::box(int element, const Selectors::State& state, Selectors::Matcher& matcher)
{
    if (!m_boxes)
        m_boxes = std::make_unique<QHash<int, Box>>();
    if (const auto known = m_boxes->constFind(element); known != m_boxes->constEnd())
        return *known;
    const int parent = m_tree.at(element).parent;
    const double outer = parent >= 0 ? box(parent, state, matcher).width : m_environment.width;
    const QList<Candidate> own = candidates(element, state, matcher);
    const auto winning = [&own](std::initializer_list<const char*> properties) -> const Candidate* {
        const Candidate* best = nullptr;
        for (const Candidate& candidate : own) {
            for (const char* property : properties) {
                if (candidate.property == QLatin1String(property) && (!best || candidate.rank() > best->rank()))
                    best = &candidate;
            }
        }
        return best;
    };
    const auto keyword = [](const CssValues& value) {
        const CssValues trimmed = CssParser::trimmed(value);
        return trimmed.size() == 1 && trimmed[0].token.is(CssToken::Ident) ? trimmed[0].token.text.toLower()
                                                                           : QString();
    };
    // A length in pixels, or a percentage of the parent's width; NaN for anything else.
    const auto length = [outer](const CssValues& value) {
        const CssValues trimmed = CssParser::trimmed(value);
        if (trimmed.size() != 1)
            return std::nan("");
        if (trimmed[0].token.is(CssToken::Percentage))
            return outer * trimmed[0].token.number / 100;
        return ComputedStyle::pixels(trimmed[0]).value_or(std::nan(""));
    };
    Box result;
    if (const Candidate* type = winning({"container", "container-type"})) {
        QString kind = keyword(type->value);
        if (type->property == QLatin1String("container")) {
            kind.clear();
            bool afterSlash = false;
            for (const CssValue& value : type->value) {
                if (value.token.isDelim(u'/'))
                    afterSlash = true;
                else if (afterSlash && value.token.is(CssToken::Ident))
                    kind = value.token.text.toLower();
            }
        }
        result.container = kind == QLatin1String("size") || kind == QLatin1String("inline-size");
        result.sized = kind == QLatin1String("size");
    }
    if (const Candidate* names = winning({"container", "container-name"})) {
        for (const CssValue& value : names->value) {
            if (value.token.isDelim(u'/'))
                break;
            if (value.token.is(CssToken::Ident) && !value.token.isIdent(u"none"))
                result.names << value.token.text.toString();
        }
    }
    const Candidate* width = winning({"width"});
    const QString widthKeyword = width ? keyword(width->value) : QString();
    if (width && widthKeyword != QLatin1String("auto") && widthKeyword != QLatin1String("initial")
        && widthKeyword != QLatin1String("unset")) {
        result.width = length(width->value);
    } else if (element == m_tree.body()) {
        // The browser's 8px body margin on each side, or the page's own.
        double margin = 8;
        if (const Candidate* left = winning({"margin-left"})) {
            const CssValues trimmed = CssParser::trimmed(left->value);
            margin = trimmed.size() == 1 ? ComputedStyle::pixels(trimmed[0]).value_or(std::nan("")) : std::nan("");
        }
        result.width = outer - 2 * margin;
    } else {
        result.width = outer;
    }
    if (const Candidate* most = winning({"max-width"}); most && keyword(most->value) != QLatin1String("none"))
        result.width = std::min(result.width, length(most->value));
    if (const Candidate* height = winning({"height"})) {
        const CssValues trimmed = CssParser::trimmed(height->value);
        if (trimmed.size() == 1 && !trimmed[0].token.is(CssToken::Percentage))
            result.height = ComputedStyle::pixels(trimmed[0]).value_or(std::nan(""));
    }
    m_boxes->insert(element, result);
    return result;
}

// The declarations of the element's style attribute that the cascade reads, read once for all the
// states and elements' readings that weigh them.
const QList<CssDeclaration>& Cascade::styleAttribute(int element)
{
    auto known = m_styles.constFind(element);
    if (known == m_styles.constEnd()) {
        QList<CssDeclaration> read;
        if (const std::optional<QString> style = m_tree.attribute(element, u"style")) {
            bool cut = false;
            read = CssParser::styleAttribute(
                *style, [](const QString& name) { return isRead(name); }, &cut, isValid);
            m_styleCut = m_styleCut || cut;
        }
        known = m_styles.insert(element, read);
    }
    return *known;
}

Cascade::Style Cascade::compute(int element,
    const Style* parent,
    const QList<Candidate>& own,
    const QList<Candidate>* forCustoms,
    const Selectors::State& state)
{
    Q_UNUSED(state);
    Style computed;
    // Each property's declarations, strongest first.
    QHash<QString, QList<const Candidate*>> byProperty;
    const auto gather = [&](const QList<Candidate>& list, bool customs) {
        // Declarations of a name share its string, and many in a row name the same property: the
        // list is looked up again only when the name changes.
        const QChar* lastName = nullptr;
        qsizetype lastSize = 0;
        QList<const Candidate*>* into = nullptr;
        for (const Candidate& candidate : list) {
            if (candidate.property.startsWith(QLatin1String("--")) != customs)
                continue;
            if (!into || candidate.property.constData() != lastName || candidate.property.size() != lastSize) {
                into = &byProperty[candidate.property];
                lastName = candidate.property.constData();
                lastSize = candidate.property.size();
            }
            into->append(&candidate);
        }
    };
    gather(forCustoms ? *forCustoms : own, true);
    gather(own, false);
    for (QList<const Candidate*>& list : byProperty) {
        std::stable_sort(
            list.begin(), list.end(), [](const Candidate* a, const Candidate* b) { return a->rank() > b->rank(); });
    }
    // The winning declaration, past revert (to the browser's own) and revert-layer (to the layer below).
    const auto winner = [&](const QString& property) -> const Candidate* {
        const auto found = byProperty.constFind(property);
        if (found == byProperty.constEnd())
            return nullptr;
        const QList<const Candidate*>& list = *found;
        for (qsizetype i = 0; i < list.size(); ++i) {
            const Candidate* candidate = list[i];
            if (candidate->value.size() == 1 && candidate->value[0].token.isIdent(u"revert")) {
                if (candidate->band == 0)
                    return nullptr;
                while (i + 1 < list.size() && list[i + 1]->band != 0)
                    ++i;
                continue;
            }
            if (candidate->value.size() == 1 && candidate->value[0].token.isIdent(u"revert-layer")) {
                while (i + 1 < list.size() && list[i + 1]->band == candidate->band
                    && list[i + 1]->layer == candidate->layer)
                    ++i;
                continue;
            }
            // The page decides a colour when it sets a property that paints one.
            static const QStringList painting{QStringLiteral("color"), QStringLiteral("background-color"),
                QStringLiteral("color-scheme"), QStringLiteral("opacity"), QStringLiteral("filter"),
                QStringLiteral("background-image")};
            if (candidate->fromPage && !m_authored && painting.contains(candidate->property))
                m_authored = true;
            return candidate;
        }
        return nullptr;
    };

    // Custom properties: inherited unless registered otherwise, then the element's own, in the order the
    // page declares them (never the hash's, which differs from run to run).
    QList<std::tuple<int, int, const Candidate*>> declared;
    for (auto it = byProperty.constBegin(); it != byProperty.constEnd(); ++it) {
        if (it.key().startsWith(QLatin1String("--"))) {
            if (const Candidate* candidate = winner(it.key()))
                declared.append({candidate->order, candidate->position, candidate});
        }
    }
    std::sort(declared.begin(), declared.end(), [](const auto& a, const auto& b) {
        return std::tie(std::get<0>(a), std::get<1>(a), std::get<2>(a)->property)
            < std::tie(std::get<0>(b), std::get<1>(b), std::get<2>(b)->property);
    });
    QList<CustomProperties::Declared> own_customs;
    for (const auto& [order, position, candidate] : std::as_const(declared))
        own_customs.append({candidate->property, &candidate->value});
    CustomProperties customs(parent ? &parent->customs : nullptr, m_rules.registered(), &m_budget);
    customs.resolve(own_customs);
    computed.customs = customs.values();

    // A property's value with var() resolved; an empty list when var() made it invalid.
    const auto specified = [&](const Candidate* candidate) -> CssValues {
        if (!holdsVar(candidate->value))
            return candidate->value;
        const std::optional<CssValues> value = customs.substituted(candidate->value);
        if (!value)
            return {};
        CssValues trimmed = CssParser::trimmed(*value);
        if (!candidate->shorthandOf.isEmpty()) {
            if (isWideKeyword(trimmed))
                return trimmed;
            const auto values = BoxProperties::longhands(candidate->shorthandOf, trimmed);
            for (const auto& [name, longhand] : values.value_or(QList<std::pair<QString, CssValues>>{})) {
                if (name == candidate->property)
                    return longhand;
            }
            return {};
        }
        // What var() gives a margin is checked as a lone tag checks it: what it cannot measure is invalid.
        const bool margin = candidate->property.startsWith(u'm');
        if (candidate->shorthand && !isWideKeyword(trimmed) && margin) {
            const auto sides = Shorthands::marginSides(trimmed, ComputedStyle::isMarginLength);
            return sides ? (candidate->property == QLatin1String("margin-top") ? sides->first : sides->second)
                         : CssValues{};
        }
        if (margin && !isWideKeyword(trimmed)) {
            const QList<CssValues> one = words(trimmed, 1);
            return one.size() == 1 && ComputedStyle::isMarginLength(one[0][0]) ? one[0] : CssValues{};
        }
        if (candidate->shorthand && !isWideKeyword(trimmed))
            return backgroundColour(trimmed).value_or(CssValues{});
        return trimmed;
    };

    // The properties in the order they compute, each from its parent's value or its initial one.
    const ComputedStyle::Context context{parent, m_environment.dark, m_tree.metaColourScheme()};
    const bool body = element == m_tree.body();
    for (const ComputedStyle::Property& property : ComputedStyle::properties()) {
        if (property.bodyOnly && !body)
            continue;
        if (property.inherited && parent)
            property.inherit(computed, *parent);
        else if (property.initial)
            property.initial(computed, context);
        if (const Candidate* candidate = winner(property.key))
            property.compute(computed, specified(candidate), context);
        if (property.settle)
            property.settle(computed, context);
    }
    // Where the colours came from: the winning declaration, or for an inherited colour the parent's.
    const auto from = [&](const QString& property, int& source, int& line, bool inherited) {
        const Candidate* candidate = winner(property);
        const bool takesParent = !candidate || isWideKeyword(candidate->value);
        if (!takesParent) {
            source = candidate->source;
            line = candidate->line;
        } else if (inherited && parent) {
            source = parent->colourFrom;
            line = parent->colourLine;
        }
    };
    from(QStringLiteral("color"), computed.colourFrom, computed.colourLine, true);
    from(QStringLiteral("background-color"), computed.backgroundFrom, computed.backgroundLine, false);
    m_darkNamed = m_darkNamed || ComputedStyle::namedSchemes(computed, context).contains(QLatin1String("dark"));
    return computed;
}

QList<Cascade::Style> Cascade::stylesDownTo(int element, const Selectors::State& state)
{
    QList<int> chain;
    for (int up = element; up >= 0; up = m_tree.at(up).parent)
        chain.prepend(up);
    const Selectors::State plain{state.link, false, state.pressed};
    Selectors::Matcher matcher(m_tree, plain, m_budget);
    std::optional<Selectors::Matcher> visitedMatcher;
    if (state.visited)
        visitedMatcher.emplace(m_tree, state, m_budget);
    QList<Style> result;
    std::optional<Style> parent;
    int parentSerial = 0;
    for (const int at : chain) {
        const QList<Candidate> own = candidates(at, plain, matcher);
        Known& known = (*m_known)[at];
        if (known.serial == 0 || known.parentSerial != parentSerial || !sameDeclarations(known.own, own)) {
            known
                = Known{own, compute(at, parent ? &*parent : nullptr, own, nullptr, plain), ++m_workings, parentSerial};
        }
        parentSerial = known.serial;
        Style computed = known.computed;
        if (state.visited && at == state.link) {
            // A visited link takes its colours from the rules for :visited, everything else (custom
            // properties included) from the unvisited link, and keeps the unvisited colour's alpha.
            const QList<Candidate> visited = candidates(at, state, *visitedMatcher);
            Style shown = compute(at, parent ? &*parent : nullptr, visited, &own, state);
            computed.colour
                = argb(redOf(shown.colour), greenOf(shown.colour), blueOf(shown.colour), alphaOf(computed.colour));
            computed.background = argb(redOf(shown.background), greenOf(shown.background), blueOf(shown.background),
                alphaOf(computed.background));
            computed.unusable = shown.unusable;
        }
        result.append(computed);
        parent = std::move(computed);
    }
    addNotes();
    return result;
}

QList<Cascade::Style> Cascade::allStyles()
{
    const Selectors::State state{m_tree.link(), false, false};
    Selectors::Matcher matcher(m_tree, state, m_budget);
    QList<Style> result;
    const qsizetype count = m_tree.elements().size();
    result.reserve(count);
    // In document order, each parent before its children. An element whose declarations are those of
    // an element read before, under a parent of the same style, takes that element's style, as a
    // browser shares it: a page is mostly runs of alike paragraphs, items, cells and spans. And a
    // child with the tag and attributes of an earlier sibling has its declarations too, without
    // matching a selector, when no rule tried for that sibling asked for its place or contents, and
    // neither is on the way to the link.
    struct Alike {
        int element;
        QList<Candidate> own;
    };
    QHash<int, QList<Alike>> alike; // by parent: children whose declarations a sibling alike shares
    constexpr qsizetype AlikeKept = 8; // the latest distinct ones, per parent
    QList<int> styleOf(count, -1); // by element: which style it has, the same number for a shared one
    int styles = 0;
    QHash<quint64, QList<Alike>> computed; // by the parent's style and the declarations' sources
    QList<bool> onLinkPath(count, false);
    for (int up = state.link; up >= 0; up = m_tree.at(up).parent)
        onLinkPath[up] = true;
    const int body = m_tree.body();
    const auto sharable = [&](int at) {
        const PageTree::Element& e = m_tree.at(at);
        // A closed details shows its first summary alone (BoxProperties::browserDeclarations).
        return !onLinkPath[at] && at != body && e.parent >= 0 && m_tree.at(e.parent).tag != QLatin1String("details");
    };
    const auto sameShape = [&](int a, int b) {
        const PageTree::Element& x = m_tree.at(a);
        const PageTree::Element& y = m_tree.at(b);
        return x.html == y.html && x.tag == y.tag && x.attributes == y.attributes;
    };
    // A rule's declaration is the same wherever it applies; a style attribute's or a presentational
    // attribute's differ by their values, which the key holds too.
    const auto key = [](int parentStyle, const QList<Candidate>& own) {
        quint64 h = quint64(parentStyle) * 0x9E3779B97F4A7C15ull + quint64(own.size());
        const auto mix = [&h](quint64 part) { h = (h ^ part) * 0x100000001B3ull; };
        for (const Candidate& c : own) {
            mix(quint64(quint32(c.source)) << 20 ^ quint64(c.position) << 8 ^ quint64(c.property.size()));
            if (c.source < 0) {
                for (const CssValue& value : c.value)
                    mix(qHash(value.token.text.toString()) ^ quint64(value.token.type) << 56);
            }
        }
        return h;
    };
    constexpr qsizetype ComputedKept = 8; // per key, the latest
    for (int at = 0; at < count; ++at) {
        const int parent = m_tree.at(at).parent;
        if (m_budget.exhausted()) {
            result.append(parent >= 0 ? result[parent] : Style{});
            styleOf[at] = parent >= 0 ? styleOf[parent] : styles++;
            continue;
        }
        const bool share = sharable(at);
        QList<Alike>* siblings = share ? &alike[parent] : nullptr;
        const Alike* same = nullptr;
        for (qsizetype i = siblings ? siblings->size() - 1 : -1; i >= 0 && !same; --i) {
            if (sameShape((*siblings)[i].element, at))
                same = &(*siblings)[i];
        }
        if (same) {
            result.append(result[same->element]);
            styleOf[at] = styleOf[same->element];
            continue;
        }
        bool positional = false;
        QList<Candidate> own = candidates(at, state, matcher, &positional);
        const int parentStyle = parent >= 0 ? styleOf[parent] : -1;
        const quint64 sources = key(parentStyle, own);
        const Alike* done = nullptr;
        QList<Alike>* bucket = at != body ? &computed[sources] : nullptr;
        for (qsizetype i = 0; bucket && i < bucket->size() && !done; ++i) {
            const int other = (*bucket)[i].element;
            const int otherParent = m_tree.at(other).parent;
            if ((otherParent >= 0 ? styleOf[otherParent] : -1) == parentStyle
                && sameDeclarations((*bucket)[i].own, own))
                done = &(*bucket)[i];
        }
        if (done) {
            result.append(result[done->element]);
            styleOf[at] = styleOf[done->element];
        } else {
            result.append(compute(at, parent >= 0 ? &result[parent] : nullptr, own, nullptr, state));
            styleOf[at] = styles++;
            if (bucket) {
                if (bucket->size() == ComputedKept)
                    bucket->removeFirst();
                bucket->append({at, own});
            }
        }
        if (share && !positional) {
            if (siblings->size() == AlikeKept)
                siblings->removeFirst();
            siblings->append({at, std::move(own)});
        }
    }
    addNotes();
    return result;
}

QList<bool> Cascade::generatedBackgrounds()
{
    const qsizetype count = m_tree.elements().size();
    QList<bool> result(count, false);
    const auto paints = [](const CssDeclaration& declaration) {
        if (declaration.name != QLatin1String("background") && declaration.name != QLatin1String("background-color")
            && declaration.name != QLatin1String("background-image"))
            return false;
        static const QStringList nothing{QStringLiteral("transparent"), QStringLiteral("none"),
            QStringLiteral("initial"), QStringLiteral("unset"), QStringLiteral("revert"),
            QStringLiteral("revert-layer"), QStringLiteral("inherit")};
        return std::any_of(declaration.value.begin(), declaration.value.end(), [](const CssValue& value) {
            return !value.token.is(CssToken::Whitespace)
                && !(value.token.is(CssToken::Ident)
                    && nothing.contains(value.token.text.toString(), Qt::CaseInsensitive));
        });
    };
    // The rules that give such a box a background, with what an element must have to be matched by
    // one, which most elements lack.
    struct Painting {
        const RuleSet::Rule* rule;
        std::optional<Selectors::Keys> keys;
    };
    QList<Painting> painting;
    for (int index = 0;; ++index) {
        const RuleSet::Rule* rule = m_rules.ruleAt(index);
        if (!rule)
            break;
        if (rule->selector->generates() && std::any_of(rule->declarations.begin(), rule->declarations.end(), paints))
            painting.append({rule, rule->selector->keys()});
    }
    if (painting.isEmpty())
        return result;
    const Selectors::State state{m_tree.link(), false, false};
    Selectors::Matcher matcher(m_tree, state, m_budget);
    for (int at = 0; at < count && !m_budget.exhausted(); ++at) {
        const PageTree::Element& e = m_tree.at(at);
        result[at] = std::any_of(painting.begin(), painting.end(), [&](const Painting& one) {
            if (one.keys && !one.keys->mayMatch(e, at == m_tree.root()))
                return false;
            const Selectors& selector = *one.rule->selector;
            if (!one.rule->scope)
                return selector.selectsGenerated(at, matcher);
            return scopeRoots(*one.rule->scope, at, matcher,
                [&](int root, int) { return selector.selectsGenerated(at, matcher, root); });
        });
    }
    return result;
}

void Cascade::addNotes()
{
    if (m_budget.exhausted())
        m_notes.add(ReadingNotes::Reason::TooComplex, note("The page is too complex to read to the end."));
    const QString leftOut = note("The page's style sheets hold more than Hueloom reads (%L1 rules, %L2 selectors, "
                                 "%L3 tokens of selectors, %L4 tokens of a sheet, %L5 declarations): the rest was "
                                 "left out.")
                                .arg(RuleSet::MaximumRules)
                                .arg(RuleSet::MaximumSelectors)
                                .arg(RuleSet::MaximumSelectorTokens)
                                .arg(CssParser::MaximumTokens)
                                .arg(RuleSet::MaximumDeclarations);
    if (m_rules.leftOut())
        m_notes.add(ReadingNotes::Reason::TooLarge, leftOut);
    if (m_styleCut)
        m_notes.add(ReadingNotes::Reason::TooLarge, TagStyle::leftOutNote());
}
