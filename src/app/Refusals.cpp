#include "Refusals.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <algorithm>

namespace Refusals {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("Refusals", text);
}

bool isHexDigit(QChar c)
{
    return c.isDigit() || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

const QStringList ColourFunctions{QStringLiteral("rgb"), QStringLiteral("rgba"), QStringLiteral("hsl"),
    QStringLiteral("hsla"), QStringLiteral("hwb"), QStringLiteral("lab"), QStringLiteral("lch"),
    QStringLiteral("oklab"), QStringLiteral("oklch"), QStringLiteral("color"), QStringLiteral("color-mix"),
    QStringLiteral("light-dark")};

} // namespace

QString clipped(QStringView text, qsizetype length)
{
    const QString line = text.toString().simplified();
    return line.size() > length ? line.first(length - 1).trimmed() + QChar(0x2026) : line;
}

QString quoted(QStringView text, qsizetype length)
{
    return QStringLiteral("\u201c%1\u201d").arg(clipped(text, length));
}

QString notAColour(QStringView text)
{
    const QString shown = quoted(text);
    const QString lower = text.toString().toLower();
    if (text.contains(u'<') || text.contains(u'{'))
        return tr("%1 is a page or style rules, not one colour.  Paste it into the tag box and press Ctrl+Return "
                  "to apply it.")
            .arg(shown);
    static const QRegularExpression function(QStringLiteral("^([a-z-]+)\\("));
    if (const QRegularExpressionMatch match = function.match(lower); match.hasMatch()) {
        const QString name = match.captured(1);
        if (name == QLatin1String("var") || name == QLatin1String("env") || name == QLatin1String("attr"))
            return tr("%1 is not a colour by itself: %2() takes its value from a page, and the clipboard holds "
                      "only this.  Paste the page into the tag box and press Ctrl+Return instead.")
                .arg(shown, name);
        if (ColourFunctions.contains(name))
            return tr("%1 is not a colour: %2() cannot read what it holds (the number or kind of its values, or "
                      "a missing bracket).")
                .arg(shown, name);
        return tr("%1 is not a colour: CSS has no colour function %2().").arg(shown, name);
    }
    if (text.startsWith(u'#') || std::all_of(text.begin(), text.end(), isHexDigit)) {
        const QStringView digits = text.startsWith(u'#') ? text.mid(1) : text;
        const auto wrong = std::find_if_not(digits.begin(), digits.end(), isHexDigit);
        if (wrong != digits.end())
            return tr("%1 is not a colour: \u201c%2\u201d is not a hex digit (0 to 9 and A to F).")
                .arg(shown, QString(*wrong));
        if (!text.startsWith(u'#') && (digits.size() == 3 || digits.size() == 4 || digits.size() == 8))
            return tr("%1 is not a colour: without a # only six hex digits are taken.  Write #%2.")
                .arg(shown, digits.toString());
        return tr("%1 is not a colour: a hex colour has 3, 4, 6 or 8 digits, and this has %2.")
            .arg(shown)
            .arg(digits.size());
    }
    static const QRegularExpression word(QStringLiteral("^-?[a-z_][a-z0-9_-]*$"));
    if (word.match(lower).hasMatch())
        return tr("%1 is not a colour: CSS has no colour of that name.").arg(shown);
    if (text.contains(u' ') || text.contains(u'\t') || text.contains(u'\n') || text.contains(u','))
        return tr("%1 is not one colour: a colour is a single value, such as #FF6347, tomato or rgb(255 99 71).")
            .arg(shown);
    return tr("%1 is not a colour that CSS can read.").arg(shown);
}

namespace {

// A few entries of a list, each cut short, joined for a sentence.
QString few(QStringList entries, qsizetype length = 30)
{
    entries.removeDuplicates();
    QStringList shown;
    for (const QString& entry : entries.first(std::min<qsizetype>(entries.size(), 4)))
        shown << (entry.size() > length ? entry.first(length - 1) + QChar(0x2026) : entry);
    if (entries.size() > shown.size())
        shown << QString(QChar(0x2026));
    return shown.join(QStringLiteral(", "));
}

} // namespace

QString nothingUsable(QStringView text, const TagReader::Reading& reading)
{
    const TagReader::Instead& instead = reading.instead;
    if (instead.noStyleSheet)
        return tr("The page has no style sheet and its BODY tag no colour attributes.");
    if (instead.noRules) {
        const QString shown = quoted(text.trimmed());
        if (!instead.varUsed.isEmpty())
            return tr("%1 takes its colour from the custom property %2, which the text never sets.")
                .arg(shown, instead.varUsed);
        if (instead.picture)
            return tr("%1 is a gradient or an image, and a page colour is a single colour.").arg(shown);
        if (instead.colour)
            return tr("%1 is a colour, but the text does not say where it goes: write it in a BODY tag or in a "
                      "rule such as body { background: … }.")
                .arg(shown);
        return tr("%1 is neither a BODY tag nor CSS rules.").arg(shown);
    }
    QStringList said;
    if (!instead.otherSelectors.isEmpty())
        said << tr("It holds rules for %1, which style neither the page's body nor its links.")
                    .arg(few(instead.otherSelectors));
    if (!instead.customsOnly.isEmpty())
        said << tr("It sets the custom properties %1 and nothing else; no colour of the body or its links uses "
                   "them.")
                    .arg(few(instead.customsOnly));
    if (!instead.unsetVars.isEmpty())
        said << tr("Its colours come from var() of %1, which the text never sets.").arg(few(instead.unsetVars));
    if (!instead.pictures.isEmpty())
        said << tr("It paints %1, a gradient or an image where a page colour is a single colour.")
                    .arg(few(instead.pictures, 60));
    if (said.isEmpty())
        said << tr("Its rules set no colour of the body or its links.");
    return said.join(u' ');
}

} // namespace Refusals
