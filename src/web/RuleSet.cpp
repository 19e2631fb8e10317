#include "RuleSet.h"

#include "DeclaredValues.h"

#include <QCoreApplication>
#include <algorithm>
#include <functional>
#include <utility>

using namespace DeclaredValues;

namespace {

constexpr int MaximumDepth = 64; // of blocks inside one another; the parser keeps deeper ones flat
constexpr int MaximumImports = 16; // of @import inside one another

bool selectorParses(const CssValues& selectors)
{
    return Selectors::parse(selectors).has_value();
}

QString note(const char* text)
{
    return QCoreApplication::translate("Cascade", text);
}

// Whether a block of rules holds anything the reading reads: a style rule that declares a property it
// reads, a declaration of its own, or any at-rule (which, unlooked into, is taken to).
bool holdsRuleRead(const CssValues& block, bool nested)
{
    class Finder : public CssContentsHandler {
    public:
        bool found = false;
        void atRule(const CssRule&) override { found = true; }
        void qualifiedRule(const CssValues& block, qsizetype, qsizetype end) override
        {
            found = found || holdsAnythingRead(block[end].inside);
        }
        void declaration(const CssValues&, qsizetype, qsizetype) override { found = true; }
        bool readOn() const override { return !found; }
    } finder;
    CssParser::contents(block, nested, finder);
    return finder.found;
}

} // namespace

struct RuleSet::Context {
    std::shared_ptr<const Selectors> parent; // the style rule a nested rule sits in
    std::shared_ptr<const Scope> scope;
    int layer = 0;
    QString sheetName;
    QString selectorText; // the style rule's, for where a declaration came from
    int firstLine = 1; // of the sheet's text in its file
    const SheetLoader* loader = nullptr;
    int imports = 0;
    bool shared = false; // the sheet's values are kept in m_parsed, and so may what its rules read as
    std::shared_ptr<const ContainerQueries> containers; // of the @container rules it is in
};

// The rules by the class, id or type an element needs for their selector to match it, as a browser
// indexes them: of a style sheet's thousands of rules, only the few that may match are tried.
struct RuleSet::Index {
    qsizetype indexed = 0; // how many of the rules
    QList<int> anyElement; // rules a selector of which requires none of these
    QList<int> root;
    QHash<size_t, QList<int>> classes;
    QHash<QString, QList<int>> ids;
    QHash<QString, QList<int>> attributes;
    QHash<QString, QList<int>> types;

    void add(const Selectors& selector, int rule)
    {
        const std::optional<Selectors::Keys> keys = selector.keys();
        if (!keys) {
            anyElement.append(rule);
            return;
        }
        // A rule listed twice under one key (".a, .a b") is tried once all the same: see rulesFor().
        if (keys->root)
            root.append(rule);
        for (const size_t key : keys->classes)
            classes[key].append(rule);
        for (const QString& key : keys->ids)
            ids[key].append(rule);
        for (const QString& key : keys->attributes)
            attributes[key].append(rule);
        for (const QString& key : keys->types)
            types[key].append(rule);
    }

    // The rules that may match the element, in their order.
    QList<int> rulesFor(const PageTree::Element& e, bool isRoot) const
    {
        QList<int> result = anyElement;
        const auto take = [&result](const auto& hash, const auto& key) {
            const auto found = hash.constFind(key);
            if (found != hash.constEnd())
                result += *found;
        };
        if (isRoot)
            result += root;
        for (const size_t key : e.classes)
            take(classes, key);
        if (!e.id.isEmpty())
            take(ids, e.id);
        for (const auto& attribute : e.attributes)
            take(attributes, attribute.first);
        take(types, e.tag);
        std::sort(result.begin(), result.end());
        result.erase(std::unique(result.begin(), result.end()), result.end());
        return result;
    }
};

RuleSet::RuleSet(
    const MediaQueries::Environment& environment, WorkBudget& budget, ReadingNotes& notes, ParsedSheets* parsed)
    : m_environment(environment)
    , m_budget(budget)
    , m_notes(notes)
    , m_parsed(parsed)
    , m_index(std::make_unique<Index>())
{
    m_layers.append(Layer{});
}

RuleSet::~RuleSet() = default;

QList<int> RuleSet::rulesFor(const PageTree::Element& element, bool isRoot)
{
    for (; m_index->indexed < m_rules.size(); ++m_index->indexed)
        m_index->add(*m_rules[m_index->indexed].selector, int(m_index->indexed));
    return m_index->rulesFor(element, isRoot);
}

int RuleSet::layerRank(int layer)
{
    if (!m_ranked)
        rankLayers();
    return m_layers[layer].rank;
}

int RuleSet::layerNamed(const QString& name, int parent)
{
    const QString full = parent > 0 ? m_layers[parent].name + u'.' + name : name;
    if (const auto known = m_layerNames.constFind(full); known != m_layerNames.constEnd())
        return *known;
    const int index = int(m_layers.size());
    m_layers.append(Layer{parent, {}, 0, full});
    m_layers[parent].children.append(index);
    m_layerNames.insert(full, index);
    return index;
}

void RuleSet::rankLayers()
{
    // After its sublayers, in the order they were first named; the unlayered rules (layer 0) come last.
    int rank = 0;
    QList<std::pair<int, qsizetype>> stack{{0, 0}};
    while (!stack.isEmpty()) {
        auto& [layer, child] = stack.last();
        if (child < m_layers[layer].children.size()) {
            const int next = m_layers[layer].children[child++];
            stack.append({next, 0});
        } else {
            m_layers[layer].rank = rank++;
            stack.removeLast();
        }
    }
    m_ranked = true;
}

QList<CssDeclaration> RuleSet::readDeclarations(
    const CssValues& block, qsizetype at, qsizetype end, const Context& context)
{
    const auto read = [&] {
        QList<CssDeclaration> result;
        const auto take = [&block](const QString& name, qsizetype first, qsizetype last) {
            return isRead(name) ? readValue(name, block, first, last) : std::nullopt;
        };
        for (CssDeclaration& declaration : CssParser::declarations(block, at, end, take)) {
            if (isRead(declaration.name) && isValid(declaration.name, declaration.value))
                result.append(std::move(declaration));
        }
        return result;
    };
    if (!context.shared)
        return read();
    const CssValue* const where = &block[at];
    auto known = m_parsed->declarations.constFind(where);
    if (known == m_parsed->declarations.constEnd())
        known = m_parsed->declarations.insert(where, read());
    return *known;
}

// `declarations` are those the cascade reads.
void RuleSet::addDeclarations(const QList<CssDeclaration>& declarations, const Context& context)
{
    Rule rule;
    rule.declarations = declarations;
    if (rule.declarations.isEmpty() || !context.parent)
        return;
    // Of the declarations of one property and importance in a rule, the last wins wherever the rule
    // applies: the others are dropped, so that a long run of them is weighed once.
    if (rule.declarations.size() > 1) {
        QSet<std::pair<QString, bool>> later;
        QList<bool> kept(rule.declarations.size(), true);
        for (qsizetype i = rule.declarations.size() - 1; i >= 0; --i) {
            const std::pair key{rule.declarations[i].name, rule.declarations[i].important};
            if (later.contains(key))
                kept[i] = false;
            else
                later.insert(key);
        }
        if (kept.contains(false)) {
            QList<CssDeclaration> last;
            for (qsizetype i = 0; i < kept.size(); ++i) {
                if (kept[i])
                    last.append(rule.declarations[i]);
            }
            rule.declarations = std::move(last);
        }
    }
    rule.selector = context.parent;
    rule.sheet = context.sheetName;
    rule.selectorText = context.selectorText;
    rule.firstLine = context.firstLine;
    rule.scope = context.scope;
    rule.layer = context.layer;
    rule.containers = context.containers;
    rule.order = ++m_order;
    m_rules.append(std::move(rule));
}

void RuleSet::addStyleRule(const CssValues& block, qsizetype at, qsizetype end, const Context& context, int depth)
{
    // Past the most rules read, every rule after is left out: it is passed over as cheaply as it can be.
    if (!m_budget.spend(1 + end - at) || m_leftOut || !holdsAnythingRead(block[end].inside))
        return;
    qsizetype selectors = 1;
    for (qsizetype i = at; i < end; ++i)
        selectors += block[i].token.is(CssToken::Comma) ? 1 : 0;
    m_selectorCount += selectors;
    m_selectorTokens += end - at;
    if (m_leftOut || m_selectorCount > MaximumSelectors || m_selectorTokens > MaximumSelectorTokens
        || m_rules.size() >= MaximumRules) {
        m_leftOut = true;
        return;
    }
    const bool scoped = context.scope && !context.parent;
    const auto parse = [&]() -> std::shared_ptr<const Selectors> {
        std::optional<Selectors> selector = Selectors::parse(block.mid(at, end - at), context.parent.get(), scoped);
        return selector ? std::make_shared<const Selectors>(std::move(*selector)) : nullptr;
    };
    std::shared_ptr<const Selectors> selector;
    if (context.shared) {
        // The rule it nests in is itself one of those kept, so its address names it.
        const std::pair key{&block[at], quintptr(context.parent.get()) | quintptr(scoped)};
        auto known = m_parsed->selectors.constFind(key);
        if (known == m_parsed->selectors.constEnd())
            known = m_parsed->selectors.insert(key, parse());
        selector = *known;
    } else {
        selector = parse();
    }
    if (!selector)
        return;
    Context inner = context;
    inner.parent = std::move(selector);
    inner.selectorText = CssParser::text(block.mid(at, end - at)).simplified();
    addContents(block[end].inside, inner, depth + 1);
}

// What a block's contents mean to the rule set: runs of declarations for the rule they sit in, style
// rules, at-rules, and at the top of a sheet @import before any other rule.
class RuleSet::Contents : public CssContentsHandler {
public:
    Contents(RuleSet& rules, const Context& context, int depth)
        : m_rules(rules)
        , m_context(context)
        , m_depth(depth)
        , m_importsAllowed(depth == 0)
    {
    }

    void atRule(const CssRule& rule) override
    {
        if (rule.atName == QLatin1String("import")) {
            if (m_importsAllowed && !m_context.parent)
                m_rules.addImport(rule.prelude, m_context, m_depth);
            return;
        }
        if (rule.atName != QLatin1String("charset") && !(rule.atName == QLatin1String("layer") && !rule.hasBlock))
            m_importsAllowed = false;
        flush();
        m_rules.addAtRule(rule, m_context, m_depth);
    }

    void qualifiedRule(const CssValues& block, qsizetype at, qsizetype end) override
    {
        m_importsAllowed = false;
        flush();
        m_rules.addStyleRule(block, at, end, m_context, m_depth);
    }

    void declaration(const CssValues& block, qsizetype at, qsizetype end) override
    {
        m_importsAllowed = false;
        // Most rules hold one run of declarations: it is shared with what is kept, not copied.
        QList<CssDeclaration> run = m_rules.readDeclarations(block, at, end, m_context);
        m_rules.m_declarationCount += run.size();
        if (m_rules.m_declarationCount > MaximumDeclarations) {
            m_rules.m_leftOut = true;
            m_stopped = true;
            return;
        }
        if (m_declarations.isEmpty())
            m_declarations = std::move(run);
        else
            m_declarations += run;
    }

    // A reading told to stop, or past its allowance, stops here, between one rule and the next.
    bool readOn() const override { return !m_stopped && !m_rules.m_budget.exhausted(); }

    void flush()
    {
        if (!m_declarations.isEmpty())
            m_rules.addDeclarations(m_declarations, m_context);
        m_declarations = {}; // not clear(), which would allocate a list as large for one still shared
    }

private:
    RuleSet& m_rules;
    const Context& m_context;
    const int m_depth;
    bool m_importsAllowed;
    bool m_stopped = false;
    QList<CssDeclaration> m_declarations;
};

void RuleSet::addContents(const CssValues& block, const Context& context, int depth)
{
    if (depth > MaximumDepth || m_budget.exhausted())
        return;
    Contents contents(*this, context, depth);
    CssParser::contents(block, context.parent != nullptr, contents);
    contents.flush();
}

void RuleSet::addAtRule(const CssRule& rule, const Context& context, int depth)
{
    const QString& name = rule.atName;
    if (name == QLatin1String("layer")) {
        QList<QString> names{{}};
        for (const CssValue& value : rule.prelude) {
            if (value.token.is(CssToken::Comma))
                names.append(QString());
            else if (value.token.is(CssToken::Ident))
                names.last() += value.token.text.toString();
            else if (value.token.isDelim(u'.'))
                names.last() += u'.';
        }
        if (!rule.hasBlock) {
            for (const QString& layer : std::as_const(names)) {
                if (!layer.isEmpty())
                    layerNamed(layer, context.layer);
            }
            return;
        }
        if (names.size() > 1)
            return;
        Context inner = context;
        inner.layer = layerNamed(
            names.first().isEmpty() ? QStringLiteral("\x01%1").arg(++m_anonymous) : names.first(), context.layer);
        addContents(rule.block, inner, depth + 1);
        return;
    }
    if (!rule.hasBlock)
        return;
    if (name == QLatin1String("media")) {
        // A condition on the colour scheme over rules that set nothing the reading reads (a theme's name
        // in `content`, say) cannot make the other scheme read otherwise.
        const bool askedBefore = m_environment.schemeAsked;
        m_environment.schemeAsked = false;
        const bool matches = MediaQueries::matches(rule.prelude, m_environment);
        m_environment.schemeAsked
            = askedBefore || (m_environment.schemeAsked && holdsRuleRead(rule.block, context.parent != nullptr));
        if (matches)
            addContents(rule.block, context, depth + 1);
    } else if (name == QLatin1String("supports")) {
        if (MediaQueries::supports(rule.prelude, selectorParses))
            addContents(rule.block, context, depth + 1);
    } else if (name == QLatin1String("scope")) {
        auto scope = std::make_shared<Scope>();
        const CssValues prelude = CssParser::trimmed(rule.prelude);
        qsizetype at = 0;
        for (std::optional<Selectors>* part : {&scope->root, &scope->limit}) {
            while (at < prelude.size() && prelude[at].token.is(CssToken::Whitespace))
                ++at;
            if (part == &scope->limit) {
                if (at >= prelude.size())
                    break;
                if (!prelude[at].token.isIdent(u"to"))
                    return;
                ++at;
                while (at < prelude.size() && prelude[at].token.is(CssToken::Whitespace))
                    ++at;
            }
            if (at >= prelude.size())
                break;
            if (!prelude[at].isBlock(CssToken::OpenParen))
                return;
            *part = Selectors::parse(
                prelude[at].inside, part == &scope->root ? context.parent.get() : nullptr, part == &scope->limit);
            if (!*part)
                return;
            ++at;
        }
        if (!scope->root && context.parent)
            scope->root = *context.parent;
        Context inner = context;
        inner.scope = scope;
        inner.parent.reset();
        addContents(rule.block, inner, depth + 1);
    } else if (name == QLatin1String("theme") && !context.parent) {
        // Tailwind's @theme, as its build writes it out: custom properties on the root.
        Context inner = context;
        inner.parent = std::make_shared<const Selectors>(*Selectors::parse(CssParser::values(u":root")));
        QList<CssDeclaration> declarations = CssParser::declarations(rule.block);
        declarations.removeIf([](const CssDeclaration& declaration) {
            return !isRead(declaration.name) || !isValid(declaration.name, declaration.value);
        });
        addDeclarations(declarations, inner);
    } else if (name == QLatin1String("container")) {
        // The rules hold where the container's size answers the query (see Cascade::candidates).
        const CssValues prelude = CssParser::trimmed(rule.prelude);
        ContainerQuery query;
        qsizetype at = 0;
        if (!prelude.isEmpty() && prelude[0].token.is(CssToken::Ident) && !prelude[0].token.isIdent(u"not")
            && !prelude[0].token.isIdent(u"and") && !prelude[0].token.isIdent(u"or")) {
            query.name = prelude[0].token.text.toString();
            at = 1;
        }
        query.condition = CssParser::trimmed(prelude.mid(at));
        const std::function<bool(const CssValues&)> asksStyle = [&asksStyle](const CssValues& values) {
            return std::any_of(values.begin(), values.end(), [&asksStyle](const CssValue& value) {
                return value.isFunction(u"style") || value.isFunction(u"scroll-state") || asksStyle(value.inside);
            });
        };
        query.style = asksStyle(query.condition);
        if (query.condition.isEmpty())
            return;
        auto containers
            = std::make_shared<ContainerQueries>(context.containers ? *context.containers : ContainerQueries{});
        containers->append(std::move(query));
        Context inner = context;
        inner.containers = std::move(containers);
        addContents(rule.block, inner, depth + 1);
    } else if (name == QLatin1String("property")) {
        QString property;
        for (const CssValue& value : rule.prelude) {
            if (value.token.is(CssToken::Ident))
                property = value.token.text;
        }
        bool inherits = true;
        std::optional<CssValues> initial;
        for (const CssDeclaration& declaration : CssParser::declarations(rule.block)) {
            if (declaration.name == QLatin1String("inherits"))
                inherits = !(declaration.value.size() == 1 && declaration.value[0].token.isIdent(u"false"));
            else if (declaration.name == QLatin1String("initial-value"))
                initial = declaration.value;
        }
        if (property.startsWith(QLatin1String("--")))
            m_registered.insert(property, {inherits, initial});
    }
    // @starting-style, @keyframes, @font-face and @page colour no page at rest.
}

void RuleSet::addImport(const CssValues& prelude, const Context& context, int depth)
{
    const QList<CssValue> parts = [&] {
        QList<CssValue> result;
        for (const CssValue& value : prelude) {
            if (!value.token.is(CssToken::Whitespace))
                result.append(value);
        }
        return result;
    }();
    if (parts.isEmpty())
        return;
    QString href;
    if (parts[0].token.is(CssToken::String) || parts[0].token.is(CssToken::Url)) {
        href = parts[0].token.text;
    } else if (parts[0].isFunction(u"url")) {
        const CssValues inside = CssParser::trimmed(parts[0].inside);
        if (inside.size() != 1 || !inside[0].token.is(CssToken::String))
            return;
        href = inside[0].token.text;
    } else {
        return;
    }
    Context inner = context;
    qsizetype at = 1;
    if (at < parts.size() && parts[at].token.isIdent(u"layer")) {
        inner.layer = layerNamed(QStringLiteral("\x01%1").arg(++m_anonymous), context.layer);
        ++at;
    } else if (at < parts.size() && parts[at].isFunction(u"layer")) {
        QString name;
        for (const CssValue& value : parts[at].inside) {
            if (value.token.is(CssToken::Ident))
                name += value.token.text.toString();
            else if (value.token.isDelim(u'.'))
                name += u'.';
        }
        inner.layer = layerNamed(name, context.layer);
        ++at;
    }
    if (at < parts.size() && parts[at].isFunction(u"supports")) {
        const CssValues inside = CssParser::trimmed(parts[at].inside);
        CssValue wrapped;
        wrapped.token.type = CssToken::OpenParen;
        wrapped.inside = inside;
        bool declaration = false;
        for (const CssValue& value : inside)
            declaration = declaration || value.token.is(CssToken::Colon);
        if (!(declaration && !inside.isEmpty() && inside[0].token.is(CssToken::Ident)
                    ? MediaQueries::supports(CssValues{wrapped}, selectorParses)
                    : MediaQueries::supports(inside, selectorParses)))
            return;
        ++at;
    }
    CssValues media;
    for (qsizetype i = at; i < parts.size(); ++i) {
        if (!media.isEmpty())
            media += CssParser::values(u" ");
        media.append(parts[i]);
    }
    if (!MediaQueries::matches(media, m_environment))
        return;
    if (context.imports >= MaximumImports) {
        m_notes.add(ReadingNotes::Reason::SheetsLeftOut,
            note("The style sheet %1 was left out: style sheets import one another too deeply.")
                .arg(ReadingNotes::quoted(href)),
            true);
        return;
    }
    inner.imports = context.imports + 1;
    inner.parent.reset();
    addSheetAt(href, context.sheetName, inner);
    Q_UNUSED(depth);
}

// A style sheet file, read once for the reading however many links and imports lead to it.
struct RuleSet::SheetFile {
    LoadedSheet loaded;
    std::shared_ptr<const CssValues> values; // parsed when first applied
    bool kept = false; // the values are kept in m_parsed
    bool granted = false; // its allowance of work has been given to the reading
    bool noted = false; // the note of why it has no text has been said
};

RuleSet::SheetFile& RuleSet::sheetFile(const SheetLoader& loader, const QString& file)
{
    if (!m_files)
        m_files = std::make_unique<QHash<QString, SheetFile>>();
    auto known = m_files->find(file);
    if (known != m_files->end())
        return *known;
    SheetFile read;
    // The light and the dark reading of a page read each file once between them.
    if (m_parsed && m_parsed->files.contains(file)) {
        read.loaded = m_parsed->files.value(file);
    } else {
        read.loaded = loader.read(file);
        if (m_parsed)
            m_parsed->files.insert(file, read.loaded);
    }
    return *m_files->insert(file, std::move(read));
}

void RuleSet::addSheetAt(const QString& href, const QString& from, Context context)
{
    const SheetLoader* const loader = context.loader;
    if (!loader || !*loader) {
        m_notes.add(ReadingNotes::Reason::SheetNotRead,
            note("The style sheet %1 was not read: pasted text has no folder to find it in.")
                .arg(ReadingNotes::quoted(href)));
        return;
    }
    // A reading told to stop, or past its allowance, loads nothing more.
    if (m_budget.exhausted() || m_budget.stop().stop_requested())
        return;
    const auto leftOut = [this] {
        m_notes.add(ReadingNotes::Reason::SheetsLeftOut,
            note("The page links or imports more style sheets than Hueloom reads (%L1 sheets, or %L2 MB of them in "
                 "all): the rest were left out.")
                .arg(MaximumSheets)
                .arg(MaximumSheetBytes >> 20));
    };
    if (m_sheets >= MaximumSheets || m_sheetBytes >= MaximumSheetBytes) {
        leftOut();
        return;
    }
    const SheetPlace place = loader->locate(href, from);
    if (place.file.isEmpty()) {
        m_notes.add(ReadingNotes::Reason::SheetNotRead, place.note);
        return;
    }
    if (m_loading.contains(place.file))
        return; // a cycle of imports: a browser reads each sheet once along it
    ++m_sheets;
    SheetFile& file = sheetFile(*loader, place.file);
    if (!file.loaded.text) {
        if (!std::exchange(file.noted, true)) {
            m_sheetBytes += file.loaded.bytes;
            m_notes.add(ReadingNotes::Reason::SheetNotRead, file.loaded.note);
        }
        return;
    }
    // Applied again, a sheet counts again: its rules are weighed again in their new place.
    m_sheetBytes += file.loaded.bytes;
    if (m_sheetBytes > MaximumSheetBytes) {
        leftOut();
        return;
    }
    const QString& css = *file.loaded.text;
    // The work a reading may take grows with each file it reads, as it does with the page's own text;
    // a file read once gives its allowance once however often it is applied.
    if (!std::exchange(file.granted, true))
        m_budget.grant(qint64(css.size()) * WorkBudget::StepsPerCharacter);
    m_budget.spend(css.size() / 16);
    if (!file.values)
        file.values = parse(css, &file.kept);
    context.shared = file.kept;
    context.sheetName = place.file;
    context.firstLine = 1;
    m_loading.append(place.file);
    const std::shared_ptr<const CssValues> values = file.values;
    addContents(*values, context, 0);
    m_loading.removeLast();
}

// `kept`: whether the values are kept for the next reading, where what their rules read as may be kept too.
std::shared_ptr<const CssValues> RuleSet::parse(QStringView css, bool* kept)
{
    *kept = false;
    bool cut = false;
    if (!m_parsed) {
        auto values = std::make_shared<const CssValues>(CssParser::values(css, m_budget.stop(), &cut));
        m_sheetCut = m_sheetCut || cut;
        return values;
    }
    QString key = css.toString();
    if (std::shared_ptr<const CssValues> known = m_parsed->sheets.value(key)) {
        *kept = true;
        m_sheetCut = m_sheetCut || m_parsed->cut.contains(known.get());
        return known;
    }
    auto values = std::make_shared<const CssValues>(CssParser::values(css, m_budget.stop(), &cut));
    m_sheetCut = m_sheetCut || cut;
    // A parse cut short by a stop is never kept for the next reading.
    if (!m_budget.stop().stop_requested()) {
        m_parsed->sheets.insert(std::move(key), values);
        if (cut)
            m_parsed->cut.insert(values.get());
        *kept = true;
    }
    return values;
}

void RuleSet::addStyleSheet(
    QStringView css, const QString& name, QStringView media, const SheetLoader& loader, int firstLine)
{
    if (!media.trimmed().isEmpty() && !MediaQueries::matches(CssParser::values(media), m_environment))
        return;
    m_budget.spend(css.size() / 16);
    Context context;
    context.sheetName = name;
    context.firstLine = firstLine;
    context.loader = &loader;
    m_loading.append(name);
    const std::shared_ptr<const CssValues> values = parse(css, &context.shared);
    addContents(*values, context, 0);
    m_loading.removeLast();
}

void RuleSet::addLinkedSheet(const QString& href, const QString& from, QStringView media, const SheetLoader& loader)
{
    if (!media.trimmed().isEmpty() && !MediaQueries::matches(CssParser::values(media), m_environment))
        return;
    Context context;
    context.loader = &loader;
    addSheetAt(href, from, context);
}
