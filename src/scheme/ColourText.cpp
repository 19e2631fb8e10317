#include "ColourText.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace ColourText {

namespace {

// Our own table rather than QColor's: Qt's SVG list lacks rebeccapurple and takes "transparent".
constexpr std::array<NamedColour, 148> Names{{
    {"aliceblue", 0xf0f8ff},
    {"antiquewhite", 0xfaebd7},
    {"aqua", 0x00ffff},
    {"aquamarine", 0x7fffd4},
    {"azure", 0xf0ffff},
    {"beige", 0xf5f5dc},
    {"bisque", 0xffe4c4},
    {"black", 0x000000},
    {"blanchedalmond", 0xffebcd},
    {"blue", 0x0000ff},
    {"blueviolet", 0x8a2be2},
    {"brown", 0xa52a2a},
    {"burlywood", 0xdeb887},
    {"cadetblue", 0x5f9ea0},
    {"chartreuse", 0x7fff00},
    {"chocolate", 0xd2691e},
    {"coral", 0xff7f50},
    {"cornflowerblue", 0x6495ed},
    {"cornsilk", 0xfff8dc},
    {"crimson", 0xdc143c},
    {"cyan", 0x00ffff},
    {"darkblue", 0x00008b},
    {"darkcyan", 0x008b8b},
    {"darkgoldenrod", 0xb8860b},
    {"darkgray", 0xa9a9a9},
    {"darkgreen", 0x006400},
    {"darkgrey", 0xa9a9a9},
    {"darkkhaki", 0xbdb76b},
    {"darkmagenta", 0x8b008b},
    {"darkolivegreen", 0x556b2f},
    {"darkorange", 0xff8c00},
    {"darkorchid", 0x9932cc},
    {"darkred", 0x8b0000},
    {"darksalmon", 0xe9967a},
    {"darkseagreen", 0x8fbc8f},
    {"darkslateblue", 0x483d8b},
    {"darkslategray", 0x2f4f4f},
    {"darkslategrey", 0x2f4f4f},
    {"darkturquoise", 0x00ced1},
    {"darkviolet", 0x9400d3},
    {"deeppink", 0xff1493},
    {"deepskyblue", 0x00bfff},
    {"dimgray", 0x696969},
    {"dimgrey", 0x696969},
    {"dodgerblue", 0x1e90ff},
    {"firebrick", 0xb22222},
    {"floralwhite", 0xfffaf0},
    {"forestgreen", 0x228b22},
    {"fuchsia", 0xff00ff},
    {"gainsboro", 0xdcdcdc},
    {"ghostwhite", 0xf8f8ff},
    {"gold", 0xffd700},
    {"goldenrod", 0xdaa520},
    {"gray", 0x808080},
    {"green", 0x008000},
    {"greenyellow", 0xadff2f},
    {"grey", 0x808080},
    {"honeydew", 0xf0fff0},
    {"hotpink", 0xff69b4},
    {"indianred", 0xcd5c5c},
    {"indigo", 0x4b0082},
    {"ivory", 0xfffff0},
    {"khaki", 0xf0e68c},
    {"lavender", 0xe6e6fa},
    {"lavenderblush", 0xfff0f5},
    {"lawngreen", 0x7cfc00},
    {"lemonchiffon", 0xfffacd},
    {"lightblue", 0xadd8e6},
    {"lightcoral", 0xf08080},
    {"lightcyan", 0xe0ffff},
    {"lightgoldenrodyellow", 0xfafad2},
    {"lightgray", 0xd3d3d3},
    {"lightgreen", 0x90ee90},
    {"lightgrey", 0xd3d3d3},
    {"lightpink", 0xffb6c1},
    {"lightsalmon", 0xffa07a},
    {"lightseagreen", 0x20b2aa},
    {"lightskyblue", 0x87cefa},
    {"lightslategray", 0x778899},
    {"lightslategrey", 0x778899},
    {"lightsteelblue", 0xb0c4de},
    {"lightyellow", 0xffffe0},
    {"lime", 0x00ff00},
    {"limegreen", 0x32cd32},
    {"linen", 0xfaf0e6},
    {"magenta", 0xff00ff},
    {"maroon", 0x800000},
    {"mediumaquamarine", 0x66cdaa},
    {"mediumblue", 0x0000cd},
    {"mediumorchid", 0xba55d3},
    {"mediumpurple", 0x9370db},
    {"mediumseagreen", 0x3cb371},
    {"mediumslateblue", 0x7b68ee},
    {"mediumspringgreen", 0x00fa9a},
    {"mediumturquoise", 0x48d1cc},
    {"mediumvioletred", 0xc71585},
    {"midnightblue", 0x191970},
    {"mintcream", 0xf5fffa},
    {"mistyrose", 0xffe4e1},
    {"moccasin", 0xffe4b5},
    {"navajowhite", 0xffdead},
    {"navy", 0x000080},
    {"oldlace", 0xfdf5e6},
    {"olive", 0x808000},
    {"olivedrab", 0x6b8e23},
    {"orange", 0xffa500},
    {"orangered", 0xff4500},
    {"orchid", 0xda70d6},
    {"palegoldenrod", 0xeee8aa},
    {"palegreen", 0x98fb98},
    {"paleturquoise", 0xafeeee},
    {"palevioletred", 0xdb7093},
    {"papayawhip", 0xffefd5},
    {"peachpuff", 0xffdab9},
    {"peru", 0xcd853f},
    {"pink", 0xffc0cb},
    {"plum", 0xdda0dd},
    {"powderblue", 0xb0e0e6},
    {"purple", 0x800080},
    {"rebeccapurple", 0x663399},
    {"red", 0xff0000},
    {"rosybrown", 0xbc8f8f},
    {"royalblue", 0x4169e1},
    {"saddlebrown", 0x8b4513},
    {"salmon", 0xfa8072},
    {"sandybrown", 0xf4a460},
    {"seagreen", 0x2e8b57},
    {"seashell", 0xfff5ee},
    {"sienna", 0xa0522d},
    {"silver", 0xc0c0c0},
    {"skyblue", 0x87ceeb},
    {"slateblue", 0x6a5acd},
    {"slategray", 0x708090},
    {"slategrey", 0x708090},
    {"snow", 0xfffafa},
    {"springgreen", 0x00ff7f},
    {"steelblue", 0x4682b4},
    {"tan", 0xd2b48c},
    {"teal", 0x008080},
    {"thistle", 0xd8bfd8},
    {"tomato", 0xff6347},
    {"turquoise", 0x40e0d0},
    {"violet", 0xee82ee},
    {"wheat", 0xf5deb3},
    {"white", 0xffffff},
    {"whitesmoke", 0xf5f5f5},
    {"yellow", 0xffff00},
    {"yellowgreen", 0x9acd32},
}};

// Only ASCII counts: a full-width digit or letter is not part of a colour.
int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

bool isAsciiLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

// Clamped, then rounded to the nearest step with halves going up: 127.5 -> 128.
int eightBit(double value)
{
    return static_cast<int>(std::floor(std::clamp(value, 0.0, 255.0) + 0.5));
}

std::optional<QColor> hexColour(QStringView digits)
{
    const qsizetype count = digits.size();
    if (count != 3 && count != 4 && count != 6 && count != 8)
        return std::nullopt;
    std::array<int, 8> values{};
    for (qsizetype i = 0; i < count; ++i) {
        values[static_cast<std::size_t>(i)] = hexDigit(digits[i]);
        if (values[static_cast<std::size_t>(i)] < 0)
            return std::nullopt;
    }
    const auto channel
        = [&](std::size_t i) { return count <= 4 ? values[i] * 17 : values[2 * i] * 16 + values[2 * i + 1]; };
    if ((count == 4 || count == 8) && channel(3) != 255)
        return std::nullopt;
    return QColor(channel(0), channel(1), channel(2));
}

// One value inside rgb() or hsl(): a CSS number with an optional % or unit.
struct Component {
    double value = 0;
    QString unit; // lower case; empty for a plain number

    bool isNumber() const { return unit.isEmpty(); }
    bool isPercent() const { return unit == QLatin1String("%"); }
};

std::optional<Component> component(const QString& token)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^([+-]?(?:[0-9]+(?:\.[0-9]+)?|\.[0-9]+))(%|[a-z]*)$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(token);
    if (!match.hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = match.captured(1).toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return Component{value, match.captured(2).toLower()};
}

struct Arguments {
    std::array<Component, 3> values;
    bool commas = false;
};

bool isOpaque(const Component& alpha)
{
    return (alpha.isNumber() && alpha.value >= 1.0) || (alpha.isPercent() && alpha.value >= 100.0);
}

// The inside of the parentheses: three values split by commas or by whitespace, and an alpha after a
// fourth comma or after a slash, which must say fully opaque.
std::optional<Arguments> arguments(QStringView inside)
{
    Arguments arguments;
    arguments.commas = inside.contains(u',');
    QStringList parts;
    std::optional<QString> alpha;
    if (arguments.commas) {
        if (inside.contains(u'/'))
            return std::nullopt;
        parts = inside.toString().split(u',');
        for (QString& part : parts)
            part = part.trimmed();
        if (parts.size() == 4)
            alpha = parts.takeLast();
    } else {
        const QStringList halves = inside.toString().split(u'/');
        if (halves.size() > 2)
            return std::nullopt;
        if (halves.size() == 2)
            alpha = halves[1].trimmed();
        parts = halves[0].simplified().split(u' ', Qt::SkipEmptyParts);
    }
    if (parts.size() != 3)
        return std::nullopt;
    for (std::size_t i = 0; i < 3; ++i) {
        const std::optional<Component> value = component(parts[static_cast<qsizetype>(i)]);
        if (!value)
            return std::nullopt;
        arguments.values[i] = *value;
    }
    if (alpha) {
        const std::optional<Component> value = component(*alpha);
        if (!value || !isOpaque(*value))
            return std::nullopt;
    }
    return arguments;
}

std::optional<QColor> rgbColour(const Arguments& arguments)
{
    std::array<int, 3> channels{};
    for (std::size_t i = 0; i < 3; ++i) {
        const Component& value = arguments.values[i];
        if (value.isNumber())
            channels[i] = eightBit(value.value);
        else if (value.isPercent())
            channels[i] = eightBit(value.value * 255.0 / 100.0);
        else
            return std::nullopt;
        if (arguments.commas && value.unit != arguments.values[0].unit)
            return std::nullopt;
    }
    return QColor(channels[0], channels[1], channels[2]);
}

std::optional<double> degrees(const Component& hue)
{
    if (hue.isNumber() || hue.unit == QLatin1String("deg"))
        return hue.value;
    if (hue.unit == QLatin1String("grad"))
        return hue.value * 0.9;
    if (hue.unit == QLatin1String("rad"))
        return hue.value * 180.0 / std::numbers::pi;
    if (hue.unit == QLatin1String("turn"))
        return hue.value * 360.0;
    return std::nullopt;
}

// Saturation and lightness as fractions. The comma form wants the %, the space form also takes a bare
// number meaning the same.
std::optional<double> fraction(const Component& value, bool commas)
{
    if (!value.isPercent() && (commas || !value.isNumber()))
        return std::nullopt;
    return std::clamp(value.value, 0.0, 100.0) / 100.0;
}

std::optional<QColor> hslColour(const Arguments& arguments)
{
    const std::optional<double> hueDegrees = degrees(arguments.values[0]);
    const std::optional<double> saturation = fraction(arguments.values[1], arguments.commas);
    const std::optional<double> lightness = fraction(arguments.values[2], arguments.commas);
    if (!hueDegrees || !saturation || !lightness)
        return std::nullopt;
    double hue = std::fmod(*hueDegrees, 360.0);
    if (hue < 0)
        hue += 360.0;
    const double l = *lightness;
    const double a = *saturation * std::min(l, 1.0 - l);
    const auto channel = [&](double n) {
        const double k = std::fmod(n + hue / 30.0, 12.0);
        return eightBit(255.0 * (l - a * std::max(-1.0, std::min({k - 3.0, 9.0 - k, 1.0}))));
    };
    return QColor(channel(0), channel(8), channel(4));
}

std::optional<QColor> namedColour(QStringView text)
{
    if (!std::all_of(text.begin(), text.end(), isAsciiLetter))
        return std::nullopt;
    const QString lower = text.toString().toLower();
    for (const NamedColour& named : Names) {
        if (lower == QLatin1String(named.name))
            return QColor(named.rgb);
    }
    return std::nullopt;
}

} // namespace

std::optional<QColor> parse(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    if (trimmed.front() == u'#')
        return hexColour(trimmed.sliced(1));
    if (trimmed.size() == 6) {
        if (const std::optional<QColor> colour = hexColour(trimmed))
            return colour;
    }
    const qsizetype open = trimmed.indexOf(u'(');
    if (open < 0)
        return namedColour(trimmed);
    if (!trimmed.endsWith(u')'))
        return std::nullopt;
    const QString name = trimmed.first(open).trimmed().toString().toLower();
    const std::optional<Arguments> inside = arguments(trimmed.sliced(open + 1, trimmed.size() - open - 2));
    if (!inside)
        return std::nullopt;
    if (name == QLatin1String("rgb") || name == QLatin1String("rgba"))
        return rgbColour(*inside);
    if (name == QLatin1String("hsl") || name == QLatin1String("hsla"))
        return hslColour(*inside);
    return std::nullopt;
}

std::span<const NamedColour> namedColours()
{
    return Names;
}

} // namespace ColourText
