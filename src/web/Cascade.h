#pragma once

#include "ComputedStyle.h"
#include "PageTree.h"
#include "ReadingNotes.h"
#include "Selectors.h"
#include "SheetLoader.h"
#include "WorkBudget.h"
#include "colour/Rgb.h"
#include "css/CssParser.h"
#include "css/MediaQueries.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <memory>
#include <optional>

// The cascade of CSS Cascade 5 over a page's tree, for the properties that colour a page: color,
// background-color (and the background shorthand), opacity, color-scheme and the custom properties, with
// inheritance and var() worked out element by element.
//
// Style sheets come in document order. Rules may sit in @media, @supports, @layer (named, anonymous,
// nested, and the statement that orders layers), @scope and @import, and nest inside one another.
// Declarations rank by origin and importance, then layer (unlayered last for normal declarations and
// first for important ones), then scope proximity, specificity and order.
class Cascade {
public:
    // What an element shows: its colours, colour scheme, margins and custom properties.
    using Style = ComputedStyle;

    // Style sheets already parsed, for readings of the same page to share: the light and the dark
    // reading parse each sheet once. The sheets' values by their text; what their style rules'
    // selectors and declarations read as, by where these sit in those values. Used by one reading
    // at a time.
    struct ParsedSheets {
        QHash<QString, std::shared_ptr<const CssValues>> sheets;
        QSet<const CssValues*> cut; // those of them cut at CssParser::MaximumTokens
        // By the prelude's first value, and the rule it nests in with whether it is scoped in the low bit;
        // none for a selector list that is invalid.
        QHash<std::pair<const CssValue*, quintptr>, std::shared_ptr<const Selectors>> selectors;
        // Those the cascade reads, by the first value of their run.
        QHash<const CssValue*, QList<CssDeclaration>> declarations;
        // The style sheet files read, by their path: each file is read once for all the readings.
        QHash<QString, LoadedSheet> files;
    };

    // The most style rules with something the cascade reads, and selectors in them (and tokens in
    // those), that are read: far past any real style sheet (of the 77 real ones tested, UIkit's has the
    // most, 679 rules and 3,151 selectors), but a text of short rules one after another could hold
    // hundreds of thousands within the size limit, each weighed at every element. The rest is left
    // out, and a note says so.
    static constexpr qsizetype MaximumRules = 25'000;
    static constexpr qsizetype MaximumSelectors = 200'000;
    static constexpr qsizetype MaximumSelectorTokens = 1'000'000; // in all the selectors read
    static constexpr qsizetype MaximumDeclarations = 200'000; // read, in all the rules
    // The most style sheets a reading applies, linked or imported, each time it is, and the most of
    // their text: far past any real site (a page with a hundred is rare, and real sites' style sheets
    // come to a few megabytes in all), but a page of links, or sheets that import each other several
    // times over, could ask for millions. The rest is left out, and a note says so.
    static constexpr qsizetype MaximumSheets = 1'000;
    static constexpr qint64 MaximumSheetBytes = qint64(32) << 20;

    Cascade(const PageTree& tree,
        MediaQueries::Environment environment,
        WorkBudget& budget,
        ParsedSheets* parsed = nullptr);
    ~Cascade();
    Cascade(const Cascade&) = delete;
    Cascade& operator=(const Cascade&) = delete;

    // `name` is what the sheet's @import rules are relative to; `loader` reads them (none: not followed).
    void addStyleSheet(QStringView css, const QString& name, QStringView media, const SheetLoader& loader);
    // A <link rel="stylesheet">: read through the loader when there is one.
    void addLinkedSheet(const QString& href, const QString& from, QStringView media, const SheetLoader& loader);
    // The style attributes of the elements and the body's presentational attributes.
    void addElementStyles();

    // The styles of the elements from the root down to `element`, in the state given.
    QList<Style> stylesDownTo(int element, const Selectors::State& state);

    // Notes for the user: style sheets not read, a page too complex to finish; each of them says why
    // the reading stopped short of all it was given.
    const ReadingNotes& notes() const { return m_notes; }
    // Whether the page's own declarations decided any colour or colour scheme read so far.
    bool authored() const { return m_authored; }
    // Whether the colour scheme asked for could change anything read so far: a query asked for it,
    // or an element's color-scheme names dark.
    bool schemeSensitive() const { return m_environment.schemeAsked || m_darkNamed; }

private:
    struct Rule;
    struct Scope;
    struct Layer;
    struct Candidate;
    struct Context;
    struct Known;
    struct Index;
    struct SheetFile;

    std::shared_ptr<const CssValues> parse(QStringView css, bool* kept);
    void addContents(const CssValues& block, const Context& context, int depth);
    // The rule whose prelude is block[at, end) and whose {} block is block[end].
    void addStyleRule(const CssValues& block, qsizetype at, qsizetype end, const Context& context, int depth);
    // The declarations of block[at, end) that the cascade reads.
    QList<CssDeclaration> readDeclarations(const CssValues& block, qsizetype at, qsizetype end, const Context& context);
    void addAtRule(const CssRule& rule, const Context& context, int depth);
    void addImport(const CssValues& prelude, const Context& context, int depth);
    // The sheet `href` leads to from `from`, read through the context's loader, in the context given.
    void addSheetAt(const QString& href, const QString& from, Context context);
    SheetFile& sheetFile(const SheetLoader& loader, const QString& file);
    void addDeclarations(const QList<CssDeclaration>& declarations, const Context& context);
    int layerNamed(const QString& name, int parent);
    void rankLayers();
    QList<Candidate> candidates(int element, const Selectors::State& state, Selectors::Matcher& matcher);
    const QList<CssDeclaration>& styleAttribute(int element);
    Style compute(int element,
        const Style* parent,
        const QList<Candidate>& own,
        const QList<Candidate>* forCustoms,
        const Selectors::State& state);

    const PageTree& m_tree;
    MediaQueries::Environment m_environment;
    WorkBudget& m_budget;
    ParsedSheets* m_parsed;
    QList<Rule> m_rules;
    std::unique_ptr<QHash<int, Known>> m_known; // by element: its style as last worked out
    std::unique_ptr<Index> m_index; // of m_rules, by what their selectors require
    int m_workings = 0; // styles worked out so far
    QList<Layer> m_layers;
    QHash<QString, int> m_layerNames;
    QHash<QString, std::pair<bool, std::optional<CssValues>>> m_registered; // @property: inherits, initial
    ReadingNotes m_notes;
    QStringList m_loading; // the chain of sheets being read, against @import cycles
    std::unique_ptr<QHash<QString, SheetFile>> m_files; // the style sheet files read, by their path
    qsizetype m_sheets = 0; // linked and imported sheets applied, each time it is
    qint64 m_sheetBytes = 0; // of the sheets applied, each time it is, and of the files read
    qsizetype m_selectorCount = 0; // in the style rules read
    qsizetype m_selectorTokens = 0;
    qsizetype m_declarationCount = 0; // read, in the style rules
    bool m_leftOut = false; // rules past the most that are read, and so every rule after them
    bool m_sheetCut = false; // a style sheet with more tokens than are read
    QHash<int, QList<CssDeclaration>> m_styles; // by element: its style attribute's, as read
    bool m_styleCut = false; // a style attribute with more tokens than are read
    int m_order = 0;
    int m_anonymous = 0;
    bool m_ranked = false;
    bool m_authored = false;
    bool m_darkNamed = false;
};
