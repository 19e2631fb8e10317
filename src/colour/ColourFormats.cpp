#include "ColourFormats.h"

#include "colour/Srgb.h"
#include "scheme/ValueText.h"
#include "web/ColourText.h"

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

struct Hsl {
    double h;
    double s;
    double l;
};

Hsl hsl(const QColor& colour)
{
    const double r = colour.red() / 255.0;
    const double g = colour.green() / 255.0;
    const double b = colour.blue() / 255.0;
    const double high = std::max({r, g, b});
    const double low = std::min({r, g, b});
    const double l = (high + low) / 2;
    const double d = high - low;
    if (d == 0)
        return {0, 0, l * 100};
    const double s = d / (1 - std::abs(2 * l - 1));
    double h = 0;
    if (high == r)
        h = std::fmod((g - b) / d + 6, 6.0);
    else if (high == g)
        h = (b - r) / d + 2;
    else
        h = (r - g) / d + 4;
    return {h * 60, s * 100, l * 100};
}

QString hslText(const QColor& colour, int decimals)
{
    const Hsl c = hsl(colour);
    return QStringLiteral("hsl(%1 %2% %3%)")
        .arg(number(wrappedHue(c.h, decimals), decimals), number(c.s, decimals), number(c.l, decimals));
}

QString oklchText(const QColor& colour, int decimals)
{
    const Srgb::Oklab lab = Srgb::oklab(Srgb::linear(colour));
    const double chroma = std::hypot(lab.a, lab.b);
    // Chroma is a number near 0.1 where lightness is a percentage: two more decimals give it the same grain.
    const QString c = number(chroma, decimals + 2);
    double hue = std::atan2(lab.b, lab.a) * 180 / std::numbers::pi;
    if (hue < 0)
        hue += 360;
    const QString h = c == QLatin1String("0") ? QStringLiteral("0") : number(wrappedHue(hue, decimals), decimals);
    return QStringLiteral("oklch(%1% %2 %3)").arg(number(lab.L * 100, decimals), c, h);
}

} // namespace

QString write(const QColor& colour, Format format)
{
    switch (format) {
    case Format::Hex:
        return QLatin1Char('#') + ValueText::hexColour(colour.red(), colour.green(), colour.blue());
    case Format::Rgb:
        return QStringLiteral("rgb(%1 %2 %3)").arg(colour.red()).arg(colour.green()).arg(colour.blue());
    case Format::Hsl:
    case Format::Oklch:
        break;
    }
    // The fewest decimals whose text reads back to this very colour.
    const QRgb wanted = colour.rgb();
    QString text;
    for (int decimals = 0; decimals <= MostDecimals; ++decimals) {
        text = format == Format::Hsl ? hslText(colour, decimals) : oklchText(colour, decimals);
        const std::optional<QColor> back = ColourText::parse(text);
        if (back && back->rgb() == wanted)
            break;
    }
    return text;
}

} // namespace ColourFormats
