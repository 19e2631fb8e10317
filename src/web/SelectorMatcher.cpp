#include "SelectorParts.h"

#include <algorithm>
#include <cmath>

using namespace SelectorParts;
using namespace Qt::Literals::StringLiterals;

Selectors::Matcher::Matcher(const PageTree& tree, State state, WorkBudget& budget)
    : m_tree(tree)
    , m_state(state)
    , m_budget(budget)
    , m_onLinkPath(tree.elements().size(), false)
{
    for (int up = state.link; up >= 0; up = tree.at(up).parent)
        m_onLinkPath[up] = true;
    // Parents come before their children in the tree's order.
    const auto set = [](Filter& filter, quint64 key) {
        filter[(key >> 6) & 7] |= quint64(1) << (key & 63);
        filter[(key >> 15) & 7] |= quint64(1) << ((key >> 9) & 63);
    };
    const qsizetype count = tree.elements().size();
    m_ancestors.resize(count);
    for (qsizetype at = 0; at < count; ++at) {
        const int parent = tree.at(at).parent;
        if (parent < 0)
            continue;
        Filter filter = m_ancestors[parent];
        const PageTree::Element& p = tree.at(parent);
        set(filter, ancestorKey(KeyKind::Type, qHash(p.tag)));
        for (const size_t hash : p.classes)
            set(filter, ancestorKey(KeyKind::Class, hash));
        if (!p.id.isEmpty())
            set(filter, ancestorKey(KeyKind::Id, qHash(p.id)));
        m_ancestors[at] = filter;
    }
}

quint64 Selectors::Matcher::ancestorKey(KeyKind kind, size_t hash)
{
    return (quint64(hash) ^ (quint64(kind) << 61)) * 0x9E3779B97F4A7C15ull >> 46;
}

bool Selectors::Matcher::ancestorsMayHold(const QList<quint64>& keys, int element) const
{
    const Filter& filter = m_ancestors[element];
    return std::all_of(keys.begin(), keys.end(), [&](quint64 key) {
        return (filter[(key >> 6) & 7] >> (key & 63) & 1) && (filter[(key >> 15) & 7] >> ((key >> 9) & 63) & 1);
    });
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
    enum Outcome { Matched, FailsHere, FailsAllSiblings, FailsEverywhere };
    Outcome from(const Complex& complex, qsizetype index, int at, int scope, int anchor, int depth);
    bool compound(const Compound& compound, int element, int scope, int anchor, int depth);
    bool simple(const Simple& simple, int element, int scope, int anchor, int depth);
    bool has(const Simple& simple, int element, int scope, int depth);
    bool nth(const Simple& simple, int element, int scope, int depth);
    bool attribute(const Simple& simple, int element) const;
    bool isLink(int element) const;
    bool onlyOne(int element, bool ofType);

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
        // One of its white-space separated words.
        const auto space = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r'; };
        if (wanted.isEmpty() || std::any_of(wanted.begin(), wanted.end(), space))
            return false;
        for (qsizetype start = 0; start < value.size();) {
            qsizetype end = start;
            while (end < value.size() && !space(value[end]))
                ++end;
            if (end > start && QStringView(value).mid(start, end - start).compare(wanted, cs) == 0)
                return true;
            start = end + 1;
        }
        return false;
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
    // By length first: a page's selectors ask these for every element.
    const QString& name = simple.name;
    const auto is = [&](QLatin1StringView wanted) { return name == wanted; };
    switch (name.size()) {
    case 4:
        if (is("root"_L1))
            return element == m_tree.root();
        if (is("link"_L1))
            return isLink(element) && !(element == m_state.link && m_state.visited);
        break;
    case 5:
        if (is("scope"_L1))
            return element == (scope >= 0 ? scope : m_tree.root());
        if (is("hover"_L1))
            return m_state.pressed && m_onLinkPath[element];
        if (is("focus"_L1))
            return m_state.pressed && element == m_state.link;
        if (is("empty"_L1))
            return !e.hasContent;
        break;
    case 6:
        if (is("active"_L1))
            return m_state.pressed && m_onLinkPath[element];
        break;
    case 7:
        if (is("visited"_L1))
            return element == m_state.link && m_state.visited;
        return is("defined"_L1) || is("-always"_L1);
    case 8:
        if (is("any-link"_L1))
            return isLink(element);
        break;
    case 9:
        return is("read-only"_L1);
    case 10:
        if (is("only-child"_L1))
            return onlyOne(element, false);
        break;
    case 12:
        if (is("-scope-where"_L1))
            return element == (scope >= 0 ? scope : m_tree.root());
        if (is("focus-within"_L1))
            return m_state.pressed && m_onLinkPath[element];
        if (is("only-of-type"_L1))
            return onlyOne(element, true);
        break;
    default:
        break;
    }
    return false;
}

// :only-child, or with `ofType` :only-of-type.
bool SelectorMatching::onlyOne(int element, bool ofType)
{
    const PageTree::Element& e = m_tree.at(element);
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
    return from(complex, complex.compounds.size() - 1, element, scope, anchor, depth) == Matched;
}

// Right to left, as a browser matches: the compound at `index` against `at`, then the compounds before
// it against each element its combinator allows, nearest first. A failure says how far it reaches, so
// that no element is tried twice for the same compound: when the compounds before a descendant
// combinator fail for every ancestor of one element, they fail for every ancestor of its ancestors
// too, and likewise for the siblings before a sibling combinator.
SelectorMatching::Outcome SelectorMatching::from(
    const Complex& complex, qsizetype index, int at, int scope, int anchor, int depth)
{
    const QList<Compound>& compounds = complex.compounds;
    if (!compound(compounds[index], at, scope, anchor, depth))
        return FailsHere;
    if (index == 0)
        return Matched;
    if (!m_budget.spend(1))
        return FailsEverywhere;
    const PageTree::Element& e = m_tree.at(at);
    if (index == 1 && anchor >= 0 && compounds[0].simples.size() == 1
        && compounds[0].simples[0].kind == Simple::Anchor) {
        // The element a relative selector hangs from: its relation to `at` is known directly.
        const PageTree::Element& a = m_tree.at(anchor);
        switch (compounds[1].combinator) {
        case '>':
            return e.parent == anchor ? Matched : FailsHere;
        case '+':
            return e.previous == anchor ? Matched : FailsHere;
        case '~':
            return e.parent == a.parent && anchor < at ? Matched : FailsHere;
        default:
            return anchor < at && at < a.end ? Matched : FailsHere;
        }
    }
    switch (compounds[index].combinator) {
    case '>':
        return e.parent >= 0 ? from(complex, index - 1, e.parent, scope, anchor, depth) : FailsEverywhere;
    case '+':
        return e.previous >= 0 ? from(complex, index - 1, e.previous, scope, anchor, depth) : FailsAllSiblings;
    case '~':
        for (int s = e.previous; s >= 0; s = m_tree.at(s).previous) {
            const Outcome outcome = from(complex, index - 1, s, scope, anchor, depth);
            if (outcome != FailsHere)
                return outcome;
        }
        return FailsAllSiblings;
    default:
        for (int up = e.parent; up >= 0; up = m_tree.at(up).parent) {
            const Outcome outcome = from(complex, index - 1, up, scope, anchor, depth);
            if (outcome == Matched || outcome == FailsEverywhere)
                return outcome;
        }
        return FailsEverywhere;
    }
}

namespace {

// Whether a list's result is worth keeping for the element: it looks past the element itself. A
// list of compounds alone (:is(.a, .b), :not([hidden])) is quicker matched again than looked up.
bool looksAround(const List& list)
{
    return std::any_of(list.begin(), list.end(), [](const Complex& complex) {
        return complex.compounds.size() > 1
            || std::any_of(complex.compounds[0].simples.begin(), complex.compounds[0].simples.end(),
                [](const Simple& simple) { return simple.arguments != nullptr; });
    });
}

} // namespace

bool SelectorMatching::list(const List& list, int element, int scope, int anchor, int depth)
{
    if (anchor < 0 && list.size() > 0 && looksAround(list)) {
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

bool Selectors::selectsGenerated(int element, Matcher& matcher, int scope) const
{
    SelectorMatching matching(matcher.m_tree, matcher.m_state, matcher.m_budget, matcher.m_onLinkPath, matcher.m_known);
    return std::any_of(m_list->begin(), m_list->end(), [&](const Complex& complex) {
        return complex.host && matcher.ancestorsMayHold(complex.ancestorKeys, element)
            && matching.complex(*complex.host, element, scope, -1, 0);
    });
}

std::optional<Selectors::Specificity> Selectors::match(int element, Matcher& matcher, int scope) const
{
    SelectorMatching matching(matcher.m_tree, matcher.m_state, matcher.m_budget, matcher.m_onLinkPath, matcher.m_known);
    std::optional<Specificity> best;
    for (const Complex& complex : *m_list) {
        if (best && complex.specificity <= *best)
            continue;
        if (!matcher.ancestorsMayHold(complex.ancestorKeys, element))
            continue;
        if (matching.complex(complex, element, scope, -1, 0))
            best = complex.specificity;
    }
    return best;
}
