#include "CustomProperties.h"

#include "WorkBudget.h"

#include <algorithm>
#include <array>

namespace {

constexpr int MaximumNesting = 64; // of blocks inside one another; the parser keeps deeper ones flat

bool isSubstitution(const CssValue& value)
{
    return value.isFunction(u"var") || value.isFunction(u"env");
}

} // namespace

const std::optional<CssValues>* CustomValues::find(const QString& name) const
{
    for (const Layer* layer = m_top.get(); layer; layer = layer->below.get()) {
        if (const auto found = layer->own.constFind(name); found != layer->own.constEnd())
            return &*found;
    }
    return nullptr;
}

std::optional<CssValues> CustomValues::value(const QString& name) const
{
    const std::optional<CssValues>* found = find(name);
    return found ? *found : std::nullopt;
}

bool CustomValues::contains(const QString& name) const
{
    return find(name) != nullptr;
}

QStringList CustomValues::keys() const
{
    QStringList names;
    for (const Layer* layer = m_top.get(); layer; layer = layer->below.get())
        names += layer->own.keys();
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

void CustomValues::insert(const QString& name, const std::optional<CssValues>& value)
{
    // A layer no one else holds is this element's own, written in place; one shared (the parent's, or
    // a copy's) gets a layer over it.
    if (m_top && m_top.use_count() == 1) {
        const_cast<Layer&>(*m_top).own.insert(name, value);
        return;
    }
    auto layer = std::make_shared<Layer>();
    if (m_top && m_top->depth >= MaximumDepth) {
        for (const Layer* below = m_top.get(); below; below = below->below.get()) {
            for (auto it = below->own.constBegin(); it != below->own.constEnd(); ++it) {
                if (!layer->own.contains(it.key())) // the upper layer's stands
                    layer->own.insert(it.key(), it.value());
            }
        }
    } else if (m_top) {
        layer->below = m_top;
        layer->depth = m_top->depth + 1;
    }
    layer->own.insert(name, value);
    m_top = std::move(layer);
}

bool CustomProperties::isWideKeyword(const CssValues& values)
{
    static const std::array<const char16_t*, 5> keywords{u"inherit", u"initial", u"unset", u"revert", u"revert-layer"};
    return values.size() == 1
        && std::any_of(keywords.begin(), keywords.end(), [&](const char16_t* k) { return values[0].token.isIdent(k); });
}

bool CustomProperties::holdsVar(const CssValues& values, int depth)
{
    return depth < MaximumNesting && std::any_of(values.begin(), values.end(), [depth](const CssValue& value) {
        return isSubstitution(value) || holdsVar(value.inside, depth + 1);
    });
}

CustomProperties::CustomProperties(const Values* parent, const Registrations& registered, WorkBudget* budget)
    : m_parent(parent)
    , m_registered(registered)
    , m_budget(budget)
{
    // Inherited unless registered otherwise; at the root, a registered property starts at its initial value.
    if (parent)
        m_values = *parent;
    for (auto it = registered.constBegin(); it != registered.constEnd(); ++it) {
        if (!parent || !it->first)
            m_values.insert(it.key(), it->second);
    }
}

bool CustomProperties::spend(qint64 steps)
{
    return !m_budget || m_budget->spend(steps);
}

void CustomProperties::resolve(const QList<Declared>& own)
{
    for (const Declared& declared : own)
        m_own.insert(declared.name, declared.value);
    for (const Declared& declared : own)
        lookup(declared.name, 0);
    for (auto it = m_resolvedOwn.constBegin(); it != m_resolvedOwn.constEnd(); ++it)
        m_values.insert(it.key(), it.value());
}

std::optional<CssValues> CustomProperties::substituted(const CssValues& values)
{
    qsizetype tokens = 0;
    return substitute(values, 0, tokens);
}

std::optional<CssValues> CustomProperties::lookup(const QString& name, int depth)
{
    const auto own = m_own.constFind(name);
    if (own == m_own.constEnd())
        return m_values.value(name);
    if (const auto done = m_resolvedOwn.constFind(name); done != m_resolvedOwn.constEnd())
        return *done;
    if (m_resolving.contains(name) || depth > MaximumDepth)
        return std::nullopt; // a cycle: guaranteed-invalid
    m_resolving.insert(name);
    std::optional<CssValues> result;
    const CssValues& value = **own;
    if (value.size() == 1 && (value[0].token.isIdent(u"inherit") || value[0].token.isIdent(u"unset"))) {
        result = m_parent ? m_parent->value(name) : std::nullopt;
    } else if (value.size() == 1 && value[0].token.isIdent(u"initial")) {
        result = m_registered.contains(name) ? m_registered.value(name).second : std::nullopt;
    } else if (!holdsVar(value)) {
        // Nothing to substitute: the value itself, shared, for the work substitution would count.
        result = spend(value.size()) ? std::optional<CssValues>(value) : std::nullopt;
    } else {
        qsizetype tokens = 0;
        result = substitute(value, depth + 1, tokens);
    }
    m_resolving.remove(name);
    m_resolvedOwn.insert(name, result);
    return result;
}

std::optional<CssValues> CustomProperties::substitute(const CssValues& values, int depth, qsizetype& tokens)
{
    if (depth > MaximumDepth)
        return std::nullopt;
    CssValues result;
    for (const CssValue& value : values) {
        if (!spend())
            return std::nullopt;
        if (isSubstitution(value)) {
            // var( name [, fallback] ), read in place: the fallback is copied only when it is used.
            const CssValues& inside = value.inside;
            const auto skipBlank = [&inside](qsizetype at) {
                while (at < inside.size() && inside[at].token.is(CssToken::Whitespace))
                    ++at;
                return at;
            };
            const qsizetype name = skipBlank(0);
            if (name == inside.size() || !inside[name].token.is(CssToken::Ident))
                return std::nullopt;
            const qsizetype comma = skipBlank(name + 1);
            if (comma < inside.size() && !inside[comma].token.is(CssToken::Comma))
                return std::nullopt;
            std::optional<CssValues> replacement
                = value.isFunction(u"var") ? lookup(inside[name].token.text, depth + 1) : std::nullopt;
            if (!replacement && comma < inside.size()) {
                // Each value of the fallback but var() and whitespace stays a value: a fallback of more
                // than var() may grow a value to is invalid, and is not copied (it may be as long as
                // the text).
                const qsizetype least = std::count_if(inside.begin() + comma + 1, inside.end(),
                    [](const CssValue& item) { return !item.token.is(CssToken::Whitespace) && !isSubstitution(item); });
                if (tokens + least > MaximumTokens)
                    return std::nullopt;
                replacement = substitute(CssParser::trimmed(inside.mid(comma + 1)), depth + 1, tokens);
            }
            if (!replacement)
                return std::nullopt;
            tokens += replacement->size();
            if (tokens > MaximumTokens || !spend(replacement->size()))
                return std::nullopt;
            result += *replacement;
        } else if (!value.inside.isEmpty() && holdsVar(value.inside)) {
            std::optional<CssValues> inside = substitute(value.inside, depth + 1, tokens);
            if (!inside)
                return std::nullopt;
            result.append(CssValue{value.token, std::move(*inside)});
        } else {
            result.append(value);
        }
    }
    return result;
}
