#include "TagReader.h"

#include "web/HtmlDocument.h"
#include "web/LegacyColour.h"
#include "web/PageStyle.h"

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

Reading readExplained(QStringView text, const std::stop_token& stop)
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
    reading.unusable.removeDuplicates();
    return reading;
}

Found read(QStringView text)
{
    return readExplained(text).found;
}

QString limitedMessage(const Reading& reading)
{
    if (reading.limited.isEmpty())
        return {};
    return QCoreApplication::translate("TagReader", "Margins are kept within %1 to %2 pixels, so %3 was limited.")
        .arg(MarginMinimum)
        .arg(MarginMaximum)
        .arg(reading.limited.join(QStringLiteral(", ")));
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
