#pragma once

#include "CustomProperties.h"
#include "ReadingNotes.h"
#include "Selectors.h"
#include "SheetLoader.h"
#include "WorkBudget.h"
#include "css/CssParser.h"
#include "css/MediaQueries.h"
#include "html/PageTree.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <memory>

// A page's style rules as the cascade weighs them: its style sheets in document order, with the rules in
// @media, @supports, @layer (named, anonymous, nested, and the statement that orders layers), @scope
// and @import, nested in one another, each rule's declarations those the cascade reads. Rules are
// indexed by the class, id or type their selectors need, so that an element tries only the few that
// may match it.
class RuleSet {
public:
    struct Scope {
        std::optional<Selectors> root; // none: the page's root
        std::optional<Selectors> limit;
    };

    // An @container's condition: the container it asks of, by name (empty: the nearest), and the query.
    struct ContainerQuery {
        QString name;
        CssValues condition;
        bool style = false; // it asks style(), which is not answered
    };
    using ContainerQueries = QList<ContainerQuery>; // of the @container rules a rule is in, all to hold

    struct Rule {
        std::shared_ptr<const Selectors> selector;
        std::shared_ptr<const Scope> scope;
        QList<CssDeclaration> declarations;
        int layer = 0;
        int order = 0;
        QString sheet; // the file the rule is in, as the reading names it; empty for pasted text
        QString selectorText; // as written, whitespace collapsed
        int firstLine = 1; // the line of its file the sheet's text starts on
        std::shared_ptr<const ContainerQueries> containers; // none outside @container
    };

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

    // `environment` answers the media queries; what cannot be read is told in `notes`.
    RuleSet(const MediaQueries::Environment& environment,
        WorkBudget& budget,
        ReadingNotes& notes,
        ParsedSheets* parsed = nullptr);
    ~RuleSet();
    RuleSet(const RuleSet&) = delete;
    RuleSet& operator=(const RuleSet&) = delete;

    // `name` is what the sheet's @import rules are relative to; `loader` reads them (none: not followed).
    // `firstLine` is the line of the page the sheet's text starts on, for a <style>.
    void addStyleSheet(
        QStringView css, const QString& name, QStringView media, const SheetLoader& loader, int firstLine = 1);
    // A <link rel="stylesheet">: read through the loader when there is one.
    void addLinkedSheet(const QString& href, const QString& from, QStringView media, const SheetLoader& loader);

    // The rules that may match the element, by their index, in their order.
    QList<int> rulesFor(const PageTree::Element& element, bool isRoot);
    const Rule& rule(int index) const { return m_rules[index]; }
    // The rule at `index`; none past the last.
    const Rule* ruleAt(int index) const { return index < m_rules.size() ? &m_rules[index] : nullptr; }
    // Where a layer's normal declarations rank among the layers: the unlayered rules (layer 0) last.
    int layerRank(int layer);
    int layerCount() const { return int(m_layers.size()); }
    // @property: whether each registered custom property inherits, and its initial value.
    const CustomProperties::Registrations& registered() const { return m_registered; }
    // Whether rules or sheet text past the most that are read were left out.
    bool leftOut() const { return m_leftOut || m_sheetCut; }

private:
    struct Layer {
        int parent = -1;
        QList<int> children;
        int rank = 0;
        QString name;
    };
    struct Context;
    class Contents;
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

    const MediaQueries::Environment& m_environment;
    WorkBudget& m_budget;
    ReadingNotes& m_notes;
    ParsedSheets* m_parsed;
    QList<Rule> m_rules;
    std::unique_ptr<Index> m_index; // of m_rules, by what their selectors require
    QList<Layer> m_layers;
    QHash<QString, int> m_layerNames;
    CustomProperties::Registrations m_registered;
    QStringList m_loading; // the chain of sheets being read, against @import cycles
    std::unique_ptr<QHash<QString, SheetFile>> m_files; // the style sheet files read, by their path
    qsizetype m_sheets = 0; // linked and imported sheets applied, each time it is
    qint64 m_sheetBytes = 0; // of the sheets applied, each time it is, and of the files read
    qsizetype m_selectorCount = 0; // in the style rules read
    qsizetype m_selectorTokens = 0;
    qsizetype m_declarationCount = 0; // read, in the style rules
    bool m_leftOut = false; // rules past the most that are read, and so every rule after them
    bool m_sheetCut = false; // a style sheet with more tokens than are read
    int m_order = 0;
    int m_anonymous = 0;
    bool m_ranked = false;
};
