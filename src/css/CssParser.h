#pragma once

#include "css/CssTokenizer.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <functional>
#include <optional>
#include <stop_token>

struct CssValue;
using CssValues = QList<CssValue>;

// What is inside a block or function, shared by every copy of the value that holds it: one pointer,
// null when there is nothing inside.
class CssBlock {
public:
    CssBlock() = default;
    CssBlock(CssValues values);
    CssBlock(const CssBlock&) = default;
    CssBlock(CssBlock&&) noexcept = default;
    CssBlock& operator=(const CssBlock&) = default;
    CssBlock& operator=(CssBlock&&) noexcept = default;
    ~CssBlock();

    const CssValues& values() const;
    operator const CssValues&() const { return values(); }
    qsizetype size() const;
    bool isEmpty() const { return !d; }
    const CssValue& operator[](qsizetype i) const;
    const CssValue& first() const;
    CssValues mid(qsizetype position, qsizetype length = -1) const;
    CssValues::const_iterator begin() const;
    CssValues::const_iterator end() const;

private:
    struct Data;
    QExplicitlySharedDataPointer<Data> d;
};

// A component value: a token, or a function or a (), [] or {} block with what is inside it. 32 bytes.
struct CssValue {
    CssToken token; // for a block, its opening token; for a function, the function token
    CssBlock inside;

    bool isBlock(CssToken::Type open) const { return token.type == open; }
    bool isFunction(QStringView name) const
    {
        return token.type == CssToken::Function && token.text.compare(name, Qt::CaseInsensitive) == 0;
    }
};

Q_DECLARE_TYPEINFO(CssValue, Q_RELOCATABLE_TYPE);

struct CssBlock::Data : QSharedData {
    CssValues values;
};

inline CssBlock::CssBlock(CssValues values)
    : d(values.isEmpty() ? nullptr : new Data{{}, std::move(values)})
{
}

inline CssBlock::~CssBlock() = default;

inline const CssValues& CssBlock::values() const
{
    static const CssValues none;
    return d ? d->values : none;
}

inline qsizetype CssBlock::size() const
{
    return d ? d->values.size() : 0;
}

inline const CssValue& CssBlock::operator[](qsizetype i) const
{
    return d->values[i];
}

inline const CssValue& CssBlock::first() const
{
    return d->values.first();
}

inline CssValues CssBlock::mid(qsizetype position, qsizetype length) const
{
    return values().mid(position, length);
}

inline CssValues::const_iterator CssBlock::begin() const
{
    return values().begin();
}

inline CssValues::const_iterator CssBlock::end() const
{
    return values().end();
}

// A rule of a style sheet: an at-rule, or a style rule with its selector as the prelude.
struct CssRule {
    QString atName; // lower case; empty for a style rule
    CssValues prelude;
    CssValues block;
    bool hasBlock = false;
};

struct CssDeclaration {
    QString name; // lower case, but custom properties keep their case
    CssValues value; // without the !important and the whitespace around
    bool important = false;
    int line = 0; // of its name in its text, 1-based; 0 for one made by the program
};

// What a style sheet's top level or a block's contents hold, told part by part in order by
// CssParser::contents(), for the caller to give each part its meaning. A part is told where it sits in
// the block, not copied out of it.
class CssContentsHandler {
public:
    virtual ~CssContentsHandler() = default;
    // An at-rule, its name in lower case.
    virtual void atRule(const CssRule& rule) = 0;
    // A style rule whose prelude is block[at, end) and whose {} block is block[end].
    virtual void qualifiedRule(const CssValues& block, qsizetype at, qsizetype end) = 0;
    // One declaration, block[at, end) without its semicolon: in a block nested in a rule only.
    virtual void declaration(const CssValues& block, qsizetype at, qsizetype end) = 0;
    // Whether to read on, asked before each part: a reading told to stop stops between two parts.
    virtual bool readOn() const { return true; }
};

// CSS Syntax Level 3's parser: style sheets, rule lists, declaration lists and component values, with
// a browser's error recovery. Blocks nested deeper than any style sheet needs are kept flat, so that
// no text can exhaust the stack.
class CssParser {
public:
    // Stops early, with the values so far, once `stop` is requested.
    // The most tokens read of one text: four times what the largest real style sheets hold, a quarter
    // of what the text limit allows. Past them the text is cut, and `cut` set.
    static constexpr qsizetype MaximumTokens = 2'000'000;
    static CssValues values(QStringView text, const std::stop_token& stop = {}, bool* cut = nullptr);
    // Stops early, with the rules so far, once `stop` is requested.
    static QList<CssRule> styleSheet(QStringView text, const std::stop_token& stop = {});
    static QList<CssRule> rules(const CssValues& block);
    static QList<CssDeclaration> declarations(const CssValues& block);
    // The declarations of block[from, to).
    static QList<CssDeclaration> declarations(const CssValues& block, qsizetype from, qsizetype to);
    // The same with the values `take` gives, told by the name and where the value sits in block
    // (block.mid(first, last - first) for the value itself): none leaves the declaration out, and its
    // value is not copied.
    static QList<CssDeclaration> declarations(const CssValues& block,
        qsizetype from,
        qsizetype to,
        const std::function<std::optional<CssValues>(const QString& name, qsizetype first, qsizetype last)>& take);
    // The declarations of a block the caller gives up, such as a style attribute's, of the names
    // `wanted`: the longest value is the block's own memory, not a copy.
    // With `valid`, only the last declaration of each name and importance that `valid` takes is kept.
    static QList<CssDeclaration> declarations(CssValues&& block,
        const std::function<bool(const QString&)>& wanted,
        const std::function<bool(const QString&, const CssValues&)>& valid = {});
    // The declarations of a style attribute's text of the names `wanted`, read as far as a style sheet
    // is: past MaximumTokens the rest is left out, and `cut` set.
    static QList<CssDeclaration> styleAttribute(QStringView text,
        const std::function<bool(const QString&)>& wanted,
        bool* cut = nullptr,
        const std::function<bool(const QString&, const CssValues&)>& valid = {});
    // The parts of a block's contents, to `handler`: a style sheet's top level (`nested` false, where
    // <!-- and --> are passed over and there are no declarations) or a rule's block, where declarations
    // and rules mix and a custom property's value may hold {}.
    static void contents(const CssValues& block, bool nested, CssContentsHandler& handler);
    // The values without whitespace at either end.
    static CssValues trimmed(const CssValues& values);
    // The text back from values, for messages: a close approximation, not a serialisation.
    static QString text(const CssValues& values);

private:
    explicit CssParser(CssValues values);

    QList<CssRule> ruleList(bool topLevel, const std::stop_token& stop = {});
    CssRule atRule();
    std::optional<CssRule> qualifiedRule();

    CssValues m_values;
    qsizetype m_at = 0;
};
