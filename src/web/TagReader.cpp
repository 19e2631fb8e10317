#include "TagReader.h"

#include "DesignTokens.h"
#include "HtmlDocument.h"
#include "LegacyColour.h"
#include "PageColours.h"
#include "SlotNames.h"
#include "TagStyle.h"

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
        if ((colour && !LegacyColour::parse(value)) || (margin && !TagStyle::marginAttribute(value)))
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

void takeMargins(const TagStyle& style, Reading& reading);

// A custom property named after a slot, as this program's copy shapes name them, gives that slot.
void takeNamed(const TagStyle& style, Found& found)
{
    for (int slot = 0; slot < Slot::Count; ++slot) {
        for (const QString& prefix : {QStringLiteral("--color-"), QStringLiteral("--")}) {
            if (const std::optional<Rgb> colour = style.customColour(prefix + SlotNames::name(slot))) {
                found.colours[std::size_t(slot)] = *colour;
                break;
            }
        }
    }
}

// What a lone tag gives by its own attributes and style attribute, without defaults: a slot or margin
// it does not set stays empty.
Reading readGiven(QStringView text, const std::stop_token& stop)
{
    Reading reading;
    const HtmlDocument document(text, stop);
    if (stop.stop_requested())
        return {};
    const HtmlDocument::Attributes body = document.bodyAttributes();
    const TagStyle style(body, TagStyle::styleAttribute(body));
    reading.unusable = unusableAttributes(body);
    if (style.leftOut()) {
        reading.notes << TagStyle::leftOutNote();
        reading.shortfalls << ReadingNotes::Reason::TooLarge;
    }

    const auto take = [&](const std::optional<TagStyle::Value>& value, std::optional<Rgb>& colour) {
        if (value && value->colour)
            colour = value->colour;
        else if (value && !value->unusable.isEmpty())
            reading.unusable << value->unusable;
    };
    Found& found = reading.found;
    take(style.background(), found.colours[Slot::Background]);
    take(style.colour(), found.colours[Slot::Text]);
    take(style.link(TagStyle::Link::Unvisited), found.colours[Slot::NewLink]);
    take(style.link(TagStyle::Link::Visited), found.colours[Slot::VisitedLink]);
    take(style.link(TagStyle::Link::Active), found.colours[Slot::ActiveLink]);
    takeNamed(style, found);
    takeMargins(style, reading);
    reading.unusable.removeDuplicates();
    return reading;
}

// The margins a page's style gives, kept within what a scheme holds.
void takeMargins(const TagStyle& style, Reading& reading)
{
    Found& found = reading.found;
    for (const bool left : {true, false}) {
        const std::optional<TagStyle::Value> value = style.margin(left);
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
    if (options.kind == Options::Kind::Guess) {
        if (const std::optional<DesignTokens::Colours> tokens = DesignTokens::read(text)) {
            Reading reading;
            reading.found.colours = *tokens;
            return reading;
        }
    }
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
    const bool asShown = colours.authored || options.asShown || !options.fileName.isEmpty();
    for (std::size_t slot = 0; slot < Slot::Count && asShown; ++slot)
        reading.found.colours[slot] = Rgb::fromArgb(colours.colours[slot]);
    // The margins: the body's margin attributes, under what the cascade gave.
    QString margins;
    if (colours.marginLeft)
        margins += QStringLiteral("margin-left: %1;").arg(*colours.marginLeft);
    if (colours.marginTop)
        margins += QStringLiteral("margin-top: %1;").arg(*colours.marginTop);
    takeMargins(TagStyle(colours.bodyAttributes, margins), reading);
    reading.unusable = unusableAttributes(colours.bodyAttributes) + reading.unusable + colours.unusable;
    reading.unusable.removeDuplicates();
    reading.notes = colours.notes;
    reading.shortfalls = colours.shortfalls;
    reading.schemeSensitive = colours.schemeSensitive;
    return reading;
}

Found read(QStringView text)
{
    return readExplained(text).found;
}

Found readNamed(QStringView text)
{
    Found found;
    if (const std::optional<DesignTokens::Colours> tokens = DesignTokens::read(text)) {
        found.colours = *tokens;
        return found;
    }
    if (isBodyTagAlone(text)) {
        const HtmlDocument document(text);
        const HtmlDocument::Attributes body = document.bodyAttributes();
        takeNamed(TagStyle(body, TagStyle::styleAttribute(body)), found);
        return found;
    }
    const PageColours colours = PageColours::read(text,
        PageColours::holdsMarkup(text) ? PageColours::Kind::Page : PageColours::Kind::StyleSheet,
        PageColours::Options{});
    for (std::size_t slot = 0; slot < Slot::Count; ++slot) {
        if (colours.named[slot])
            found.colours[slot] = Rgb::fromArgb(*colours.named[slot]);
    }
    return found;
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
