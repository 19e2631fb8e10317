#include "ColourParts.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ColourText {

using ColourSpaces::Space;
using ColourSpaces::Triple;

namespace {

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

} // namespace

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

} // namespace ColourText
