#include "PrintableText.h"

#include <algorithm>

namespace PrintableText {

namespace {

// Characters that move the rest of the line about on a terminal or in an editor.
bool reorders(char16_t c)
{
    return c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x200E
        || c == 0x200F || c == 0x061C;
}

QString hexDigits(char16_t c, int width)
{
    return QString::number(static_cast<uint>(c), 16).toUpper().rightJustified(width, u'0');
}

struct Escapes {
    bool backslash; // a backslash is doubled
    bool lineEnd; // a line end is written "\n"
};

QString escapedWith(const QString& text, Escapes escapes)
{
    const auto plain
        = [&](char16_t c) { return c >= 0x20 && c != 0x7F && c != u'\\' && (c < 0x80 || (c > 0x9F && !reorders(c))); };
    if (std::all_of(text.begin(), text.end(), [&](QChar ch) { return plain(ch.unicode()); }))
        return text; // most text, shared as it is
    QString out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if ((c == u'\n' && !escapes.lineEnd) || (c == u'\\' && !escapes.backslash)) {
            out += ch;
            continue;
        }
        switch (c) {
        case u'\n':
            out += QLatin1StringView("\\n");
            continue;
        case u'\r':
            out += QLatin1StringView("\\r");
            continue;
        case u'\t':
            out += QLatin1StringView("\\t");
            continue;
        case u'\\':
            out += QLatin1StringView("\\\\");
            continue;
        default:
            break;
        }
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
            out += QLatin1StringView("\\x") + hexDigits(c, 2);
        else if (reorders(c))
            out += QLatin1StringView("\\u{") + hexDigits(c, 4) + u'}';
        else
            out += ch;
    }
    return out;
}

} // namespace

QString escaped(const QString& text)
{
    return escapedWith(text, {.backslash = true, .lineEnd = true});
}

QString shown(const QString& text, LineEnds lineEnds)
{
    return escapedWith(text, {.backslash = false, .lineEnd = lineEnds == LineEnds::Escaped});
}

} // namespace PrintableText
