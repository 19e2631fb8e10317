#include "ColourText.h"

#include "ColourParts.h"

#include "colour/ColourSpaces.h"
#include "css/CssCalc.h"

#include <QCoreApplication>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

namespace ColourText {

namespace {

using ColourSpaces::Space;
using ColourSpaces::Triple;

std::optional<Colour> hexColour(QStringView digits)
{
    const qsizetype count = digits.size();
    if (count != 3 && count != 4 && count != 6 && count != 8)
        return std::nullopt;
    std::array<int, 8> values{};
    for (qsizetype i = 0; i < count; ++i) {
        const char16_t u = digits[i].unicode();
        int& value = values[static_cast<std::size_t>(i)];
        if (u >= u'0' && u <= u'9')
            value = u - u'0';
        else if ((u | 0x20) >= u'a' && (u | 0x20) <= u'f')
            value = (u | 0x20) - u'a' + 10;
        else
            return std::nullopt;
    }
    const auto channel
        = [&](std::size_t i) { return (count <= 4 ? values[i] * 17 : values[2 * i] * 16 + values[2 * i + 1]) / 255.0; };
    Colour colour;
    colour.channels = {channel(0), channel(1), channel(2)};
    colour.alpha = count == 4 || count == 8 ? channel(3) : 1.0;
    return colour;
}

// Keywords match in ASCII case only, as in a browser: a Kelvin sign (U+212A) is no k.
QString asciiLower(const QString& text)
{
    QString lower = text;
    for (QChar& c : lower) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return lower;
}

Result keyword(const QString& name)
{
    const QString lower = asciiLower(name);
    for (const NamedColour& named : namedColours()) {
        if (lower == QLatin1String(named.name)) {
            Colour colour;
            colour.channels = {redOf(named.rgb) / 255.0, greenOf(named.rgb) / 255.0, blueOf(named.rgb) / 255.0};
            return accepted(colour);
        }
    }
    if (lower == QLatin1String("transparent"))
        return refused(Refusal::TransparentKeyword, name);
    if (lower == QLatin1String("currentcolor"))
        return refused(Refusal::CurrentColour, name);
    for (const char* system : systemColourNames()) {
        if (lower == QLatin1String(system))
            return refused(Refusal::SystemColour, name);
    }
    return refused(Refusal::NoColour);
}

} // namespace

Result colour(const CssValues& values, int depth)
{
    const CssValues trimmed = CssParser::trimmed(values);
    if (trimmed.size() != 1 || depth > 16)
        return refused(Refusal::NoColour);
    const CssValue& item = trimmed.first();
    const CssToken& token = item.token;
    if (token.is(CssToken::Ident))
        return keyword(token.text);
    if (token.is(CssToken::Hash)) {
        if (const std::optional<Colour> hex = hexColour(token.text.toString()))
            return accepted(*hex);
        return refused(Refusal::NoColour);
    }
    if (!token.is(CssToken::Function))
        return refused(Refusal::NoColour);
    const QString name = token.text.toLower();
    if (name == QLatin1String("color-mix"))
        return colourMix(item.inside, depth);
    std::optional<Colour> result;
    if (name == QLatin1String("color")) {
        result = colorFunction(item.inside);
    } else if (const std::optional<Arguments> args = arguments(item.inside)) {
        if (name == QLatin1String("rgb") || name == QLatin1String("rgba"))
            result = rgbFunction(*args);
        else if (name == QLatin1String("hsl") || name == QLatin1String("hsla"))
            result = hueFunction(*args, Space::Hsl);
        else if (name == QLatin1String("hwb"))
            result = hueFunction(*args, Space::Hwb);
        else if (name == QLatin1String("lab"))
            result = labFunction(*args, Space::Lab);
        else if (name == QLatin1String("lch"))
            result = labFunction(*args, Space::Lch);
        else if (name == QLatin1String("oklab"))
            result = labFunction(*args, Space::Oklab);
        else if (name == QLatin1String("oklch"))
            result = labFunction(*args, Space::Oklch);
    }
    if (!result)
        return refused(Refusal::NoColour);
    // hsl() and hwb() are legacy sRGB colours: 8-bit like rgb().
    if (result->space == Space::Hsl || result->space == Space::Hwb) {
        const Triple rgb = ColourSpaces::convert(result->space, Space::Srgb, result->channels);
        if (!std::any_of(result->missing.begin(), result->missing.begin() + 3, [](bool m) { return m; })) {
            result->space = Space::Srgb;
            for (std::size_t i = 0; i < 3; ++i)
                result->channels[i] = eightBit(rgb[i] * 255) / 255;
        }
    }
    return accepted(*result);
}

namespace {

Reading painted(const Result& result, const QString& text)
{
    Reading reading;
    reading.refusal = result.refusal;
    reading.name = result.name;
    if (!result.colour)
        return reading;
    const Colour& colour = *result.colour;
    // A missing alpha paints as zero, as any missing channel does.
    const double alpha = colour.missing[3] ? 0.0 : colour.alpha;
    if (std::floor(std::clamp(alpha, 0.0, 1.0) * 255 + 0.5) != 255) {
        reading.refusal = Refusal::Transparent;
        reading.name = text;
        return reading;
    }
    Triple channels = colour.channels;
    for (std::size_t i = 0; i < 3; ++i) {
        if (colour.missing[i])
            channels[i] = 0;
    }
    reading.colour = Rgb::fromArgb(ColourSpaces::paint(colour.space, channels));
    reading.refusal = Refusal::None;
    return reading;
}

bool isSixHexDigits(QStringView text)
{
    return text.size() == 6 && std::all_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= u'0' && u <= u'9') || ((u | 0x20) >= u'a' && (u | 0x20) <= u'f');
    });
}

// The channel names relative colour syntax gives each function, and the scale of each channel's
// reference value against how this reader keeps it.
struct RelativeChannels {
    const char* function;
    Space space;
    std::array<const char16_t*, 3> names;
    std::array<double, 3> scale;
};

constexpr std::array<RelativeChannels, 9> Relatives{{
    {"rgb", Space::Srgb, {u"r", u"g", u"b"}, {255, 255, 255}},
    {"rgba", Space::Srgb, {u"r", u"g", u"b"}, {255, 255, 255}},
    {"hsl", Space::Hsl, {u"h", u"s", u"l"}, {1, 100, 100}},
    {"hsla", Space::Hsl, {u"h", u"s", u"l"}, {1, 100, 100}},
    {"hwb", Space::Hwb, {u"h", u"w", u"b"}, {1, 100, 100}},
    {"lab", Space::Lab, {u"l", u"a", u"b"}, {1, 1, 1}},
    {"lch", Space::Lch, {u"l", u"c", u"h"}, {1, 1, 1}},
    {"oklab", Space::Oklab, {u"l", u"a", u"b"}, {1, 1, 1}},
    {"oklch", Space::Oklch, {u"l", u"c", u"h"}, {1, 1, 1}},
}};

CssValue numberValue(double number)
{
    CssValue value;
    value.token.type = CssToken::Number;
    value.token.number = number;
    return value;
}

// oklch(from <colour> …): the channel keywords replaced by the origin colour's channels in the
// function's space, so that the function then reads as an absolute colour. Nothing when it is no
// valid relative colour.
std::optional<CssValue> absoluteColour(const CssValue& function, int depth)
{
    const CssValues inside = CssParser::trimmed(function.inside);
    if (inside.isEmpty() || !inside[0].token.isIdent(u"from"))
        return function;
    qsizetype at = 1;
    while (at < inside.size() && inside[at].token.is(CssToken::Whitespace))
        ++at;
    if (at >= inside.size())
        return std::nullopt;
    const Result origin = colour(CssValues{inside[at]}, depth + 1);
    if (!origin.colour)
        return std::nullopt;
    CssValues rest = CssParser::trimmed(inside.mid(at + 1));
    const QString name = function.token.text.toLower();
    Space space = Space::Srgb;
    std::array<const char16_t*, 3> names{u"r", u"g", u"b"};
    std::array<double, 3> scale{1, 1, 1};
    if (name == QLatin1String("color")) {
        if (rest.isEmpty())
            return std::nullopt;
        const std::optional<Space> named = spaceNamed(rest[0].token, false);
        if (!named)
            return std::nullopt;
        space = *named;
        if (space == Space::XyzD50 || space == Space::XyzD65)
            names = {u"x", u"y", u"z"};
    } else {
        const auto found = std::find_if(Relatives.begin(), Relatives.end(),
            [&](const RelativeChannels& r) { return name == QLatin1String(r.function); });
        if (found == Relatives.end())
            return std::nullopt;
        space = found->space;
        names = found->names;
        scale = found->scale;
    }
    Triple channels = ColourSpaces::convert(origin.colour->space, space, origin.colour->channels);
    if ((space == Space::Hsl || space == Space::Hwb) && std::isnan(channels[0]))
        channels[0] = 0;
    const auto replaced = [&](const CssValues& values, const auto& self, int level) -> CssValues {
        CssValues result;
        for (const CssValue& value : values) {
            if (value.token.is(CssToken::Ident)) {
                bool done = false;
                for (std::size_t i = 0; i < 3 && !done; ++i) {
                    if (value.token.isIdent(names[i])) {
                        result.append(numberValue(channels[i] * scale[i]));
                        done = true;
                    }
                }
                if (!done && value.token.isIdent(u"alpha")) {
                    result.append(numberValue(origin.colour->alpha));
                    done = true;
                }
                if (!done)
                    result.append(value);
            } else if (!value.inside.isEmpty() && level < 16) {
                result.append(CssValue{value.token, self(value.inside, self, level + 1)});
            } else {
                result.append(value);
            }
        }
        return result;
    };
    CssValue absolute{function.token, replaced(rest, replaced, 0)};
    return absolute;
}

// The value with light-dark(), currentcolor, the system colours and relative colours worked out.
std::optional<CssValues> resolvedContext(const CssValues& values, const Context& context, int depth)
{
    if (depth > 16)
        return std::nullopt;
    // Most values hold nothing to work out: they are given back as they are, not copied (a value may
    // be as long as the text). A copy is made from the first value that changes.
    std::optional<CssValues> result;
    const auto changed = [&](qsizetype at) -> CssValues& {
        if (!result)
            result = values.first(at);
        return *result;
    };
    const auto kept = [&](const CssValue& value) {
        if (result)
            result->append(value);
    };
    for (qsizetype at = 0; at < values.size(); ++at) {
        const CssValue& value = values[at];
        if (value.isFunction(u"light-dark")) {
            QList<CssValues> parts{{}};
            for (const CssValue& item : value.inside) {
                if (item.token.is(CssToken::Comma) && parts.size() > 2)
                    return std::nullopt;
                if (item.token.is(CssToken::Comma))
                    parts.append(CssValues{});
                else
                    parts.last().append(item);
            }
            if (parts.size() != 2)
                return std::nullopt;
            std::optional<CssValues> chosen
                = resolvedContext(CssParser::trimmed(parts[context.dark ? 1 : 0]), context, depth + 1);
            if (!chosen || chosen->size() != 1)
                return std::nullopt;
            changed(at) += *chosen;
        } else if (value.token.is(CssToken::Ident)) {
            std::optional<Argb> rgba;
            if (value.token.isIdent(u"currentcolor"))
                rgba = context.currentColour;
            else
                rgba = systemColour(value.token.text.toString(), context.dark);
            if (!rgba) {
                kept(value);
                continue;
            }
            CssValue function;
            function.token.type = CssToken::Function;
            function.token.text = QStringLiteral("rgb");
            const CssValues channels = CssParser::values(QStringLiteral("%1 %2 %3 / %4")
                                                             .arg(redOf(*rgba))
                                                             .arg(greenOf(*rgba))
                                                             .arg(blueOf(*rgba))
                                                             .arg(alphaOf(*rgba) / 255.0));
            function.inside = channels;
            changed(at).append(function);
        } else if (!value.inside.isEmpty()) {
            std::optional<CssValues> inside = resolvedContext(value.inside, context, depth + 1);
            if (!inside)
                return std::nullopt;
            const std::optional<CssValue> absolute = value.token.is(CssToken::Function)
                ? absoluteColour(CssValue{value.token, *inside}, depth)
                : CssValue{value.token, *inside};
            if (!absolute)
                return std::nullopt;
            if (absolute->inside.values().constData() == value.inside.values().constData())
                kept(value);
            else
                changed(at).append(*absolute);
        } else {
            kept(value);
        }
    }
    return result ? *result : values;
}

} // namespace

std::optional<Argb> systemColour(QStringView name, bool dark)
{
    static const std::array<std::tuple<const char16_t*, Argb, Argb>, 7> colours{{
        {u"canvas", argb(255, 255, 255), argb(0x12, 0x12, 0x12)},
        {u"canvastext", argb(0, 0, 0), argb(255, 255, 255)},
        {u"linktext", argb(0, 0, 0xEE), argb(0x9E, 0x9E, 0xFF)},
        {u"visitedtext", argb(0x55, 0x1A, 0x8B), argb(0xD0, 0xAD, 0xF0)},
        {u"activetext", argb(0xFF, 0, 0), argb(0xFF, 0x9E, 0x9E)},
        {u"-webkit-link", argb(0, 0, 0xEE), argb(0x9E, 0x9E, 0xFF)},
        {u"-webkit-activelink", argb(0xFF, 0, 0), argb(0xFF, 0x9E, 0x9E)},
    }};
    for (const auto& [keyword, light, darkColour] : colours) {
        if (name.compare(QStringView(keyword), Qt::CaseInsensitive) == 0)
            return dark ? darkColour : light;
    }
    return std::nullopt;
}

std::optional<Argb> readRgba(const CssValues& value, const Context& context)
{
    // A lone keyword, as the browser's own colours and inherited ones are mostly given: no parsing.
    const CssValues trimmed = CssParser::trimmed(value);
    if (trimmed.size() == 1 && trimmed[0].token.is(CssToken::Ident)) {
        if (trimmed[0].token.isIdent(u"currentcolor"))
            return context.currentColour;
        if (const std::optional<Argb> system = systemColour(trimmed[0].token.text.toString(), context.dark))
            return system;
    }
    const std::optional<CssValues> resolved = resolvedContext(trimmed, context, 0);
    if (!resolved)
        return std::nullopt;
    if (resolved->size() == 1 && resolved->first().token.isIdent(u"transparent"))
        return argb(0, 0, 0, 0);
    const Result result = colour(*resolved, 0);
    if (!result.colour)
        return std::nullopt;
    const Colour& c = *result.colour;
    const double alpha = c.missing[3] ? 0.0 : std::clamp(c.alpha, 0.0, 1.0);
    Triple channels = c.channels;
    for (std::size_t i = 0; i < 3; ++i) {
        if (c.missing[i])
            channels[i] = 0;
    }
    const Argb rgb = ColourSpaces::paint(c.space, channels);
    return argb(redOf(rgb), greenOf(rgb), blueOf(rgb), int(std::floor(alpha * 255 + 0.5)));
}

Reading read(const CssValues& value)
{
    return painted(colour(value, 0), CssParser::text(CssParser::trimmed(value)));
}

Reading read(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    if (isSixHexDigits(trimmed))
        return painted(accepted(*hexColour(trimmed)), {});
    return painted(colour(CssParser::values(text), 0), trimmed.toString());
}

std::optional<Rgb> parse(QStringView text)
{
    return read(text).colour;
}

QString message(const Reading& reading)
{
    // A whole page pasted by mistake is named by its start.
    const QString name = reading.name.size() > 60 ? reading.name.first(59) + QChar(0x2026) : reading.name;
    switch (reading.refusal) {
    case Refusal::Transparent:
        return QCoreApplication::translate("ColourText", "“%1” is a transparent colour, and page colours are opaque.")
            .arg(name);
    case Refusal::TransparentKeyword:
        return QCoreApplication::translate(
            "ColourText", "“%1” is no colour but the page behind showing through, and page colours are opaque.")
            .arg(name);
    case Refusal::CurrentColour:
        return QCoreApplication::translate(
            "ColourText", "“%1” has no colour of its own: it repeats the text colour wherever it is used.")
            .arg(name);
    case Refusal::SystemColour:
        return QCoreApplication::translate(
            "ColourText", "“%1” is a system colour, which each reader's desktop decides.")
            .arg(name);
    default:
        return {};
    }
}

} // namespace ColourText
