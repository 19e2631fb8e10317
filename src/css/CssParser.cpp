#include "CssParser.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <optional>

namespace {

constexpr int MaximumDepth = 64;

CssToken::Type closing(CssToken::Type open)
{
    switch (open) {
    case CssToken::OpenCurly:
        return CssToken::CloseCurly;
    case CssToken::OpenSquare:
        return CssToken::CloseSquare;
    default:
        return CssToken::CloseParen;
    }
}

bool opensBlock(const CssToken& token)
{
    return token.is(CssToken::Function) || token.is(CssToken::OpenParen) || token.is(CssToken::OpenSquare)
        || token.is(CssToken::OpenCurly);
}

// Builds the tree without recursion, straight from the tokenizer: a stack of the blocks still open.
// Stops early, with the values so far, once `stop` is requested.
CssValues tree(QStringView text, const std::stop_token& stop, bool* cut = nullptr)
{
    CssValues top;
    // The blocks still open: the token that opened each, and what is inside it so far.
    QList<std::pair<CssToken, CssValues>> open;
    const auto current = [&]() -> CssValues& { return open.isEmpty() ? top : open.last().second; };
    const auto close = [&] {
        auto [token, inside] = open.takeLast();
        current().append(CssValue{std::move(token), CssBlock(std::move(inside))});
    };
    CssTokenizer tokenizer(text);
    qsizetype count = 0;
    for (CssToken token = tokenizer.next(); !token.is(CssToken::End); token = tokenizer.next()) {
        if (count++ % 4096 == 0 && stop.stop_requested())
            break;
        if (count > CssParser::MaximumTokens) {
            if (cut)
                *cut = true;
            break;
        }
        if (!open.isEmpty() && token.type == closing(open.last().first.type)) {
            close();
        } else if (opensBlock(token) && open.size() < MaximumDepth) {
            open.append({std::move(token), {}});
        } else {
            current().append(CssValue{std::move(token), {}});
        }
    }
    while (!open.isEmpty())
        close();
    return top;
}

} // namespace

CssParser::CssParser(CssValues values)
    : m_values(std::move(values))
{
}

CssValues CssParser::values(QStringView text, const std::stop_token& stop, bool* cut)
{
    return tree(text, stop, cut);
}

QList<CssRule> CssParser::styleSheet(QStringView text, const std::stop_token& stop)
{
    return CssParser(tree(text, stop)).ruleList(true, stop);
}

QList<CssRule> CssParser::rules(const CssValues& block)
{
    return CssParser(block).ruleList(false);
}

QList<CssRule> CssParser::ruleList(bool topLevel, const std::stop_token& stop)
{
    QList<CssRule> result;
    while (m_at < m_values.size()) {
        if (result.size() % 1024 == 0 && stop.stop_requested())
            break;
        const CssToken& token = m_values[m_at].token;
        if (token.is(CssToken::Whitespace)) {
            ++m_at;
        } else if (token.is(CssToken::Cdo) || token.is(CssToken::Cdc)) {
            // Only at the top level are <!-- and --> passed over; elsewhere they start a rule.
            if (topLevel) {
                ++m_at;
            } else if (std::optional<CssRule> rule = qualifiedRule()) {
                result.append(std::move(*rule));
            }
        } else if (token.is(CssToken::AtKeyword)) {
            result.append(atRule());
        } else if (std::optional<CssRule> rule = qualifiedRule()) {
            result.append(std::move(*rule));
        }
    }
    return result;
}

CssRule CssParser::atRule()
{
    CssRule rule;
    rule.atName = m_values[m_at++].token.text.toLower();
    while (m_at < m_values.size()) {
        const CssValue& value = m_values[m_at++];
        if (value.token.is(CssToken::Semicolon))
            return rule;
        if (value.isBlock(CssToken::OpenCurly)) {
            rule.block = value.inside;
            rule.hasBlock = true;
            return rule;
        }
        rule.prelude.append(value);
    }
    return rule;
}

std::optional<CssRule> CssParser::qualifiedRule()
{
    CssRule rule;
    while (m_at < m_values.size()) {
        const CssValue& value = m_values[m_at++];
        if (value.isBlock(CssToken::OpenCurly)) {
            rule.block = value.inside;
            rule.hasBlock = true;
            return rule;
        }
        rule.prelude.append(value);
    }
    // A rule with no block at the end of the text is dropped.
    return std::nullopt;
}

QList<CssDeclaration> CssParser::declarations(const CssValues& block)
{
    return declarations(block, 0, block.size());
}

namespace {

// Where a declaration of block[from, to) sits: its name at `name`, its value block[first, last).
struct Span {
    qsizetype name;
    qsizetype first;
    qsizetype last;
    bool important;
};

// Calls `found` with each declaration's span, in order.
template <typename Found>
void scanDeclarations(const CssValues& block, qsizetype from, qsizetype to, const Found& found)
{
    qsizetype at = from;
    while (at < to) {
        const CssToken& token = block[at].token;
        if (token.is(CssToken::Whitespace) || token.is(CssToken::Semicolon)) {
            ++at;
            continue;
        }
        qsizetype end = at;
        while (end < to && !block[end].token.is(CssToken::Semicolon))
            ++end;
        if (!token.is(CssToken::Ident)) {
            // What starts otherwise is a nested rule, which ends with its {} block.
            qsizetype blockAt = at;
            while (blockAt < end && !block[blockAt].isBlock(CssToken::OpenCurly))
                ++blockAt;
            at = blockAt < end ? blockAt + 1 : end;
            continue;
        }
        // The value between the colon and the end, without the whitespace around.
        const auto blank = [&block](qsizetype i) { return block[i].token.is(CssToken::Whitespace); };
        qsizetype first = at + 1;
        qsizetype last = end;
        while (first < last && blank(first))
            ++first;
        if (first < last && block[first].token.is(CssToken::Colon)) {
            bool important = false;
            ++first;
            while (first < last && blank(first))
                ++first;
            while (last > first && blank(last - 1))
                --last;
            // ! important at the end, with any whitespace between.
            if (last - first >= 2 && block[last - 1].token.isIdent(u"important")) {
                qsizetype bang = last - 2;
                while (bang > first && blank(bang))
                    --bang;
                if (block[bang].token.isDelim(u'!')) {
                    important = true;
                    last = bang;
                    while (last > first && blank(last - 1))
                        --last;
                }
            }
            found(Span{at, first, last, important});
        }
        at = end;
    }
}

// A declaration's name: lower case, but a custom property keeps its case. A name already in lower case
// (nearly all) stays the string its tokens share.
QString declaredName(const CssToken& token)
{
    const QString& name = token.text;
    const bool lower = name.startsWith(QLatin1String("--"))
        || std::none_of(name.cbegin(), name.cend(), [](QChar c) { return c >= u'A' && c <= u'Z'; });
    return lower ? name : name.toLower();
}

} // namespace

QList<CssDeclaration> CssParser::declarations(const CssValues& block, qsizetype from, qsizetype to)
{
    QList<CssDeclaration> result;
    scanDeclarations(block, from, to, [&](const Span& span) {
        // The value copied once.
        result.append(CssDeclaration{declaredName(block[span.name].token),
            block.mid(span.first, span.last - span.first), span.important, int(block[span.name].token.line)});
    });
    return result;
}

QList<CssDeclaration> CssParser::declarations(const CssValues& block,
    qsizetype from,
    qsizetype to,
    const std::function<std::optional<CssValues>(const QString& name, qsizetype first, qsizetype last)>& take)
{
    QList<CssDeclaration> result;
    scanDeclarations(block, from, to, [&](const Span& span) {
        QString name = declaredName(block[span.name].token);
        if (std::optional<CssValues> value = take(name, span.first, span.last))
            result.append(
                CssDeclaration{std::move(name), std::move(*value), span.important, int(block[span.name].token.line)});
    });
    return result;
}

QList<CssDeclaration> CssParser::declarations(CssValues&& block,
    const std::function<bool(const QString&)>& wanted,
    const std::function<bool(const QString&, const CssValues&)>& valid)
{
    // The spans first, and the declarations only of those kept: a text of the same short declaration
    // over and over costs its spans alone.
    QList<Span> spans;
    qsizetype longest = -1;
    scanDeclarations(block, 0, block.size(), [&](const Span& span) {
        if (!wanted(declaredName(block[span.name].token)))
            return;
        if (longest < 0 || span.last - span.first > spans[longest].last - spans[longest].first)
            longest = spans.size();
        spans.append(span);
    });
    const auto valueOf = [&block](const Span& span) { return block.mid(span.first, span.last - span.first); };
    // With `valid`, only the last valid declaration of each name and importance is kept, which is all
    // that a browser weighs. The longest value is weighed last, once it holds the values' own list;
    // until then the valid one before it is kept too, in case it is not.
    QHash<qsizetype, CssValues> values;
    if (valid) {
        QSet<std::pair<QString, bool>> decided;
        for (qsizetype i = spans.size() - 1; i >= 0; --i) {
            const QString name = declaredName(block[spans[i].name].token);
            if (i == longest || decided.contains({name, spans[i].important}))
                continue;
            CssValues value = valueOf(spans[i]);
            if (valid(name, value)) {
                decided.insert({name, spans[i].important});
                values.insert(i, std::move(value));
            }
        }
    }
    QList<CssDeclaration> result;
    qsizetype longestAt = -1;
    for (qsizetype i = 0; i < spans.size(); ++i) {
        if (i == longest)
            longestAt = result.size();
        else if (valid && !values.contains(i))
            continue;
        result.append(CssDeclaration{declaredName(block[spans[i].name].token),
            i == longest ? CssValues() : (valid ? values.take(i) : valueOf(spans[i])), spans[i].important,
            int(block[spans[i].name].token.line)});
    }
    // The longest value keeps the values' own list, cut to it in place; the others are copies. So a
    // value as long as the text costs no second copy of it.
    if (longestAt >= 0) {
        const Span span = spans[longest];
        spans = {};
        block.resize(span.last);
        block.remove(0, span.first);
        result[longestAt].value = std::move(block);
        if (valid && !valid(result[longestAt].name, result[longestAt].value))
            result.removeAt(longestAt);
    }
    return result;
}

QList<CssDeclaration> CssParser::styleAttribute(QStringView text,
    const std::function<bool(const QString&)>& wanted,
    bool* cut,
    const std::function<bool(const QString&, const CssValues&)>& valid)
{
    return declarations(tree(text, {}, cut), wanted, valid);
}

void CssParser::contents(const CssValues& block, bool nested, CssContentsHandler& handler)
{
    qsizetype at = 0;
    const qsizetype size = block.size();
    while (at < size && handler.readOn()) {
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
            handler.atRule(rule);
            continue;
        }
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
            // At the top level, what has no {} block runs to the end of the text: a rule with no block.
            if (nested)
                handler.declaration(block, at, end);
            at = end + 1;
            continue;
        }
        handler.qualifiedRule(block, at, end);
        at = end + 1;
    }
}

CssValues CssParser::trimmed(const CssValues& values)
{
    qsizetype first = 0;
    qsizetype last = values.size();
    while (first < last && values[first].token.is(CssToken::Whitespace))
        ++first;
    while (last > first && values[last - 1].token.is(CssToken::Whitespace))
        --last;
    return values.mid(first, last - first);
}

QString CssParser::text(const CssValues& values)
{
    QString result;
    for (const CssValue& value : values) {
        const CssToken& token = value.token;
        switch (token.type) {
        case CssToken::Whitespace:
            result += u' ';
            break;
        case CssToken::Number:
            result += QString::number(token.number, 'g', 10);
            break;
        case CssToken::Percentage:
            result += QString::number(token.number, 'g', 10) + u'%';
            break;
        case CssToken::Dimension:
            result += QString::number(token.number, 'g', 10) + token.text;
            break;
        case CssToken::Hash:
            result += u'#' + token.text;
            break;
        case CssToken::String:
            result += u'"' + token.text + u'"';
            break;
        case CssToken::Function:
            result += token.text + u'(' + text(value.inside) + u')';
            break;
        case CssToken::OpenParen:
            result += u'(' + text(value.inside) + u')';
            break;
        case CssToken::OpenSquare:
            result += u'[' + text(value.inside) + u']';
            break;
        case CssToken::OpenCurly:
            result += u'{' + text(value.inside) + u'}';
            break;
        case CssToken::Comma:
            result += u',';
            break;
        case CssToken::Colon:
            result += u':';
            break;
        case CssToken::AtKeyword:
            result += u'@' + token.text;
            break;
        default:
            result += token.text.toString();
            break;
        }
    }
    return result;
}
