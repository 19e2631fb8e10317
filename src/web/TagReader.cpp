#include "TagReader.h"

#include "HtmlDocument.h"
#include "LegacyColour.h"
#include "PageColours.h"
#include "PageStyle.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

namespace TagReader {

namespace {

// Attribute values a browser passes over, named for the user.
QStringList unusableAttributes(const HtmlDocument::Attributes& body)
{
    QStringList result;
    for (const auto& [name, value] : body) {
        const bool colour = QStringList{QStringLiteral("bgcolor"), QStringLiteral("text"), QStringLiteral("link"),
            QStringLiteral("vlink"), QStringLiteral("alink")}
                                .contains(name);
        const bool margin = QStringList{QStringLiteral("leftmargin"), QStringLiteral("topmargin"),
            QStringLiteral("marginwidth"), QStringLiteral("marginheight")}
                                .contains(name);
        if ((colour && !LegacyColour::parse(value)) || (margin && !PageStyle::marginAttribute(value)))
            result << QStringLiteral("%1=\"%2\"").arg(name, value);
    }
    return result;
}

} // namespace

bool Found::isEmpty() const
{
    return std::none_of(colours.begin(), colours.end(), [](const auto& colour) { return colour.has_value(); })
        && !leftMargin && !topMargin;
}

namespace {

// A text that is one <body …> start tag, whitespace aside: quotes may hold a >.
bool isBodyTagAlone(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    if (!trimmed.startsWith(QLatin1String("<body"), Qt::CaseInsensitive) || trimmed.size() < 6
        || !(trimmed[5] == u'>' || trimmed[5].isSpace() || trimmed[5] == u'/'))
        return false;
    QChar quote;
    for (qsizetype at = 5; at < trimmed.size(); ++at) {
        const QChar c = trimmed[at];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if ((c == u'"' || c == u'\'') && at > 0 && trimmed[at - 1] == u'=') {
            quote = c;
        } else if (c == u'>') {
            return at == trimmed.size() - 1;
        } else if (c == u'<') {
            return false;
        }
    }
    return false;
}

void takeMargins(const PageStyle& style, Reading& reading);

// The reading as the tag's own attributes and the text's rules give it, without defaults: what a lone
// tag gives, and the margins of any text.
Reading readGiven(QStringView text, const std::stop_token& stop)
{
    Reading reading;
    HtmlDocument::Attributes html;
    HtmlDocument::Attributes body;
    QList<HtmlDocument::StyleSheet> sheets;
    if (HtmlDocument::holdsMarkup(text)) {
        const HtmlDocument document(text, stop);
        html = document.htmlAttributes();
        body = document.bodyAttributes();
        sheets = document.styleSheets();
    } else {
        sheets.append({QString(), text.toString()});
    }
    PageStyle style(html, body);
    style.addPresentationalAttributes();
    for (const HtmlDocument::StyleSheet& sheet : sheets) {
        if (stop.stop_requested())
            return {};
        style.addStyleSheet(sheet.text, sheet.media, stop);
    }
    if (stop.stop_requested())
        return {};
    for (const auto& [name, value] : body) {
        if (name == QLatin1String("style"))
            style.addBodyStyle(value);
    }
    reading.unusable = unusableAttributes(body);

    const auto take = [&](const std::optional<PageStyle::Value>& value, std::optional<QColor>& colour) {
        if (value && value->colour)
            colour = value->colour;
        else if (value && !value->unusable.isEmpty())
            reading.unusable << value->unusable;
    };
    Found& found = reading.found;
    take(style.background(), found.colours[Slot::Background]);
    take(style.colour(PageElement::Body), found.colours[Slot::Text]);
    take(style.colour(PageElement::Link), found.colours[Slot::NewLink]);
    take(style.colour(PageElement::VisitedLink), found.colours[Slot::VisitedLink]);
    take(style.colour(PageElement::ActiveLink), found.colours[Slot::ActiveLink]);
    takeMargins(style, reading);
    reading.unusable.removeDuplicates();
    return reading;
}

// The margins a page's style gives, kept within what a scheme holds.
void takeMargins(const PageStyle& style, Reading& reading)
{
    Found& found = reading.found;
    for (const bool left : {true, false}) {
        const std::optional<PageStyle::Value> value = style.margin(left);
        if (!value)
            continue;
        const QString name = left ? QStringLiteral("margin-left") : QStringLiteral("margin-top");
        if (!value->pixels) {
            reading.unusable << value->unusable;
            continue;
        }
        const double rounded = std::floor(std::clamp(*value->pixels, -1e6, 1e6) + 0.5);
        const int kept = int(std::clamp(rounded, double(MarginMinimum), double(MarginMaximum)));
        if (kept != rounded)
            reading.limited << QStringLiteral("%1: %2px").arg(name, QString::number(*value->pixels));
        (left ? found.leftMargin : found.topMargin) = kept;
    }
}

} // namespace

Options::Kind kindOfFile(const QString& fileName)
{
    const QString lower = fileName.toLower();
    if (lower.endsWith(QLatin1String(".css")))
        return Options::Kind::StyleSheet;
    if (lower.endsWith(QLatin1String(".html")) || lower.endsWith(QLatin1String(".htm")))
        return Options::Kind::Page;
    return Options::Kind::Guess;
}

Reading readExplained(QStringView text, const std::stop_token& stop)
{
    Options options;
    options.stop = stop;
    return readExplained(text, options);
}

Reading readExplained(QStringView text, const Options& options)
{
    if (options.kind == Options::Kind::Guess && isBodyTagAlone(text)) {
        Reading reading = readGiven(text, options.stop);
        reading.bodyTagAlone = true;
        return reading;
    }
    Reading reading;
    Options::Kind kind = options.kind;
    if (kind == Options::Kind::Guess)
        kind = PageColours::holdsMarkup(text) ? Options::Kind::Page : Options::Kind::StyleSheet;
    const PageColours colours
        = PageColours::read(text, kind == Options::Kind::Page ? PageColours::Kind::Page : PageColours::Kind::StyleSheet,
            PageColours::Options{options.dark, options.fileName, options.loader, options.stop, options.shared});
    if (options.stop.stop_requested())
        return {};
    // Pasted text that sets no colour at all gives none: there is nothing in it to apply. A file is
    // read as a browser shows it, defaults and all.
    for (std::size_t slot = 0; slot < Slot::Count && (colours.authored || !options.fileName.isEmpty()); ++slot)
        reading.found.colours[slot] = QColor(colours.colours[slot]);
    // The margins: the body's margin attributes, under what the cascade gave, measured as before.
    PageStyle style({}, colours.bodyAttributes);
    style.addPresentationalAttributes();
    QString margins;
    if (colours.marginLeft)
        margins += QStringLiteral("margin-left: %1;").arg(*colours.marginLeft);
    if (colours.marginTop)
        margins += QStringLiteral("margin-top: %1;").arg(*colours.marginTop);
    style.addBodyStyle(margins);
    takeMargins(style, reading);
    reading.unusable = unusableAttributes(colours.bodyAttributes) + reading.unusable + colours.unusable;
    reading.unusable.removeDuplicates();
    reading.notes = colours.notes;
    reading.schemeSensitive = colours.schemeSensitive;
    return reading;
}

Found read(QStringView text)
{
    return readExplained(text).found;
}

QString limitedMessage(const Reading& reading)
{
    QStringList parts = reading.notes;
    if (!reading.limited.isEmpty())
        parts << QCoreApplication::translate("TagReader", "Margins are kept within %1 to %2 pixels, so %3 was limited.")
                     .arg(MarginMinimum)
                     .arg(MarginMaximum)
                     .arg(reading.limited.join(QStringLiteral(", ")));
    return parts.join(u' ');
}

QString ruleMessage(const Reading& reading)
{
    return reading.bodyTagAlone
        ? QCoreApplication::translate("TagReader", "Read as a BODY tag: the colours it does not give stay as they are.")
        : QCoreApplication::translate(
            "TagReader", "Read as a browser shows it: what the text does not set is the browser's default.");
}

QString unusableMessage(const Reading& reading)
{
    if (reading.unusable.isEmpty())
        return {};
    // A message box, not a report: a few entries, each cut short, are enough to show what went wrong.
    QStringList shown;
    for (const QString& entry : reading.unusable.first(std::min<qsizetype>(reading.unusable.size(), 6)))
        shown << (entry.size() > 60 ? entry.first(59) + QChar(0x2026) : entry);
    if (reading.unusable.size() > shown.size())
        shown << QString(QChar(0x2026));
    return QCoreApplication::translate("TagReader", "Found but not usable: %1.").arg(shown.join(QStringLiteral("; ")));
}

} // namespace TagReader
