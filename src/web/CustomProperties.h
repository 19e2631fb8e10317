#pragma once

#include "css/CssParser.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>
#include <memory>
#include <optional>
#include <utility>

class WorkBudget;

// An element's computed custom properties, by name: its own over those it inherits. A page declares
// hundreds at its root and a few on each element below, so each element keeps only the ones it sets,
// over its parent's, shared rather than copied; past a few levels they are flattened again, so a
// look-up stays short.
class CustomValues {
public:
    // Nothing for a name the element does not have, or whose value is guaranteed-invalid.
    std::optional<CssValues> value(const QString& name) const;
    bool contains(const QString& name) const;
    // Every name, sorted.
    QStringList keys() const;
    void insert(const QString& name, const std::optional<CssValues>& value);

private:
    using Own = QHash<QString, std::optional<CssValues>>;
    struct Layer {
        Own own;
        std::shared_ptr<const Layer> below;
        int depth = 1;
    };
    static constexpr int MaximumDepth = 8;
    const std::optional<CssValues>* find(const QString& name) const;

    std::shared_ptr<const Layer> m_top;
};

// One element's custom properties, and var() and env() in its values worked out: the one resolver the
// cascade and the reader of a lone <body> tag share, so that a tag reads alone as it reads in a page.
//
// Each custom property is worked out once, so a chain of properties each using the next twice stays
// linear. A property in a cycle, one that grows past MaximumTokens or one that nests var() deeper than
// MaximumDepth is guaranteed-invalid (nothing), as in browsers. env() names no variable this program
// knows: it takes its fallback.
class CustomProperties {
public:
    static constexpr int MaximumDepth = 128; // of var() references inside one another
    static constexpr qsizetype MaximumTokens = 1 << 16; // what var() may grow a value to; more is invalid

    // By name; nothing for a guaranteed-invalid value.
    using Values = CustomValues;
    // @property: whether the property inherits, and its initial value.
    using Registrations = QHash<QString, std::pair<bool, std::optional<CssValues>>>;
    // An element's own declaration of a custom property, in the order the page declares them.
    struct Declared {
        QString name;
        const CssValues* value = nullptr;
    };

    // inherit, initial, unset, revert or revert-layer alone.
    static bool isWideKeyword(const CssValues& values);
    // Whether the values hold var() or env() anywhere, to the depth the parser nests blocks.
    static bool holdsVar(const CssValues& values, int depth = 0);

    // `parent` is the parent element's (none for the root, or for a tag read alone); `budget`, when
    // given, is spent on every value substituted, and once spent makes what is left invalid.
    CustomProperties(const Values* parent, const Registrations& registered, WorkBudget* budget);

    // Works out the element's own custom properties. The order matters: a chain deeper than
    // MaximumDepth is cut wherever its resolution starts, and that must not depend on a hash's order.
    void resolve(const QList<Declared>& own);
    // `values` with var() and env() replaced; nothing when they make it invalid.
    std::optional<CssValues> substituted(const CssValues& values);
    // The element's computed custom properties: inherited, registered and its own.
    const Values& values() const { return m_values; }

private:
    std::optional<CssValues> lookup(const QString& name, int depth);
    std::optional<CssValues> substitute(const CssValues& values, int depth, qsizetype& tokens);
    bool spend(qint64 steps = 1);

    const Values* m_parent;
    const Registrations& m_registered;
    WorkBudget* m_budget;
    Values m_values;
    QHash<QString, const CssValues*> m_own;
    QHash<QString, std::optional<CssValues>> m_resolvedOwn;
    QSet<QString> m_resolving;
};
