#pragma once

#include "WorkBudget.h"
#include "css/CssParser.h"
#include "html/PageTree.h"

#include <QHash>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>

// A selector list as Selectors Level 4 reads it, matched against a page's tree as a browser matches
// it: type, universal, class, id and attribute selectors (every operator, the i and s flags), the
// combinators, :is(), :where(), :not(), :has(), the structural pseudo-classes, the link and user-action
// pseudo-classes, and & for the rule a nested rule sits in. A list a browser finds invalid is nothing,
// which drops its rule; a pseudo-element never matches an element.
class Selectors {
public:
    using Specificity = std::array<int, 3>; // ids; classes, attributes and pseudo-classes; types

    // Which element is the link, and in which state: a browser shows it unvisited, visited, or
    // pressed (hovered, active and focused, its ancestors hovered and active).
    struct State {
        int link = -1;
        bool visited = false;
        bool pressed = false;
    };

    // Matching state shared by one element's rules: the results worked out so far, and the budget.
    class Matcher {
    public:
        Matcher(const PageTree& tree, State state, WorkBudget& budget);

        // A type, class or id as a key of the ancestor filter.
        enum class KeyKind { Type, Class, Id };
        static quint64 ancestorKey(KeyKind kind, size_t hash);

    private:
        friend class Selectors;
        // Whether the element's ancestors may hold every key; false only when one of them surely
        // holds none, as a Bloom filter of each element's ancestors tells at once.
        bool ancestorsMayHold(const QList<quint64>& keys, int element) const;

        using Filter = std::array<quint64, 8>;
        const PageTree& m_tree;
        State m_state;
        WorkBudget& m_budget;
        QList<bool> m_onLinkPath; // by element: the link or one of its ancestors
        QList<Filter> m_ancestors; // by element: the keys of its ancestors
        QHash<std::pair<const void*, std::pair<int, int>>, bool> m_known;
    };

    // `parent` is the list a nested rule's & stands for; a nested rule's selectors are relative to it.
    // `scoped` reads the selectors of an @scope block, relative to :scope.
    static std::optional<Selectors> parse(
        const CssValues& prelude, const Selectors* parent = nullptr, bool scoped = false);

    // The specificity of the most specific selector that matches the element; `scope` is the element
    // :scope stands for (the root when there is none).
    std::optional<Specificity> match(int element, Matcher& matcher, int scope = -1) const;
    // Whether any selector matches, for @scope's roots and limits.
    bool matches(int element, Matcher& matcher, int scope = -1) const
    {
        return match(element, matcher, scope).has_value();
    }

    // What an element must have for some selector of the list to match it, for an index of rules:
    // one of these class names (by PageTree::classHash), ids, attribute names or types, or to be the
    // root, each the rightmost compound's of a selector or of every selector in an :is() of it. A
    // selector of a pseudo-element other than ::before and ::after matches no element and asks for
    // nothing. Nothing when some selector requires none of them.
    struct Keys {
        QList<size_t> classes;
        QStringList ids;
        QStringList attributes;
        QStringList types;
        bool root = false;

        bool mayMatch(const PageTree::Element& element, bool isRoot) const;
    };
    std::optional<Keys> keys() const;

    // Whether a selector's match may differ between two siblings of the same tag and attributes: one
    // asks for the element's place among its siblings (:nth-child() and its kin, + and ~), or its
    // contents (:empty, :has()).
    bool positional() const { return m_positional; }

    // Whether some selector selects a ::before or ::after box, and whether it selects the element's.
    bool generates() const { return m_generates; }
    bool selectsGenerated(int element, Matcher& matcher, int scope = -1) const;

    struct Simple;
    struct Compound;
    struct Complex;
    using List = QList<Complex>;

private:
    std::shared_ptr<const List> m_list;
    bool m_positional = false;
    bool m_generates = false;
};
