#include "ColourFormats.h"

#include "ColourSpaces.h"
#include "Srgb.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ColourFormats {

namespace {

// The most decimals any number gets; three sufficed for every 8-bit colour tried, most need none or one.
constexpr int MostDecimals = 6;

QString number(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    // A value that rounds to zero from below would show as "-0".
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

// A hue that rounds up to 360 is written as 0.
double wrappedHue(double hue, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(hue * scale) / scale;
    return rounded >= 360.0 ? 0.0 : rounded;
}

using ColourSpaces::Space;

// The text and the colour it reads back as: its numbers taken as a reader takes them.
struct Written {
    QString text;
    Argb readBack;
};

Written hslText(const Rgb& colour, int decimals)
{
    const ColourSpaces::Triple hsl
        = ColourSpaces::convert(Space::Srgb, Space::Hsl, {colour.redF(), colour.greenF(), colour.blueF()});
    const QString h = number(wrappedHue(std::isnan(hsl[0]) ? 0.0 : hsl[0], decimals), decimals);
    const QString s = number(hsl[1] * 100, decimals);
    const QString l = number(hsl[2] * 100, decimals);
    return {QStringLiteral("hsl(%1 %2% %3%)").arg(h, s, l),
        ColourSpaces::paint(Space::Hsl, {h.toDouble(), s.toDouble() / 100, l.toDouble() / 100})};
}

Written oklchText(const Rgb& colour, int decimals)
{
    const Srgb::Oklab lab = Srgb::oklab(Srgb::linear(colour));
    const double chroma = std::hypot(lab.a, lab.b);
    // Chroma is a number near 0.1 where lightness is a percentage: two more decimals give it the same grain.
    const QString c = number(chroma, decimals + 2);
    double hue = std::atan2(lab.b, lab.a) * 180 / std::numbers::pi;
    if (hue < 0)
        hue += 360;
    const QString h = c == QLatin1String("0") ? QStringLiteral("0") : number(wrappedHue(hue, decimals), decimals);
    const QString l = number(lab.L * 100, decimals);
    const ColourSpaces::Triple lch{l.toDouble() / 100, c.toDouble(), h.toDouble()};
    return {QStringLiteral("oklch(%1% %2 %3)").arg(l, c, h), ColourSpaces::paint(Space::Oklch, lch)};
}

} // namespace

QString write(const Rgb& colour, Format format)
{
    switch (format) {
    case Format::Hex:
        return colour.name().toUpper();
    case Format::Rgb:
        return QStringLiteral("rgb(%1 %2 %3)").arg(colour.red()).arg(colour.green()).arg(colour.blue());
    case Format::Hsl:
    case Format::Oklch:
        break;
    }
    // The fewest decimals whose text reads back to this very colour.
    const Argb wanted = colour.argb();
    Written written;
    for (int decimals = 0; decimals <= MostDecimals; ++decimals) {
        written = format == Format::Hsl ? hslText(colour, decimals) : oklchText(colour, decimals);
        if (written.readBack == wanted)
            break;
    }
    return written.text;
}

} // namespace ColourFormats
