#include "TagReader.h"

#include "ColourText.h"

#include <QList>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <utility>

namespace TagReader {

namespace {

// Tag attribute names, indexed by slot.
constexpr std::array<const char*, Slot::Count> ColourAttributes{"bgcolor", "text", "link", "vlink", "alink"};

// A margin: a number, optionally with px, clamped and rounded to whole pixels. In CSS, a bare number
// other than 0 is no length, so it is not a margin.
std::optional<int> margin(QStringView text, bool css)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^([+-]?(?:[0-9]+(?:\.[0-9]+)?|\.[0-9]+))(px)?$)"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(text.trimmed().toString());
    if (!match.hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = match.captured(1).toDouble(&ok);
    if (!ok || !std::isfinite(value) || (css && !match.hasCaptured(2) && value != 0.0))
        return std::nullopt;
    return static_cast<int>(std::floor(std::clamp(value, double(Margins::Minimum), double(Margins::Maximum)) + 0.5));
}

void overlay(Found& found, const Found& over)
{
    for (std::size_t slot = 0; slot < found.colours.size(); ++slot) {
        if (over.colours[slot])
            found.colours[slot] = over.colours[slot];
    }
    if (over.leftMargin)
        found.leftMargin = over.leftMargin;
    if (over.topMargin)
        found.topMargin = over.topMargin;
}

// ---- The BODY tag --------------------------------------------------------------------------------

bool isHtmlSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

// Where the attributes of the first BODY tag begin, or -1 when the text has none.
qsizetype bodyAttributesStart(QStringView text)
{
    const QStringView open = u"<body";
    for (qsizetype at = text.indexOf(open, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(open, at + 1, Qt::CaseInsensitive)) {
        const qsizetype end = at + open.size();
        if (end == text.size() || isHtmlSpace(text[end]) || text[end] == u'>' || text[end] == u'/')
            return end;
    }
    return -1;
}

// The tag's attributes as a browser splits them, up to its > or, for a tag typed without one, the end.
QList<std::pair<QString, QString>> attributes(QStringView text, qsizetype at)
{
    QList<std::pair<QString, QString>> result;
    const qsizetype end = text.size();
    const auto skipSpace = [&] {
        while (at < end && isHtmlSpace(text[at]))
            ++at;
    };
    while (true) {
        while (at < end && (isHtmlSpace(text[at]) || text[at] == u'/'))
            ++at;
        if (at >= end || text[at] == u'>')
            break;
        const qsizetype nameStart = at++;
        while (at < end && !isHtmlSpace(text[at]) && text[at] != u'/' && text[at] != u'>' && text[at] != u'=')
            ++at;
        const QString name = text.sliced(nameStart, at - nameStart).toString().toLower();
        skipSpace();
        QString value;
        if (at < end && text[at] == u'=') {
            ++at;
            skipSpace();
            if (at < end && (text[at] == u'"' || text[at] == u'\'')) {
                const QChar quote = text[at++];
                qsizetype close = text.indexOf(quote, at);
                if (close < 0)
                    close = end;
                value = text.sliced(at, close - at).toString();
                at = std::min(close + 1, end);
            } else {
                const qsizetype valueStart = at;
                while (at < end && !isHtmlSpace(text[at]) && text[at] != u'>')
                    ++at;
                value = text.sliced(valueStart, at - valueStart).toString();
            }
        }
        result.append({name, value});
    }
    return result;
}

Found readBodyTag(QStringView text)
{
    Found found;
    const qsizetype start = bodyAttributesStart(text);
    if (start < 0)
        return found;
    QSet<QString> seen;
    for (const auto& [name, value] : attributes(text, start)) {
        // As in a browser, the first of a repeated attribute counts, usable or not.
        if (seen.contains(name))
            continue;
        seen.insert(name);
        const auto colourAttribute = std::find_if(ColourAttributes.begin(), ColourAttributes.end(),
            [&wanted = name](const char* known) { return wanted == QLatin1String(known); });
        if (colourAttribute != ColourAttributes.end())
            found.colours[static_cast<std::size_t>(colourAttribute - ColourAttributes.begin())]
                = ColourText::parse(value);
        else if (name == QLatin1String("leftmargin"))
            found.leftMargin = margin(value, false);
        else if (name == QLatin1String("topmargin"))
            found.topMargin = margin(value, false);
    }
    return found;
}

// ---- CSS -----------------------------------------------------------------------------------------

// A value as the cascade leaves it: a later declaration wins unless only the earlier is !important.
template <typename T> struct Declared {
    std::optional<T> value;
    bool important = false;

    void offer(const std::optional<T>& offered, bool isImportant)
    {
        if (!offered || (value && important && !isImportant))
            return;
        value = offered;
        important = isImportant;
    }
};

struct Cascade {
    std::array<Declared<QColor>, Slot::Count> colours;
    Declared<int> left;
    Declared<int> top;
};

QString withoutComments(QStringView text)
{
    QString result;
    qsizetype at = 0;
    while (true) {
        const qsizetype open = text.indexOf(u"/*", at);
        if (open < 0) {
            result += text.sliced(at);
            break;
        }
        result += text.sliced(at, open - at);
        result += u' ';
        const qsizetype close = text.indexOf(u"*/", open + 2);
        if (close < 0)
            break;
        at = close + 2;
    }
    return result;
}

// Splits at separator where it is neither inside parentheses nor inside quotes, so that a data URL's
// ; or rgb()'s commas stay in their value.
QStringList splitOutside(QStringView text, QChar separator)
{
    QStringList parts;
    int depth = 0;
    QChar quote;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            depth = std::max(0, depth - 1);
        } else if (c == separator && depth == 0) {
            parts.append(text.sliced(start, i - start).toString());
            start = i + 1;
        }
    }
    parts.append(text.sliced(start).toString());
    return parts;
}

struct Rule {
    QString selectors;
    QString declarations;
};

// The rules of a style sheet; a block left open at the end of the text runs to the end.
QList<Rule> rules(QStringView css)
{
    QList<Rule> result;
    qsizetype preludeStart = 0;
    qsizetype at = 0;
    while (at < css.size()) {
        const QChar c = css[at];
        if (c == u';' || c == u'}') {
            preludeStart = ++at;
            continue;
        }
        if (c != u'{') {
            ++at;
            continue;
        }
        qsizetype close = at + 1;
        for (int depth = 1; close < css.size(); ++close) {
            if (css[close] == u'{')
                ++depth;
            else if (css[close] == u'}' && --depth == 0)
                break;
        }
        result.append({css.sliced(preludeStart, at - preludeStart).trimmed().toString(),
            css.sliced(at + 1, close - at - 1).toString()});
        at = preludeStart = close + 1;
    }
    return result;
}

std::optional<QColor> backgroundColour(const QString& value)
{
    if (const std::optional<QColor> colour = ColourText::parse(value))
        return colour;
    for (const QString& part : splitOutside(value.simplified(), u' ')) {
        if (const std::optional<QColor> colour = ColourText::parse(part))
            return colour;
    }
    return std::nullopt;
}

constexpr int BodyRule = -1;
constexpr int OtherRule = -2;

int ruleTarget(const QString& selector)
{
    const QString normal = selector.simplified().toLower();
    if (normal == QLatin1String("body"))
        return BodyRule;
    if (normal == QLatin1String("a:link"))
        return Slot::NewLink;
    if (normal == QLatin1String("a:visited"))
        return Slot::VisitedLink;
    if (normal == QLatin1String("a:active"))
        return Slot::ActiveLink;
    return OtherRule;
}

void declare(Cascade& cascade, int target, const QString& property, const QString& value, bool important)
{
    if (target != BodyRule) {
        if (property == QLatin1String("color"))
            cascade.colours[static_cast<std::size_t>(target)].offer(ColourText::parse(value), important);
        return;
    }
    if (property == QLatin1String("background-color"))
        cascade.colours[Slot::Background].offer(ColourText::parse(value), important);
    else if (property == QLatin1String("background"))
        cascade.colours[Slot::Background].offer(backgroundColour(value), important);
    else if (property == QLatin1String("color"))
        cascade.colours[Slot::Text].offer(ColourText::parse(value), important);
    else if (property == QLatin1String("margin-left"))
        cascade.left.offer(margin(value, true), important);
    else if (property == QLatin1String("margin-top"))
        cascade.top.offer(margin(value, true), important);
    else if (property == QLatin1String("margin")) {
        // top [right [bottom [left]]]: the left margin is the fourth value, else the second, else the first.
        const QStringList sides = value.simplified().split(u' ', Qt::SkipEmptyParts);
        if (sides.isEmpty() || sides.size() > 4)
            return;
        cascade.top.offer(margin(sides[0], true), important);
        cascade.left.offer(margin(sides[sides.size() == 4 ? 3 : (sides.size() >= 2 ? 1 : 0)], true), important);
    }
}

Found readCss(QStringView text)
{
    static const QRegularExpression importantMark(
        QStringLiteral(R"(!\s*important\s*$)"), QRegularExpression::CaseInsensitiveOption);
    // Tags around a style sheet, as in a whole page, are no part of it.
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    QString css = withoutComments(text);
    css.replace(tag, QStringLiteral(" "));

    Cascade cascade;
    for (const Rule& rule : rules(css)) {
        if (rule.selectors.startsWith(u'@'))
            continue;
        QList<int> targets;
        for (const QString& selector : splitOutside(rule.selectors, u',')) {
            if (const int target = ruleTarget(selector); target != OtherRule)
                targets.append(target);
        }
        if (targets.isEmpty())
            continue;
        for (const QString& declaration : splitOutside(rule.declarations, u';')) {
            const qsizetype colon = declaration.indexOf(u':');
            if (colon < 0)
                continue;
            const QString property = declaration.first(colon).trimmed().toLower();
            QString value = declaration.sliced(colon + 1).trimmed();
            const QRegularExpressionMatch mark = importantMark.match(value);
            if (mark.hasMatch())
                value = value.first(mark.capturedStart()).trimmed();
            for (const int target : targets)
                declare(cascade, target, property, value, mark.hasMatch());
        }
    }

    Found found;
    for (std::size_t slot = 0; slot < found.colours.size(); ++slot)
        found.colours[slot] = cascade.colours[slot].value;
    found.leftMargin = cascade.left.value;
    found.topMargin = cascade.top.value;
    return found;
}

} // namespace

bool Found::isEmpty() const
{
    return std::none_of(colours.begin(), colours.end(), [](const auto& colour) { return colour.has_value(); })
        && !leftMargin && !topMargin;
}

Found read(QStringView text)
{
    Found found = readBodyTag(text);
    overlay(found, readCss(text));
    return found;
}

bool apply(const Found& found, ColorScheme& scheme, Margins& margins)
{
    const ColorScheme schemeBefore = scheme;
    const Margins marginsBefore = margins;
    for (int slot = 0; slot < Slot::Count; ++slot) {
        if (const std::optional<QColor>& colour = found.colours[static_cast<std::size_t>(slot)]) {
            scheme.setColour(slot, *colour);
        }
    }
    if (found.leftMargin) {
        margins.setUseLeft(true);
        margins.setLeft(*found.leftMargin);
    }
    if (found.topMargin) {
        margins.setUseTop(true);
        margins.setTop(*found.topMargin);
    }
    return scheme != schemeBefore || margins != marginsBefore;
}

} // namespace TagReader
