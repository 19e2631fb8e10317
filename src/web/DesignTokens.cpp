#include "DesignTokens.h"

#include "SlotNames.h"
#include "css/ColourText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>

namespace DesignTokens {

namespace {

// A token's $value: a colour text, or an object with sRGB components or a hex text.
std::optional<Rgb> tokenColour(const QJsonValue& value)
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
        return Rgb(codes[0], codes[1], codes[2]);
    }
    if (object.value(QStringLiteral("hex")).isString())
        return ColourText::parse(object.value(QStringLiteral("hex")).toString());
    return std::nullopt;
}

void readGroup(const QJsonObject& group, const QString& path, Colours& found)
{
    for (auto it = group.begin(); it != group.end(); ++it) {
        if (it.key().startsWith(QLatin1Char('$')) || !it->isObject())
            continue;
        const QJsonObject node = it->toObject();
        const QString name = path.isEmpty() ? it.key() : path + QLatin1Char('-') + it.key();
        if (!node.contains(QStringLiteral("$value"))) {
            readGroup(node, name, found);
            continue;
        }
        const QString type = node.value(QStringLiteral("$type")).toString(QStringLiteral("color"));
        std::optional<int> slot = SlotNames::slotOf(name);
        if (!slot)
            slot = SlotNames::slotOf(it.key());
        if (!slot || type != QLatin1String("color"))
            continue;
        if (const std::optional<Rgb> colour = tokenColour(node.value(QStringLiteral("$value"))))
            found[static_cast<std::size_t>(*slot)] = *colour;
    }
}

} // namespace

std::optional<Colours> read(QStringView text)
{
    // Only a text that opens as an object can be one; a style sheet is not parsed as JSON.
    if (!text.trimmed().startsWith(u'{'))
        return std::nullopt;
    QJsonParseError error{};
    const QJsonDocument json = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !json.isObject())
        return std::nullopt;
    Colours found;
    readGroup(json.object(), QString(), found);
    return found;
}

} // namespace DesignTokens
