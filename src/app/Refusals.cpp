#include "Refusals.h"

#include "css/ColourText.h"
#include "css/CssParser.h"
#include "web/HtmlDocument.h"

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

// What the style rules of a text set, gathered for the message.
struct Survey {
    QStringList otherSelectors; // rules for elements other than the page, its body and its links
    QStringList customsOnly; // custom properties of rules that set nothing else
    QStringList defined; // every custom property the text sets
    QStringList varsUsed; // custom properties colours are taken from, "--x"
    QStringList pictures; // gradients and images where a colour should be, "background: linear-gradient(…)"
};

bool isColourProperty(const QString& name)
{
    return name == QLatin1String("color") || name == QLatin1String("background")
        || name == QLatin1String("background-color") || name == QLatin1String("background-image");
}

// Whether a selector can reach the page's root, its body or a link.
bool reachesPage(const QString& selector)
{
    static const QRegularExpression page(QStringLiteral("(^|[\\s,>+~(])(html|body|a|\\*|:root)($|[\\s,.:#\\[>+~)])"),
        QRegularExpression::CaseInsensitiveOption);
    return page.match(selector).hasMatch() || selector.trimmed().startsWith(u'&');
}

void varsIn(const CssValues& values, QStringList& found)
{
    for (const CssValue& value : values) {
        if (value.isFunction(u"var")) {
            for (const CssValue& inside : value.inside)
                if (inside.token.type == CssToken::Ident && inside.token.text.startsWith(QLatin1String("--"))) {
                    found << inside.token.text;
                    break;
                }
        }
        varsIn(value.inside, found);
    }
}

bool holdsPicture(const CssValues& values)
{
    for (const CssValue& value : values) {
        if (value.token.type == CssToken::Url
            || (value.token.type == CssToken::Function
                && (value.token.text.endsWith(QLatin1String("gradient"), Qt::CaseInsensitive)
                    || value.isFunction(u"url") || value.isFunction(u"image") || value.isFunction(u"image-set"))))
            return true;
        if (holdsPicture(value.inside))
            return true;
    }
    return false;
}

void survey(const QList<CssRule>& rules, Survey& found, int depth = 0)
{
    if (depth > 16)
        return;
    for (const CssRule& rule : rules) {
        if (!rule.hasBlock)
            continue;
        if (!rule.atName.isEmpty()) {
            survey(CssParser::rules(rule.block), found, depth + 1);
            continue;
        }
        const QString selector = CssParser::text(CssParser::trimmed(rule.prelude)).simplified();
        const QList<CssDeclaration> declarations = CssParser::declarations(rule.block);
        QStringList customs;
        bool other = false;
        for (const CssDeclaration& declaration : declarations) {
            if (declaration.name.startsWith(QLatin1String("--"))) {
                customs << declaration.name;
                continue;
            }
            other = true;
            if (!isColourProperty(declaration.name))
                continue;
            varsIn(declaration.value, found.varsUsed);
            if (holdsPicture(declaration.value))
                found.pictures << declaration.name + QStringLiteral(": ") + CssParser::text(declaration.value);
        }
        found.defined << customs;
        if (!reachesPage(selector))
            found.otherSelectors << selector;
        else if (!other && !customs.isEmpty())
            found.customsOnly << customs;
        survey(CssParser::rules(rule.block), found, depth + 1);
    }
}

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
    Q_UNUSED(reading);
    QStringList sheets;
    const bool page = HtmlDocument::holdsMarkup(text);
    if (page) {
        const HtmlDocument document(text);
        for (const HtmlDocument::StyleSheet& sheet : document.styleSheets())
            sheets << sheet.text;
        if (sheets.isEmpty())
            return tr("The page has no style sheet and its BODY tag no colour attributes.");
    } else if (!text.contains(u'{')) {
        // No rules at all: a value, or words.
        const QString shown = quoted(text.trimmed());
        QStringList vars;
        varsIn(CssParser::values(text), vars);
        if (!vars.isEmpty())
            return tr("%1 takes its colour from the custom property %2, which the text never sets.")
                .arg(shown, vars.first());
        if (holdsPicture(CssParser::values(text)))
            return tr("%1 is a gradient or an image, and a page colour is a single colour.").arg(shown);
        if (ColourText::read(text).colour)
            return tr("%1 is a colour, but the text does not say where it goes: write it in a BODY tag or in a "
                      "rule such as body { background: … }.")
                .arg(shown);
        return tr("%1 is neither a BODY tag nor CSS rules.").arg(shown);
    } else {
        sheets << text.toString();
    }
    Survey found;
    for (const QString& sheet : std::as_const(sheets))
        survey(CssParser::styleSheet(sheet), found);
    QStringList said;
    if (!found.otherSelectors.isEmpty())
        said << tr("It holds rules for %1, which style neither the page's body nor its links.")
                    .arg(few(found.otherSelectors));
    if (!found.customsOnly.isEmpty())
        said << tr("It sets the custom properties %1 and nothing else; no colour of the body or its links uses "
                   "them.")
                    .arg(few(found.customsOnly));
    QStringList unset;
    for (const QString& name : std::as_const(found.varsUsed))
        if (!found.defined.contains(name))
            unset << name;
    if (!unset.isEmpty())
        said << tr("Its colours come from var() of %1, which the text never sets.").arg(few(unset));
    if (!found.pictures.isEmpty())
        said << tr("It paints %1, a gradient or an image where a page colour is a single colour.")
                    .arg(few(found.pictures, 60));
    if (said.isEmpty() && !sheets.isEmpty())
        said << tr("Its rules set no colour of the body or its links.");
    return said.join(u' ');
}

} // namespace Refusals
