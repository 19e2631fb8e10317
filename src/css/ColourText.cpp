#include "ColourText.h"

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

// Our own table rather than Qt's: Qt's SVG list lacks rebeccapurple and takes "transparent".
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

// The system colours of CSS Color 4, current and deprecated: each viewer's desktop decides them.
constexpr std::array<const char*, 42> SystemColours{"accentcolor", "accentcolortext", "activetext", "buttonborder",
    "buttonface", "buttontext", "canvas", "canvastext", "field", "fieldtext", "graytext", "highlight", "highlighttext",
    "linktext", "mark", "marktext", "selecteditem", "selecteditemtext", "visitedtext", "activeborder", "activecaption",
    "appworkspace", "background", "buttonhighlight", "buttonshadow", "captiontext", "inactiveborder", "inactivecaption",
    "inactivecaptiontext", "infobackground", "infotext", "menu", "menutext", "scrollbar", "threeddarkshadow",
    "threedface", "threedhighlight", "threedlightshadow", "threedshadow", "window", "windowframe", "windowtext"};

// A colour before it is painted: its space, channels, alpha, and which of the four are none.
struct Colour {
    Space space = Space::Srgb;
    Triple channels{};
    double alpha = 1;
    std::array<bool, 4> missing{};
};

// What a colour text gave: a colour, or a reason why not.
struct Result {
    std::optional<Colour> colour;
    Refusal refusal = Refusal::NoColour;
    QString name;
};

Result refused(Refusal refusal, QString name = {})
{
    return Result{std::nullopt, refusal, std::move(name)};
}

Result accepted(const Colour& colour)
{
    return Result{colour, Refusal::None, {}};
}

// ---- The values inside colour functions -----------------------------------------------

// One channel value: a number, percentage or angle, calc() of one, or none (nullopt inside).
struct Channel {
    std::optional<CssCalc::Quantity> quantity; // empty for none
};

std::optional<Channel> channel(const CssValue& item)
{
    const CssToken& token = item.token;
    if (token.isIdent(u"none"))
        return Channel{};
    if (item.isFunction(u"calc") || item.isFunction(u"min") || item.isFunction(u"max") || item.isFunction(u"clamp")) {
        std::optional<CssCalc::Quantity> result
            = CssCalc::evaluate(item.isFunction(u"calc") ? item.inside.values() : CssValues{item});
        if (!result)
            return std::nullopt;
        // A NaN result counts as zero, and infinities as the largest values.
        if (std::isnan(result->value))
            result->value = 0;
        result->value
            = std::clamp(result->value, std::numeric_limits<double>::lowest(), std::numeric_limits<double>::max());
        return Channel{result};
    }
    if (token.is(CssToken::Number) || token.is(CssToken::Percentage) || token.is(CssToken::Dimension)) {
        const CssValues one{item};
        if (const std::optional<CssCalc::Quantity> result = CssCalc::evaluate(one))
            return Channel{result};
    }
    return std::nullopt;
}

// The inside of a colour function: three channels split by commas or by whitespace, and an alpha after
// a fourth comma or after a slash.
struct Arguments {
    std::array<Channel, 3> channels;
    std::optional<Channel> alpha;
    bool commas = false;
};

std::optional<Arguments> arguments(const CssValues& inside)
{
    Arguments result;
    QList<const CssValue*> items;
    qsizetype slash = -1;
    for (const CssValue& item : inside) {
        if (item.token.is(CssToken::Whitespace))
            continue;
        if (item.token.is(CssToken::Comma))
            result.commas = true;
        if (item.token.isDelim(u'/')) {
            if (slash >= 0)
                return std::nullopt;
            slash = items.size();
        }
        // Three channels and an alpha take seven items at most, with their commas.
        if (items.size() == 7)
            return std::nullopt;
        items.append(&item);
    }
    QList<const CssValue*> values;
    if (result.commas) {
        // value , value , value [, value]
        if (slash >= 0 || (items.size() != 5 && items.size() != 7))
            return std::nullopt;
        for (qsizetype i = 0; i < items.size(); ++i) {
            if ((i % 2 == 1) != items[i]->token.is(CssToken::Comma))
                return std::nullopt;
            if (i % 2 == 0)
                values.append(items[i]);
        }
    } else {
        if (slash >= 0 && (slash != 3 || items.size() != 5))
            return std::nullopt;
        if (slash < 0 && items.size() != 3)
            return std::nullopt;
        for (qsizetype i = 0; i < items.size(); ++i) {
            if (i != slash)
                values.append(items[i]);
        }
    }
    for (qsizetype i = 0; i < values.size(); ++i) {
        const std::optional<Channel> value = channel(*values[i]);
        if (!value || (result.commas && !value->quantity))
            return std::nullopt;
        if (i < 3)
            result.channels[static_cast<std::size_t>(i)] = *value;
        else
            result.alpha = *value;
    }
    return result;
}

bool isKind(const Channel& value, CssCalc::Quantity::Kind kind)
{
    return value.quantity && value.quantity->kind == kind;
}

// A number or percentage, percentages scaled so that 100% is hundred; none is zero and missing.
std::optional<double> scaled(const Channel& value, double hundred, bool& missing)
{
    missing = !value.quantity;
    if (missing)
        return 0.0;
    if (value.quantity->kind == CssCalc::Quantity::Number)
        return value.quantity->value;
    if (value.quantity->kind == CssCalc::Quantity::Percent)
        return value.quantity->value * hundred / 100;
    return std::nullopt;
}

std::optional<double> hue(const Channel& value, bool& missing)
{
    missing = !value.quantity;
    if (missing)
        return 0.0;
    if (value.quantity->kind != CssCalc::Quantity::Number && value.quantity->kind != CssCalc::Quantity::Angle)
        return std::nullopt;
    return value.quantity->value;
}

// The alpha, clamped to 0..1; a missing one is opaque for painting but stays missing for mixing.
bool readAlpha(const Arguments& args, Colour& colour)
{
    if (!args.alpha)
        return true;
    bool missing = false;
    const std::optional<double> alpha = scaled(*args.alpha, 1, missing);
    if (!alpha)
        return false;
    colour.alpha = missing ? 0 : std::clamp(*alpha, 0.0, 1.0);
    colour.missing[3] = missing;
    return true;
}

double eightBit(double value)
{
    return std::floor(std::clamp(value, 0.0, 255.0) + 0.5);
}

// rgb() and rgba(): legacy colours are 8-bit, so the channels are rounded where they are read.
std::optional<Colour> rgbFunction(const Arguments& args)
{
    if (args.commas) {
        const bool percent = isKind(args.channels[0], CssCalc::Quantity::Percent);
        for (const Channel& value : args.channels) {
            if (!isKind(value, percent ? CssCalc::Quantity::Percent : CssCalc::Quantity::Number))
                return std::nullopt;
        }
    }
    Colour colour;
    for (std::size_t i = 0; i < 3; ++i) {
        bool missing = false;
        const std::optional<double> value = scaled(args.channels[i], 255, missing);
        if (!value)
            return std::nullopt;
        colour.channels[i] = eightBit(*value) / 255;
        colour.missing[i] = missing;
    }
    if (!readAlpha(args, colour))
        return std::nullopt;
    return colour;
}

// hsl() and hwb(): a hue, then two numbers or percentages (percentages only in the comma form).
std::optional<Colour> hueFunction(const Arguments& args, Space space)
{
    if (args.commas
        && (space == Space::Hwb || !isKind(args.channels[1], CssCalc::Quantity::Percent)
            || !isKind(args.channels[2], CssCalc::Quantity::Percent)))
        return std::nullopt;
    Colour colour;
    colour.space = space;
    const std::optional<double> degrees = hue(args.channels[0], colour.missing[0]);
    if (!degrees)
        return std::nullopt;
    colour.channels[0] = *degrees;
    for (std::size_t i = 1; i < 3; ++i) {
        const std::optional<double> value = scaled(args.channels[i], 100, colour.missing[i]);
        if (!value)
            return std::nullopt;
        // As in a browser: saturation and lightness stay within 0..100%; whiteness and blackness only
        // above 0, since their sum is normalised anyway.
        colour.channels[i] = (space == Space::Hsl ? std::clamp(*value, 0.0, 100.0) : std::max(*value, 0.0)) / 100;
    }
    if (!readAlpha(args, colour))
        return std::nullopt;
    return colour;
}

// lab(), lch(), oklab() and oklch(): lightness, then a and b or chroma and hue.
std::optional<Colour> labFunction(const Arguments& args, Space space)
{
    if (args.commas)
        return std::nullopt;
    const bool ok = space == Space::Oklab || space == Space::Oklch;
    const bool polar = space == Space::Lch || space == Space::Oklch;
    const double lightness = ok ? 1 : 100;
    const double axis = ok ? (polar ? 0.4 : 0.4) : (polar ? 150 : 125);
    Colour colour;
    colour.space = space;
    const std::optional<double> l = scaled(args.channels[0], lightness, colour.missing[0]);
    const std::optional<double> second = scaled(args.channels[1], axis, colour.missing[1]);
    const std::optional<double> third
        = polar ? hue(args.channels[2], colour.missing[2]) : scaled(args.channels[2], axis, colour.missing[2]);
    if (!l || !second || !third)
        return std::nullopt;
    colour.channels = {std::clamp(*l, 0.0, lightness), polar ? std::max(*second, 0.0) : *second, *third};
    if (!readAlpha(args, colour))
        return std::nullopt;
    return colour;
}

std::optional<Space> spaceNamed(const CssToken& token, bool forMixing)
{
    if (!token.is(CssToken::Ident))
        return std::nullopt;
    static const std::array<std::pair<const char*, Space>, 16> names{{{"srgb", Space::Srgb},
        {"srgb-linear", Space::SrgbLinear}, {"display-p3", Space::DisplayP3}, {"a98-rgb", Space::A98Rgb},
        {"prophoto-rgb", Space::ProphotoRgb}, {"rec2020", Space::Rec2020}, {"xyz", Space::XyzD65},
        {"xyz-d50", Space::XyzD50}, {"xyz-d65", Space::XyzD65}, {"lab", Space::Lab}, {"lch", Space::Lch},
        {"oklab", Space::Oklab}, {"oklch", Space::Oklch}, {"hsl", Space::Hsl}, {"hwb", Space::Hwb}, {"", Space::Srgb}}};
    const QString name = token.text.toLower();
    for (const auto& [known, space] : names) {
        const bool polarOrLab = space == Space::Lab || space == Space::Lch || space == Space::Oklab
            || space == Space::Oklch || space == Space::Hsl || space == Space::Hwb;
        if (*known && name == QLatin1String(known) && (forMixing || !polarOrLab))
            return space;
    }
    return std::nullopt;
}

// color(space c1 c2 c3 / alpha): numbers or percentages, 100% being 1, and nothing clamped.
std::optional<Colour> colorFunction(const CssValues& inside)
{
    qsizetype at = 0;
    while (at < inside.size() && inside[at].token.is(CssToken::Whitespace))
        ++at;
    if (at >= inside.size())
        return std::nullopt;
    const std::optional<Space> space = spaceNamed(inside[at].token, false);
    if (!space)
        return std::nullopt;
    const CssValues rest = inside.mid(at + 1);
    if (!rest.isEmpty() && !rest.first().token.is(CssToken::Whitespace) && !rest.first().token.isDelim(u'/'))
        return std::nullopt;
    const std::optional<Arguments> args = arguments(rest);
    if (!args || args->commas)
        return std::nullopt;
    Colour colour;
    colour.space = *space;
    for (std::size_t i = 0; i < 3; ++i) {
        const std::optional<double> value = scaled(args->channels[i], 1, colour.missing[i]);
        if (!value)
            return std::nullopt;
        colour.channels[i] = *value;
    }
    if (!readAlpha(*args, colour))
        return std::nullopt;
    return colour;
}

Result colour(const CssValues& values, int depth);

// ---- color-mix() ---------------------------------------------------------------------------------

enum class HueMethod { Shorter, Longer, Increasing, Decreasing };

// Which channels of two spaces mean the same, so that a none carries over: lightness, the two
// opposing axes, chroma and hue, and the red, green and blue of the RGB spaces.
int analogous(Space space, int index)
{
    switch (space) {
    case Space::Lab:
    case Space::Oklab:
        return index == 0 ? 0 : (index == 1 ? 5 : 6); // lightness, a, b
    case Space::Lch:
    case Space::Oklch:
        return index == 0 ? 0 : (index == 1 ? 7 : 4); // lightness, chroma, hue
    case Space::Hsl:
        return index == 0 ? 4 : (index == 2 ? 0 : -1);
    case Space::Hwb:
        return index == 0 ? 4 : -1;
    case Space::XyzD50:
    case Space::XyzD65:
        return index + 8; // x, y, z
    default:
        return index + 1; // red, green, blue
    }
}

Colour toSpace(const Colour& colour, Space space)
{
    Colour result;
    result.space = space;
    result.alpha = colour.alpha;
    result.missing[3] = colour.missing[3];
    result.channels = ColourSpaces::convert(colour.space, space, colour.channels);
    for (int i = 0; i < 3; ++i) {
        auto& missing = result.missing[static_cast<std::size_t>(i)];
        if (std::isnan(result.channels[static_cast<std::size_t>(i)])) {
            // A hue that has no meaning for a grey.
            missing = true;
            result.channels[static_cast<std::size_t>(i)] = 0;
            continue;
        }
        for (int j = 0; j < 3; ++j) {
            if (colour.missing[static_cast<std::size_t>(j)] && analogous(colour.space, j) == analogous(space, i)
                && analogous(space, i) >= 0)
                missing = true;
        }
    }
    return result;
}

Colour mix(Colour first, Colour second, double firstShare, double secondShare, Space space, HueMethod method)
{
    first = toSpace(first, space);
    second = toSpace(second, space);
    for (std::size_t i = 0; i < 4; ++i) {
        double& a = i < 3 ? first.channels[i] : first.alpha;
        double& b = i < 3 ? second.channels[i] : second.alpha;
        if (first.missing[i] && !second.missing[i])
            a = b;
        else if (second.missing[i] && !first.missing[i])
            b = a;
    }
    const int hueAt = ColourSpaces::hueIndex(space);
    if (hueAt >= 0) {
        double& h1 = first.channels[static_cast<std::size_t>(hueAt)];
        double& h2 = second.channels[static_cast<std::size_t>(hueAt)];
        h1 = std::fmod(h1, 360.0) + (std::fmod(h1, 360.0) < 0 ? 360 : 0);
        h2 = std::fmod(h2, 360.0) + (std::fmod(h2, 360.0) < 0 ? 360 : 0);
        const double d = h2 - h1;
        switch (method) {
        case HueMethod::Shorter:
            if (d > 180)
                h1 += 360;
            else if (d < -180)
                h2 += 360;
            break;
        case HueMethod::Longer:
            if (d > 0 && d < 180)
                h1 += 360;
            else if (d > -180 && d <= 0)
                h2 += 360;
            break;
        case HueMethod::Increasing:
            if (d < 0)
                h2 += 360;
            break;
        case HueMethod::Decreasing:
            if (d > 0)
                h1 += 360;
            break;
        }
    }
    Colour result;
    result.space = space;
    result.alpha = first.alpha * firstShare + second.alpha * secondShare;
    result.missing[3] = first.missing[3] && second.missing[3];
    for (std::size_t i = 0; i < 3; ++i) {
        result.missing[i] = first.missing[i] && second.missing[i];
        if (static_cast<int>(i) == hueAt) {
            result.channels[i] = first.channels[i] * firstShare + second.channels[i] * secondShare;
        } else if (result.alpha > 0) {
            result.channels[i]
                = (first.channels[i] * first.alpha * firstShare + second.channels[i] * second.alpha * secondShare)
                / result.alpha;
        }
    }
    return result;
}

// color-mix([in space [hue method]], colour [p%], colour [p%]).
Result colourMix(const CssValues& inside, int depth)
{
    QList<CssValues> parts{{}};
    for (const CssValue& item : inside) {
        if (item.token.is(CssToken::Comma))
            parts.append(CssValues{});
        else
            parts.last().append(item);
    }
    Space space = Space::Oklab;
    HueMethod method = HueMethod::Shorter;
    QList<CssValue> head;
    for (const CssValue& item : parts.first()) {
        if (!item.token.is(CssToken::Whitespace))
            head.append(item);
    }
    if (!head.isEmpty() && head.first().token.isIdent(u"in")) {
        const std::optional<Space> named = head.size() >= 2 ? spaceNamed(head[1].token, true) : std::nullopt;
        if (!named)
            return refused(Refusal::NoColour);
        space = *named;
        if (head.size() == 4 && ColourSpaces::hueIndex(space) >= 0 && head[3].token.isIdent(u"hue")) {
            static const std::array<std::pair<const char16_t*, HueMethod>, 4> methods{
                {{u"shorter", HueMethod::Shorter}, {u"longer", HueMethod::Longer},
                    {u"increasing", HueMethod::Increasing}, {u"decreasing", HueMethod::Decreasing}}};
            const auto found = std::find_if(
                methods.begin(), methods.end(), [&](const auto& known) { return head[2].token.isIdent(known.first); });
            if (found == methods.end())
                return refused(Refusal::NoColour);
            method = found->second;
        } else if (head.size() != 2) {
            return refused(Refusal::NoColour);
        }
        parts.removeFirst();
    }
    if (parts.size() != 2)
        return refused(Refusal::NoColour);
    std::array<Colour, 2> colours;
    std::array<std::optional<double>, 2> shares;
    for (std::size_t i = 0; i < 2; ++i) {
        CssValues part = CssParser::trimmed(parts[static_cast<qsizetype>(i)]);
        // The percentage may stand before or after the colour.
        for (const bool atEnd : {false, true}) {
            if (part.isEmpty())
                break;
            const CssValue& edge = atEnd ? part.last() : part.first();
            if (edge.token.is(CssToken::Percentage) || edge.isFunction(u"calc")) {
                const std::optional<Channel> share = channel(edge);
                if (!share || !isKind(*share, CssCalc::Quantity::Percent) || shares[i])
                    continue;
                if (share->quantity->value < 0 || share->quantity->value > 100)
                    return refused(Refusal::NoColour);
                shares[i] = share->quantity->value;
                part = CssParser::trimmed(atEnd ? part.first(part.size() - 1) : part.mid(1));
            }
        }
        const Result one = colour(part, depth + 1);
        if (one.refusal == Refusal::TransparentKeyword) {
            // Inside a mix, transparent is a colour like any other: black with no alpha.
            colours[i] = Colour{};
            colours[i].alpha = 0;
            continue;
        }
        if (!one.colour)
            return one;
        colours[i] = *one.colour;
    }
    double p1 = shares[0].value_or(shares[1] ? 100 - *shares[1] : 50);
    double p2 = shares[1].value_or(100 - p1);
    const double total = p1 + p2;
    // Shares adding up to 0% make a browser's transparent black.
    if (total <= 0) {
        Colour none;
        none.alpha = 0;
        return accepted(none);
    }
    Colour result = mix(colours[0], colours[1], p1 / total, p2 / total, space, method);
    if (total < 100)
        result.alpha *= total / 100;
    return accepted(result);
}

// ---- Whole colours -------------------------------------------------------------------------------

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

Result keyword(const QString& name)
{
    const QString lower = name.toLower();
    for (const NamedColour& named : Names) {
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
    for (const char* system : SystemColours) {
        if (lower == QLatin1String(system))
            return refused(Refusal::SystemColour, name);
    }
    return refused(Refusal::NoColour);
}

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
    const std::optional<CssValues> resolved = resolvedContext(CssParser::trimmed(value), context, 0);
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

std::span<const NamedColour> namedColours()
{
    return Names;
}

} // namespace ColourText
