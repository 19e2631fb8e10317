#include "Cascade.h"

#include "ComputedStyle.h"
#include "CustomProperties.h"
#include "LegacyColour.h"
#include "Shorthands.h"
#include "TagStyle.h"
#include "css/ColourText.h"
#include "css/CssCalc.h"

#include <QCoreApplication>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

namespace {

constexpr int MaximumDepth = 64; // of blocks inside one another; the parser keeps deeper ones flat
constexpr int MaximumImports = 16; // of @import inside one another

using Specificity = Selectors::Specificity;

bool selectorParses(const CssValues& selectors)
{
    return Selectors::parse(selectors).has_value();
}

bool holdsVar(const CssValues& values)
{
    return CustomProperties::holdsVar(values);
}

bool isWideKeyword(const CssValues& values)
{
    return CustomProperties::isWideKeyword(values);
}

std::optional<CssValues> backgroundColour(const CssValues& values)
{
    return Shorthands::backgroundColour(values, [](const CssValue& value) {
        return ComputedStyle::isColour(CssValues{value}) || value.token.isIdent(u"currentcolor");
    });
}

// The shorthands the cascade reads, which set the properties of ComputedStyle::properties().
const QLatin1String ReadShorthands[] = {QLatin1String("background"), QLatin1String("margin"), QLatin1String("all")};

// `name` as a declaration gives it: lower case, except a custom property's.
bool isRead(QStringView name, Qt::CaseSensitivity sensitivity = Qt::CaseSensitive)
{
    if (name.startsWith(QLatin1String("--")))
        return true;
    for (const QLatin1String shorthand : ReadShorthands) {
        if (name.compare(shorthand, sensitivity) == 0)
            return true;
    }
    const QList<ComputedStyle::Property>& properties = ComputedStyle::properties();
    return std::any_of(properties.begin(), properties.end(),
        [&](const ComputedStyle::Property& property) { return name.compare(property.name, sensitivity) == 0; });
}

// Whether a style rule's {} block holds anything the cascade reads: a declaration of a property it
// reads, or a rule nested in it. A rule holding neither is passed over without reading its selectors.
bool holdsAnythingRead(const CssValues& inside)
{
    bool starting = true;
    for (const CssValue& value : inside) {
        const CssToken& token = value.token;
        if (token.is(CssToken::OpenCurly) || token.is(CssToken::AtKeyword))
            return true;
        if (token.is(CssToken::Semicolon)) {
            starting = true;
        } else if (!token.is(CssToken::Whitespace)) {
            if (starting && token.is(CssToken::Ident) && isRead(token.text, Qt::CaseInsensitive))
                return true;
            starting = false;
        }
    }
    return false;
}

using Shorthands::words;

std::optional<std::pair<CssValues, CssValues>> marginSides(const CssValues& values)
{
    return Shorthands::marginSides(values, ComputedStyle::isMarginSide);
}

// A value a browser takes for the property, var() aside: one that fails drops its declaration.
bool isValid(const QString& name, const CssValues& value)
{
    if (name.startsWith(QLatin1String("--")) || holdsVar(value) || isWideKeyword(value))
        return true;
    if (value.isEmpty() || name == QLatin1String("all"))
        return false;
    if (name == QLatin1String("background"))
        return backgroundColour(value).has_value();
    if (name == QLatin1String("margin"))
        return marginSides(value).has_value();
    const ComputedStyle::Property* property = ComputedStyle::property(name);
    return property && property->valid(value);
}

// The value block[first, last) of a declaration of `name` as the cascade keeps it, told before it is
// copied out of its rule (it may be as long as the text): nothing when it holds more words than the
// property takes, and of a long background only what the cascade reads of it, its colour and its last
// image, in that order.
std::optional<CssValues> readValue(const QString& name, const CssValues& block, qsizetype first, qsizetype last)
{
    qsizetype words = 0;
    bool pending = false;
    for (qsizetype at = first; at < last && !pending; ++at) {
        const CssValue& value = block[at];
        pending = value.isFunction(u"var") || value.isFunction(u"env") || holdsVar(value.inside);
        words += value.token.is(CssToken::Whitespace) ? 0 : 1;
    }
    // A colour, an opacity or a side is one word, margin four at most.
    if (pending || words <= 4 || name.startsWith(QLatin1String("--")) || name == QLatin1String("background-image")
        || name == QLatin1String("filter") || name == QLatin1String("color-scheme")
        || (name == QLatin1String("background") && words <= 1000))
        return block.mid(first, last - first);
    if (name != QLatin1String("background"))
        return std::nullopt;
    const auto colourWord = [](const CssValue& value) {
        return ComputedStyle::isColour(CssValues{value}) || value.token.isIdent(u"currentcolor");
    };
    std::optional<CssValues> kept = Shorthands::backgroundColour(block.constData() + first, last - first, colourWord);
    if (!kept)
        return std::nullopt;
    for (qsizetype at = last - 1; at >= first; --at) {
        const CssValue& value = block[at];
        if (value.token.is(CssToken::Function) || value.token.is(CssToken::Url)) {
            if (!colourWord(value))
                *kept += {CssValue{CssToken{{}, 0, CssToken::Whitespace, false}, {}}, value};
            break;
        }
    }
    return kept;
}

QString note(const char* text)
{
    return QCoreApplication::translate("Cascade", text);
}

} // namespace

struct Cascade::Scope {
    std::optional<Selectors> root; // none: the page's root
    std::optional<Selectors> limit;
};

struct Cascade::Layer {
    int parent = -1;
    QList<int> children;
    int rank = 0;
    QString name;
};

struct Cascade::Rule {
    std::shared_ptr<const Selectors> selector;
    std::shared_ptr<const Scope> scope;
    QList<CssDeclaration> declarations;
    int layer = 0;
    int order = 0;
};

struct Cascade::Context {
    std::shared_ptr<const Selectors> parent; // the style rule a nested rule sits in
    std::shared_ptr<const Scope> scope;
    int layer = 0;
    QString sheetName;
    const SheetLoader* loader = nullptr;
    int imports = 0;
    bool shared = false; // the sheet's values are kept in m_parsed, and so may what its rules read as
};

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

    auto rank() const { return std::tuple(band, layerKey, proximity, specificity, order, position); }
};

// An element's style as last worked out, from its declarations and its parent's style: the states a
// page is read in (unvisited, visited, pressed) mostly differ at the link alone, and the rest is kept.
struct Cascade::Known {
    QList<Candidate> own;
    Style computed;
    int serial = 0; // which working out this is
    int parentSerial = 0; // the parent's working out it stands on
};

// The rules by the class, id or type an element needs for their selector to match it, as a browser
// indexes them: of a style sheet's thousands of rules, only the few that may match are tried.
struct Cascade::Index {
    qsizetype indexed = 0; // how many of the rules
    QList<int> anyElement; // rules a selector of which requires none of these
    QHash<size_t, QList<int>> classes;
    QHash<QString, QList<int>> ids;
    QHash<QString, QList<int>> types;

    void add(const Selectors& selector, int rule)
    {
        const std::optional<Selectors::Keys> keys = selector.keys();
        if (!keys) {
            anyElement.append(rule);
            return;
        }
        // A rule listed twice under one key (".a, .a b") is tried once all the same: see rulesFor().
        for (const size_t key : keys->classes)
            classes[key].append(rule);
        for (const QString& key : keys->ids)
            ids[key].append(rule);
        for (const QString& key : keys->types)
            types[key].append(rule);
    }

    // The rules that may match the element, in their order.
    QList<int> rulesFor(const PageTree::Element& e) const
    {
        QList<int> result = anyElement;
        const auto take = [&result](const auto& hash, const auto& key) {
            const auto found = hash.constFind(key);
            if (found != hash.constEnd())
                result += *found;
        };
        for (const size_t key : e.classes)
            take(classes, key);
        if (!e.id.isEmpty())
            take(ids, e.id);
        take(types, e.tag);
        std::sort(result.begin(), result.end());
        result.erase(std::unique(result.begin(), result.end()), result.end());
        return result;
    }
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
    , m_parsed(parsed)
    , m_known(std::make_unique<QHash<int, Known>>())
    , m_index(std::make_unique<Index>())
{
    m_layers.append(Layer{});
}

Cascade::~Cascade() = default;

int Cascade::layerNamed(const QString& name, int parent)
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

void Cascade::rankLayers()
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

QList<CssDeclaration> Cascade::readDeclarations(
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
void Cascade::addDeclarations(const QList<CssDeclaration>& declarations, const Context& context)
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
    rule.scope = context.scope;
    rule.layer = context.layer;
    rule.order = ++m_order;
    m_rules.append(std::move(rule));
}

void Cascade::addStyleRule(const CssValues& block, qsizetype at, qsizetype end, const Context& context, int depth)
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
    addContents(block[end].inside, inner, depth + 1);
}

void Cascade::addContents(const CssValues& block, const Context& context, int depth)
{
    if (depth > MaximumDepth || m_budget.exhausted())
        return;
    const bool nested = context.parent != nullptr;
    bool importsAllowed = depth == 0;
    QList<CssDeclaration> declarations;
    const auto flush = [&] {
        if (!declarations.isEmpty())
            addDeclarations(declarations, context);
        declarations = {}; // not clear(), which would allocate a list as large for one still shared
    };
    qsizetype at = 0;
    const qsizetype size = block.size();
    // A reading told to stop, or past its allowance, stops here, between one rule and the next.
    while (at < size && !m_budget.exhausted()) {
        const CssToken& token = block[at].token;
        if (token.is(CssToken::Whitespace) || token.is(CssToken::Semicolon)
            || (!nested && (token.is(CssToken::Cdo) || token.is(CssToken::Cdc)))) {
            ++at;
            continue;
        }
        if (token.is(CssToken::AtKeyword)) {
            CssRule rule;
            rule.atName = token.text.toLower();
            qsizetype end = at + 1;
            while (end < size && !block[end].token.is(CssToken::Semicolon) && !block[end].isBlock(CssToken::OpenCurly))
                ++end;
            rule.prelude = block.mid(at + 1, end - at - 1);
            if (end < size && block[end].isBlock(CssToken::OpenCurly)) {
                rule.block = block[end].inside;
                rule.hasBlock = true;
            }
            at = end + 1;
            if (rule.atName == QLatin1String("import")) {
                if (importsAllowed && !nested)
                    addImport(rule.prelude, context, depth);
                continue;
            }
            if (rule.atName != QLatin1String("charset") && !(rule.atName == QLatin1String("layer") && !rule.hasBlock))
                importsAllowed = false;
            flush();
            addAtRule(rule, context, depth);
            continue;
        }
        importsAllowed = false;
        // A declaration ends at a semicolon; a rule at its {} block. A custom property may hold {}.
        qsizetype end = at;
        while (end < size && !(nested && block[end].token.is(CssToken::Semicolon))
            && !block[end].isBlock(CssToken::OpenCurly))
            ++end;
        const bool custom = nested && token.is(CssToken::Ident) && token.text.startsWith(QLatin1String("--"));
        if (custom && end < size && block[end].isBlock(CssToken::OpenCurly)) {
            while (end < size && !block[end].token.is(CssToken::Semicolon))
                ++end;
        }
        if (end >= size || !block[end].isBlock(CssToken::OpenCurly) || custom) {
            if (nested) {
                // Most rules hold one run of declarations: it is shared with what is kept, not copied.
                QList<CssDeclaration> run = readDeclarations(block, at, end, context);
                m_declarationCount += run.size();
                if (m_declarationCount > MaximumDeclarations) {
                    m_leftOut = true;
                    break;
                }
                if (declarations.isEmpty())
                    declarations = std::move(run);
                else
                    declarations += run;
            }
            at = end + 1;
            continue;
        }
        flush();
        addStyleRule(block, at, end, context, depth);
        at = end + 1;
    }
    flush();
}

void Cascade::addAtRule(const CssRule& rule, const Context& context, int depth)
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
        if (MediaQueries::matches(rule.prelude, m_environment))
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
    // @container holds for no element here, as none is a container; @starting-style, @keyframes,
    // @font-face and @page colour no page at rest.
}

void Cascade::addImport(const CssValues& prelude, const Context& context, int depth)
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
struct Cascade::SheetFile {
    LoadedSheet loaded;
    std::shared_ptr<const CssValues> values; // parsed when first applied
    bool kept = false; // the values are kept in m_parsed
    bool granted = false; // its allowance of work has been given to the reading
    bool noted = false; // the note of why it has no text has been said
};

Cascade::SheetFile& Cascade::sheetFile(const SheetLoader& loader, const QString& file)
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

void Cascade::addSheetAt(const QString& href, const QString& from, Context context)
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
    m_loading.append(place.file);
    const std::shared_ptr<const CssValues> values = file.values;
    addContents(*values, context, 0);
    m_loading.removeLast();
}

// `kept`: whether the values are kept for the next reading, where what their rules read as may be kept too.
std::shared_ptr<const CssValues> Cascade::parse(QStringView css, bool* kept)
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

void Cascade::addStyleSheet(QStringView css, const QString& name, QStringView media, const SheetLoader& loader)
{
    if (!media.trimmed().isEmpty() && !MediaQueries::matches(CssParser::values(media), m_environment))
        return;
    m_budget.spend(css.size() / 16);
    Context context;
    context.sheetName = name;
    context.loader = &loader;
    m_loading.append(name);
    const std::shared_ptr<const CssValues> values = parse(css, &context.shared);
    addContents(*values, context, 0);
    m_loading.removeLast();
}

void Cascade::addLinkedSheet(const QString& href, const QString& from, QStringView media, const SheetLoader& loader)
{
    if (!media.trimmed().isEmpty() && !MediaQueries::matches(CssParser::values(media), m_environment))
        return;
    Context context;
    context.loader = &loader;
    addSheetAt(href, from, context);
}

void Cascade::addElementStyles()
{
    // Nothing to gather here: style attributes and presentational hints are read per element.
}

QList<Cascade::Candidate> Cascade::candidates(int element, const Selectors::State& state, Selectors::Matcher& matcher)
{
    QList<Candidate> result;
    const int layers = int(m_layers.size());
    int position = 0;
    const auto add = [&](const CssDeclaration& declaration, int band, int layerKey, int proximity,
                         const Specificity& specificity, int order, int layer) {
        const auto one = [&](const QString& property, bool shorthand) {
            result.append(Candidate{property, declaration.value, band, layerKey, proximity, specificity, order, layer,
                shorthand, true, position});
        };
        if (declaration.name == QLatin1String("background")) {
            const bool pending = holdsVar(declaration.value);
            if (pending || isWideKeyword(declaration.value)) {
                one(QStringLiteral("background-color"), pending);
            } else if (const std::optional<CssValues> colour = backgroundColour(declaration.value)) {
                result.append(Candidate{QStringLiteral("background-color"), *colour, band, layerKey, proximity,
                    specificity, order, layer, false, true, position});
                // The shorthand sets the image too: a gradient when it names one, none otherwise.
                CssValues image = CssParser::values(u"none");
                for (const CssValue& value : declaration.value) {
                    if (value.token.is(CssToken::Function) || value.token.is(CssToken::Url))
                        image = CssValues{value};
                }
                result.append(Candidate{QStringLiteral("background-image"), image, band, layerKey, proximity,
                    specificity, order, layer, false, true, position});
            }
        } else if (declaration.name == QLatin1String("margin")) {
            const bool pending = holdsVar(declaration.value);
            if (pending || isWideKeyword(declaration.value)) {
                one(QStringLiteral("margin-top"), pending);
                one(QStringLiteral("margin-left"), pending);
            } else if (const auto sides = marginSides(declaration.value)) {
                result.append(Candidate{QStringLiteral("margin-top"), sides->first, band, layerKey, proximity,
                    specificity, order, layer, false, true, position});
                result.append(Candidate{QStringLiteral("margin-left"), sides->second, band, layerKey, proximity,
                    specificity, order, layer, false, true, position});
            }
        } else if (declaration.name == QLatin1String("all")) {
            for (const char* property : {"color", "background-color", "color-scheme", "opacity"})
                one(QLatin1String(property), false);
        } else {
            one(declaration.name, false);
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
        add(CssDeclaration{QStringLiteral("color"), CssParser::values(value), false}, 0, 0, 0, {}, 0, -2);
        result.last().fromPage = fromPage;
    }
    if (element == m_tree.body()) {
        for (const auto& [attribute, property] :
            {std::pair{"bgcolor", "background-color"}, std::pair{"text", "color"}}) {
            if (const std::optional<QString> text = m_tree.attribute(element, QString::fromLatin1(attribute))) {
                if (const std::optional<Rgb> colour = LegacyColour::parse(*text))
                    add(CssDeclaration{QLatin1String(property), CssParser::values(colour->name()), false}, 1, -1, 0, {},
                        -1, -1);
            }
        }
    }
    for (; m_index->indexed < m_rules.size(); ++m_index->indexed)
        m_index->add(*m_rules[m_index->indexed].selector, int(m_index->indexed));
    for (const int index : m_index->rulesFor(e)) {
        const Rule& rule = m_rules[index];
        if (m_budget.exhausted())
            break;
        std::optional<Specificity> specificity;
        int proximity = std::numeric_limits<int>::min();
        if (rule.scope) {
            // The nearest scoping root the element is in, outside every limit below that root.
            int hops = 0;
            for (int root = element; root >= 0 && !specificity; root = m_tree.at(root).parent, ++hops) {
                if (!m_budget.spend())
                    break;
                if (rule.scope->root ? !rule.scope->root->matches(root, matcher) : root != m_tree.root())
                    continue;
                bool limited = false;
                for (int below = element; below != root && rule.scope->limit && !limited;
                     below = m_tree.at(below).parent)
                    limited = rule.scope->limit->matches(below, matcher, root);
                if (limited)
                    continue;
                specificity = rule.selector->match(element, matcher, root);
                proximity = -hops;
            }
        } else {
            specificity = rule.selector->match(element, matcher);
        }
        if (!specificity)
            continue;
        const int rank = m_layers[rule.layer].rank;
        position = 0;
        for (const CssDeclaration& declaration : rule.declarations) {
            ++position;
            add(declaration, declaration.important ? 2 : 1, declaration.important ? layers - 1 - rank : rank, proximity,
                *specificity, rule.order, rule.layer);
        }
    }
    position = 0;
    for (const CssDeclaration& declaration : styleAttribute(element)) {
        ++position;
        add(declaration, declaration.important ? 2 : 1, layers, 0, {}, std::numeric_limits<int>::max(), -1);
    }
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
            if (candidate->fromPage && !candidate->property.startsWith(QLatin1String("--"))
                && !candidate->property.startsWith(QLatin1String("margin")))
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
    CustomProperties customs(parent ? &parent->customs : nullptr, m_registered, &m_budget);
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
        if (const Candidate* candidate = winner(property.name))
            property.compute(computed, specified(candidate), context);
        if (property.settle)
            property.settle(computed, context);
    }
    m_darkNamed = m_darkNamed || ComputedStyle::namedSchemes(computed, context).contains(QLatin1String("dark"));
    return computed;
}

QList<Cascade::Style> Cascade::stylesDownTo(int element, const Selectors::State& state)
{
    if (!m_ranked)
        rankLayers();
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
    if (m_budget.exhausted())
        m_notes.add(ReadingNotes::Reason::TooComplex, note("The page is too complex to read to the end."));
    const QString leftOut = note("The page's style sheets hold more than Hueloom reads (%L1 rules, %L2 selectors, "
                                 "%L3 tokens of selectors, %L4 tokens of a sheet, %L5 declarations): the rest was "
                                 "left out.")
                                .arg(MaximumRules)
                                .arg(MaximumSelectors)
                                .arg(MaximumSelectorTokens)
                                .arg(CssParser::MaximumTokens)
                                .arg(MaximumDeclarations);
    if (m_leftOut || m_sheetCut)
        m_notes.add(ReadingNotes::Reason::TooLarge, leftOut);
    if (m_styleCut)
        m_notes.add(ReadingNotes::Reason::TooLarge, TagStyle::leftOutNote());
    return result;
}
