#include "SchemeFormats.h"

#include "colour/ColourFormats.h"
#include "formats/CssText.h"
#include "web/SlotNames.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>

namespace SchemeFormats {

namespace {

using ColourFormats::Format;

QString customProperties(const ColourScheme& scheme, const Margins& margins)
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

QString tailwind(const ColourScheme& scheme)
{
    QString text = QStringLiteral("@theme {\n");
    for (int slot = 0; slot < Slot::Count; ++slot)
        text += QStringLiteral("  --color-%1: %2;\n")
                    .arg(slotName(slot), ColourFormats::write(scheme.colour(slot), Format::Oklch));
    return text + QStringLiteral("}\n");
}

// `asObjects`: each $value an sRGB colour object; otherwise a "#RRGGBB" string, as design tools wrote
// tokens before the colour objects (Style Dictionary 4 writes an object as "[object Object]").
QString tokens(const ColourScheme& scheme, bool asObjects)
{
    QJsonObject root;
    for (int slot = 0; slot < Slot::Count; ++slot) {
        const Rgb colour = scheme.colour(slot);
        // Four decimals of a 0..1 channel are far finer than one 8-bit step.
        const auto component = [](int code) { return std::round(code / 255.0 * 10000) / 10000; };
        const QJsonValue value = asObjects
            ? QJsonValue(QJsonObject{{QStringLiteral("colorSpace"), QStringLiteral("srgb")},
                {QStringLiteral("components"),
                    QJsonArray{component(colour.red()), component(colour.green()), component(colour.blue())}},
                {QStringLiteral("hex"), ColourFormats::write(colour, Format::Hex).toLower()}})
            : QJsonValue(ColourFormats::write(colour, Format::Hex));
        root.insert(slotName(slot),
            QJsonObject{{QStringLiteral("$type"), QStringLiteral("color")}, {QStringLiteral("$value"), value}});
    }
    return QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
}

} // namespace

QString slotName(int slot)
{
    return SlotNames::name(slot);
}

QString write(Shape shape, const ColourScheme& scheme, const Margins& margins)
{
    switch (shape) {
    case Shape::CssRules:
        return CssText::compose(scheme, margins);
    case Shape::CustomProperties:
        return customProperties(scheme, margins);
    case Shape::Tailwind:
        return tailwind(scheme);
    case Shape::Tokens:
        return tokens(scheme, true);
    case Shape::TokensHex:
        return tokens(scheme, false);
    }
    return {};
}

} // namespace SchemeFormats
