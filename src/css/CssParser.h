#pragma once

#include "css/CssTokenizer.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <optional>
#include <stop_token>

// A component value: a token, or a function or a (), [] or {} block with what is inside it.
struct CssValue {
    CssToken token; // for a block, its opening token; for a function, the function token
    QList<CssValue> inside;

    bool isBlock(CssToken::Type open) const { return token.type == open; }
    bool isFunction(QStringView name) const
    {
        return token.type == CssToken::Function && token.text.compare(name, Qt::CaseInsensitive) == 0;
    }
};

Q_DECLARE_TYPEINFO(CssValue, Q_RELOCATABLE_TYPE);

using CssValues = QList<CssValue>;

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
};

// CSS Syntax Level 3's parser: style sheets, rule lists, declaration lists and component values, with
// a browser's error recovery. Blocks nested deeper than any style sheet needs are kept flat, so that
// no text can exhaust the stack.
class CssParser {
public:
    // Stops early, with the values so far, once `stop` is requested.
    static CssValues values(QStringView text, const std::stop_token& stop = {});
    // Stops early, with the rules so far, once `stop` is requested.
    static QList<CssRule> styleSheet(QStringView text, const std::stop_token& stop = {});
    static QList<CssRule> rules(const CssValues& block);
    static QList<CssDeclaration> declarations(const CssValues& block);
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
