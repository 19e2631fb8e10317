#include "SchemeFormats.h"

#include "colour/ColourFormats.h"
#include "css/ColourText.h"
#include "scheme/CssText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace SchemeFormats {

namespace {

using ColourFormats::Format;

QString customProperties(const ColorScheme& scheme, const Margins& margins)
{
    QString text = QStringLiteral(":root {\n");
    for (int slot = 0; slot < Slot::Count; ++slot)
        text += QStringLiteral("  --%1: %2;\n")
                    .arg(slotName(slot), ColourFormats::write(scheme.colour(slot), Format::Hex));
    text += QStringLiteral("}\nbody { background-color: var(--page-background); color: var(--page-text);");
    if (margins.useLeft())
        text += QStringLiteral(" margin-left: %1px;").arg(margins.left());
    if (margins.useTop())
        text += QStringLiteral(" margin-top: %1px;").arg(margins.top());
    return text
        + QStringLiteral(" }\na:link { color: var(--link); }\na:visited { color: var(--link-visited); }\n"
                         "a:active { color: var(--link-active); }\n");
}

QString tailwind(const ColorScheme& scheme)
{
    QString text = QStringLiteral("@theme {\n");
    for (int slot = 0; slot < Slot::Count; ++slot)
        text += QStringLiteral("  --color-%1: %2;\n")
                    .arg(slotName(slot), ColourFormats::write(scheme.colour(slot), Format::Oklch));
    return text + QStringLiteral("}\n");
}

QString tokens(const ColorScheme& scheme)
{
    QJsonObject root;
    for (int slot = 0; slot < Slot::Count; ++slot) {
        const QColor colour = scheme.colour(slot);
        // Four decimals of a 0..1 channel are far finer than one 8-bit step.
        const auto component = [](int code) { return std::round(code / 255.0 * 10000) / 10000; };
        const QJsonObject value{{QStringLiteral("colorSpace"), QStringLiteral("srgb")},
            {QStringLiteral("components"),
                QJsonArray{component(colour.red()), component(colour.green()), component(colour.blue())}},
            {QStringLiteral("hex"), ColourFormats::write(colour, Format::Hex).toLower()}};
        root.insert(slotName(slot),
            QJsonObject{{QStringLiteral("$type"), QStringLiteral("color")}, {QStringLiteral("$value"), value}});
    }
    return QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
}

int slotOf(const QString& name)
{
    for (int slot = 0; slot < Slot::Count; ++slot)
        if (name.compare(slotName(slot), Qt::CaseInsensitive) == 0)
            return slot;
    return -1;
}

// A token's $value: a colour text, or an object with sRGB components or a hex text.
std::optional<QColor> tokenColour(const QJsonValue& value)
{
    if (value.isString())
        return ColourText::parse(value.toString());
    const QJsonObject object = value.toObject();
    const QJsonArray components = object.value(QStringLiteral("components")).toArray();
    if (object.value(QStringLiteral("colorSpace")).toString() == QLatin1String("srgb") && components.size() == 3) {
        int codes[3];
        for (int i = 0; i < 3; ++i) {
            if (!components.at(i).isDouble())
                return std::nullopt;
            codes[i] = static_cast<int>(std::floor(std::clamp(components.at(i).toDouble(), 0.0, 1.0) * 255 + 0.5));
        }
        return QColor(codes[0], codes[1], codes[2]);
    }
    if (object.value(QStringLiteral("hex")).isString())
        return ColourText::parse(object.value(QStringLiteral("hex")).toString());
    return std::nullopt;
}

// Colour tokens found anywhere in the tree, named by their own key or by their group's path
// ({"page": {"background": …}} is page-background).
void readTokens(const QJsonObject& group, const QString& path, TagReader::Found& found)
{
    for (auto it = group.begin(); it != group.end(); ++it) {
        if (it.key().startsWith(QLatin1Char('$')) || !it->isObject())
            continue;
        const QJsonObject node = it->toObject();
        const QString name = path.isEmpty() ? it.key() : path + QLatin1Char('-') + it.key();
        if (!node.contains(QStringLiteral("$value"))) {
            readTokens(node, name, found);
            continue;
        }
        const QString type = node.value(QStringLiteral("$type")).toString(QStringLiteral("color"));
        int slot = slotOf(name);
        if (slot < 0)
            slot = slotOf(it.key());
        if (slot < 0 || type != QLatin1String("color"))
            continue;
        if (const std::optional<QColor> colour = tokenColour(node.value(QStringLiteral("$value"))))
            found.colours[static_cast<std::size_t>(slot)] = *colour;
    }
}

} // namespace

QString slotName(int slot)
{
    static const char* const names[Slot::Count]
        = {"page-background", "page-text", "link", "link-visited", "link-active"};
    return QString::fromLatin1(names[slot]);
}

QString write(Shape shape, const ColorScheme& scheme, const Margins& margins)
{
    switch (shape) {
    case Shape::CssRules:
        return CssText::compose(scheme, margins);
    case Shape::CustomProperties:
        return customProperties(scheme, margins);
    case Shape::Tailwind:
        return tailwind(scheme);
    case Shape::Tokens:
        return tokens(scheme);
    }
    return {};
}

TagReader::Found readOver(TagReader::Found found, QStringView text, const std::stop_token& stop)
{
    QJsonParseError error{};
    const QJsonDocument json = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error == QJsonParseError::NoError && json.isObject()) {
        readTokens(json.object(), QString(), found);
        return found;
    }
    // Custom properties by name; as in CSS, the last declaration of a name counts.
    static const QRegularExpression property(
        QStringLiteral(
            R"(--(?:color-)?(page-background|page-text|link-visited|link-active|link)\s*:\s*([^;{}]*[^;{}\s]))"),
        QRegularExpression::CaseInsensitiveOption);
    for (const QRegularExpressionMatch& match : property.globalMatch(text.toString())) {
        if (stop.stop_requested())
            break;
        const int slot = slotOf(match.captured(1));
        if (const std::optional<QColor> colour = ColourText::parse(match.capturedView(2)))
            found.colours[static_cast<std::size_t>(slot)] = *colour;
    }
    return found;
}

TagReader::Reading readTagText(QStringView text, const std::stop_token& stop)
{
    TagReader::Options options;
    options.stop = stop;
    return readTagText(text, options);
}

TagReader::Reading readTagText(QStringView text, const TagReader::Options& options)
{
    TagReader::Reading reading = TagReader::readExplained(text, options);
    if (options.stop.stop_requested())
        return {};
    // Style sheets and pages carry the custom properties through the cascade; design tokens, and a
    // text no browser would read, still give theirs here.
    const bool anyColour = std::any_of(reading.found.colours.begin(), reading.found.colours.end(),
        [](const std::optional<QColor>& colour) { return colour.has_value(); });
    if (!anyColour || reading.bodyTagAlone)
        reading.found = readOver(reading.found, text, options.stop);
    return options.stop.stop_requested() ? TagReader::Reading{} : reading;
}

} // namespace SchemeFormats
