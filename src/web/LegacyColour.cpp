#include "LegacyColour.h"

#include "css/ColourText.h"

#include <QString>
#include <algorithm>

namespace LegacyColour {

namespace {

bool isAsciiWhitespace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r';
}

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if ((u | 0x20) >= u'a' && (u | 0x20) <= u'f')
        return (u | 0x20) - u'a' + 10;
    return -1;
}

} // namespace

std::optional<Rgb> parse(QStringView value)
{
    // Only the empty string is no colour: whitespace alone is black, as the rules go.
    if (value.isEmpty())
        return std::nullopt;
    qsizetype first = 0;
    qsizetype last = value.size();
    while (first < last && isAsciiWhitespace(value[first]))
        ++first;
    while (last > first && isAsciiWhitespace(value[last - 1]))
        --last;
    const QStringView input = value.sliced(first, last - first);
    if (input.compare(u"transparent", Qt::CaseInsensitive) == 0)
        return std::nullopt;
    const bool asciiLetters = std::all_of(input.begin(), input.end(),
        [](QChar c) { return (c.unicode() | 0x20) >= u'a' && (c.unicode() | 0x20) <= u'z'; });
    if (asciiLetters) {
        const QString lower = input.toString().toLower();
        for (const ColourText::NamedColour& named : ColourText::namedColours()) {
            if (lower == QLatin1String(named.name))
                return Rgb::fromArgb(named.rgb);
        }
    }
    if (input.size() == 4 && input[0] == u'#' && hexValue(input[1]) >= 0 && hexValue(input[2]) >= 0
        && hexValue(input[3]) >= 0)
        return Rgb(hexValue(input[1]) * 17, hexValue(input[2]) * 17, hexValue(input[3]) * 17);
    // Each code point beyond the BMP counts as "00", then at most 128 code units are looked at.
    QString digits;
    for (qsizetype i = 0; i < input.size() && digits.size() < 128; ++i) {
        if (input[i].isHighSurrogate() && i + 1 < input.size() && input[i + 1].isLowSurrogate()) {
            digits += QLatin1String("00");
            ++i;
        } else {
            digits += input[i];
        }
    }
    digits.truncate(128);
    if (digits.startsWith(u'#'))
        digits.remove(0, 1);
    for (QChar& c : digits) {
        if (hexValue(c) < 0)
            c = u'0';
    }
    while (digits.isEmpty() || digits.size() % 3 != 0)
        digits += u'0';
    qsizetype length = digits.size() / 3;
    QString parts[3] = {digits.first(length), digits.sliced(length, length), digits.sliced(2 * length)};
    if (length > 8) {
        for (QString& part : parts)
            part = part.right(8);
        length = 8;
    }
    while (length > 2 && parts[0][0] == u'0' && parts[1][0] == u'0' && parts[2][0] == u'0') {
        for (QString& part : parts)
            part.remove(0, 1);
        --length;
    }
    const auto channel = [&](const QString& part) {
        return hexValue(part[0]) * (length >= 2 ? 16 : 1) + (length >= 2 ? hexValue(part[1]) : 0);
    };
    return Rgb(channel(parts[0]), channel(parts[1]), channel(parts[2]));
}

} // namespace LegacyColour
