#pragma once

#include "ComputedStyle.h"
#include "ReadingNotes.h"
#include "RuleSet.h"
#include "Selectors.h"
#include "SheetLoader.h"
#include "WorkBudget.h"
#include "colour/Rgb.h"
#include "css/CssParser.h"
#include "css/MediaQueries.h"
#include "html/PageTree.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

// The cascade of CSS Cascade 5 over a page's tree, for the properties that colour a page: color,
// background-color (and the background shorthand), opacity, color-scheme and the custom properties, with
// inheritance and var() worked out element by element.
//
// The style sheets' rules are a RuleSet; the style attributes and the body's presentational attributes
// are read per element; each element's values compute as ComputedStyle says. Declarations rank by origin and
// importance, then layer (unlayered last for normal declarations and first for important ones), then scope proximity,
// specificity and order.
class Cascade {
public:
    // What an element shows: its colours, colour scheme, margins and custom properties.
    using Style = ComputedStyle;

    using ParsedSheets = RuleSet::ParsedSheets;
    // The most of a page's style rules and sheets that are read: see RuleSet.
    static constexpr qsizetype MaximumRules = RuleSet::MaximumRules;
    static constexpr qsizetype MaximumSelectors = RuleSet::MaximumSelectors;
    static constexpr qsizetype MaximumSelectorTokens = RuleSet::MaximumSelectorTokens;
    static constexpr qsizetype MaximumDeclarations = RuleSet::MaximumDeclarations;
    static constexpr qsizetype MaximumSheets = RuleSet::MaximumSheets;
    static constexpr qint64 MaximumSheetBytes = RuleSet::MaximumSheetBytes;

    Cascade(const PageTree& tree,
        MediaQueries::Environment environment,
        WorkBudget& budget,
        ParsedSheets* parsed = nullptr);
    ~Cascade();
    Cascade(const Cascade&) = delete;
    Cascade& operator=(const Cascade&) = delete;

    // `name` is what the sheet's @import rules are relative to; `loader` reads them (none: not followed).
    void addStyleSheet(
        QStringView css, const QString& name, QStringView media, const SheetLoader& loader, int firstLine = 1);
    // A <link rel="stylesheet">: read through the loader when there is one.
    void addLinkedSheet(const QString& href, const QString& from, QStringView media, const SheetLoader& loader);
    // The style attributes of the elements and the body's presentational attributes.
    void addElementStyles();

    // The styles of the elements from the root down to `element`, in the state given.
    QList<Style> stylesDownTo(int element, const Selectors::State& state);
    // The style of every element, unvisited and not pressed, in document order.
    QList<Style> allStyles();
    // By element: whether a rule gives its ::before or ::after box a background, a colour or a
    // picture, which may lie behind its text.
    QList<bool> generatedBackgrounds();

    // Where a declaration came from (ComputedStyle::colourFrom): a rule by its index, or one of these.
    enum Source { FromBrowser = -1, FromStyleAttribute = -2, FromAttribute = -3 };
    // The rule a source names, for the file, line and selector of its declarations; none for the others.
    const RuleSet::Rule* ruleOf(int source) const { return source >= 0 ? &m_rules.rule(source) : nullptr; }

    // Notes for the user: style sheets not read, a page too complex to finish; each of them says why
    // the reading stopped short of all it was given.
    const ReadingNotes& notes() const { return m_notes; }
    // Whether the page's own declarations decided any colour or colour scheme read so far.
    bool authored() const { return m_authored; }
    // Whether the colour scheme asked for could change anything read so far: a query asked for it,
    // or an element's color-scheme names dark.
    bool schemeSensitive() const { return m_environment.schemeAsked || m_darkNamed; }

private:
    struct Candidate;
    struct Known;
    struct Box;

    // `positional`, when given, is set when some rule tried asks for the element's place among its
    // siblings or its contents (Selectors::positional), so that a sibling alike need not have the same.
    // Calls `visit` with each scoping root of `scope` the element is in, nearest first, outside every
    // limit below it, and how many steps up it is, until `visit` says it is done; whether it did.
    bool scopeRoots(const RuleSet::Scope& scope,
        int element,
        Selectors::Matcher& matcher,
        const std::function<bool(int root, int hops)>& visit);
    QList<Candidate> candidates(
        int element, const Selectors::State& state, Selectors::Matcher& matcher, bool* positional = nullptr);
    void addNotes();
    const QList<CssDeclaration>& styleAttribute(int element);
    Style compute(int element,
        const Style* parent,
        const QList<Candidate>& own,
        const QList<Candidate>* forCustoms,
        const Selectors::State& state);

    // Whether an element's containers answer a rule's @container queries, and what an element's box
    // gives them: whether it is a container, its names and its size as far as its declarations tell.
    bool containersHold(const RuleSet::ContainerQueries& queries,
        int element,
        const Selectors::State& state,
        Selectors::Matcher& matcher);
    Box box(int element, const Selectors::State& state, Selectors::Matcher& matcher);
    std::optional<bool> styleHolds(
        const RuleSet::ContainerQuery& query, int element, const Selectors::State& state, Selectors::Matcher& matcher);

    const PageTree& m_tree;
    MediaQueries::Environment m_environment;
    WorkBudget& m_budget;
    ReadingNotes m_notes;
    RuleSet m_rules;
    std::unique_ptr<QHash<int, Known>> m_known; // by element: its style as last worked out
    int m_workings = 0; // styles worked out so far
    struct Expansion;
    static QList<Expansion> expand(const CssDeclaration& declaration);
    QHash<const CssDeclaration*, QList<Expansion>> m_expansions; // of the rules' declarations, as read
    QHash<int, QList<CssDeclaration>> m_styles; // by element: its style attribute's, as read
    bool m_styleCut = false; // a style attribute with more tokens than are read
    bool m_authored = false;
    bool m_darkNamed = false;
    std::unique_ptr<QHash<int, Box>> m_boxes; // by element, as worked out for container queries
};
