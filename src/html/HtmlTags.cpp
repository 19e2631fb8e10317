#include "HtmlTags.h"

#include "HtmlNesting.h"

#include <string>
#include <unordered_map>
#include <unordered_set>

namespace HtmlTags {

namespace {

// The attributes of one tag the parser is to see: a name already seen is dropped, as the parser would
// drop it, and so is any past the first MaxAttributes.
class AttributeNames {
public:
    explicit AttributeNames(QByteArrayView text)
        : m_text(text)
    {
    }

    enum Verdict { Kept, Repeated, OverLimit };

    // What becomes of the attribute whose name is text[from, to).
    Verdict take(qsizetype from, qsizetype to)
    {
        m_lowered.resize(size_t(to - from));
        for (qsizetype i = from; i < to; ++i)
            m_lowered[size_t(i - from)] = lower(m_text[i]);
        if (m_kept.contains(m_lowered))
            return Repeated;
        if (m_kept.size() >= size_t(HtmlNesting::MaxAttributes))
            return OverLimit;
        m_kept.insert(m_lowered);
        return Kept;
    }

private:
    QByteArrayView m_text;
    std::string m_lowered;
    std::unordered_set<std::string> m_kept;
};

} // namespace

unsigned roleOf(std::string_view name)
{
    constexpr unsigned Block = Special | ClosesP | ClosesInScope | Breakout;
    static const std::unordered_map<std::string_view, unsigned> roles{
        {"a", Formatting},
        {"address", Special | ClosesP | ClosesInScope},
        {"applet", Special | Scope | Marker},
        {"area", Void | Special},
        {"article", Special | ClosesP | ClosesInScope},
        {"aside", Special | ClosesP | ClosesInScope},
        {"b", Formatting | Breakout},
        {"base", Void | Special},
        {"basefont", Void | Special},
        {"bgsound", Void | Special},
        {"big", Formatting | Breakout},
        {"blockquote", Block},
        {"body", Special | Breakout},
        {"br", Void | Special | Breakout},
        {"button", Special | ClosesInScope},
        {"caption", Special | Scope | Marker},
        {"center", Block},
        {"code", Formatting | Breakout},
        {"col", Void | Special},
        {"colgroup", Special},
        {"dd", Special | ClosesP | Breakout},
        {"details", Special | ClosesP | ClosesInScope},
        {"dir", Special | ClosesP | ClosesInScope},
        {"div", Block},
        {"dl", Block},
        {"dt", Special | ClosesP | Breakout},
        {"em", Formatting | Breakout},
        {"embed", Void | Special | Breakout},
        {"fieldset", Special | ClosesP | ClosesInScope},
        {"figcaption", Special | ClosesP | ClosesInScope},
        {"figure", Special | ClosesP | ClosesInScope},
        {"font", Formatting | Breakout}, // only with color, face or size; always, to be safe
        {"footer", Special | ClosesP | ClosesInScope},
        {"form", Special | ClosesP},
        {"frame", Void | Special},
        {"frameset", Special},
        {"h1", Special | ClosesP | Heading | Breakout},
        {"h2", Special | ClosesP | Heading | Breakout},
        {"h3", Special | ClosesP | Heading | Breakout},
        {"h4", Special | ClosesP | Heading | Breakout},
        {"h5", Special | ClosesP | Heading | Breakout},
        {"h6", Special | ClosesP | Heading | Breakout},
        {"head", Special | Breakout},
        {"header", Special | ClosesP | ClosesInScope},
        {"hgroup", Special | ClosesP | ClosesInScope},
        {"hr", Void | Special | Breakout},
        {"html", Special | Scope | TableScope},
        {"i", Formatting | Breakout},
        {"iframe", Special | RawText},
        {"image", Void},
        {"img", Void | Special | Breakout},
        {"input", Void | Special},
        {"keygen", Void | Special},
        {"li", Special | ClosesP | Breakout},
        {"link", Void | Special},
        {"listing", Special | ClosesP | ClosesInScope | Breakout},
        {"marquee", Special | Scope | Marker},
        {"menu", Block},
        {"meta", Void | Special | Breakout},
        {"nav", Special | ClosesP | ClosesInScope},
        {"nobr", Formatting | Breakout},
        {"noembed", Special | RawText},
        {"noframes", Special | RawText},
        {"noscript", Special},
        {"object", Special | Scope | Marker},
        {"ol", Block},
        {"p", Special | ClosesP | Breakout},
        {"param", Void | Special},
        {"plaintext", Special | ClosesP},
        {"pre", Block},
        {"ruby", Breakout},
        {"s", Formatting | Breakout},
        {"script", Special | RawText},
        {"section", Special | ClosesP | ClosesInScope},
        {"select", Special | Scope},
        {"small", Formatting | Breakout},
        {"source", Void | Special},
        {"span", Breakout},
        {"strike", Formatting | Breakout},
        {"strong", Formatting | Breakout},
        {"style", Special | RawText},
        {"sub", Breakout},
        {"summary", Special | ClosesP | ClosesInScope},
        {"sup", Breakout},
        {"table", Special | Scope | TableScope | Breakout},
        {"tbody", Special | TableSection},
        {"td", Special | Scope | Marker | TableCell},
        {"template", Special | Scope | TableScope | Marker},
        {"textarea", Special | RawText},
        {"tfoot", Special | TableSection},
        {"th", Special | Scope | Marker | TableCell},
        {"thead", Special | TableSection},
        {"title", Special | RawText},
        {"tr", Special},
        {"track", Void | Special},
        {"tt", Formatting | Breakout},
        {"u", Formatting | Breakout},
        {"ul", Block},
        {"var", Breakout},
        {"wbr", Void | Special},
        {"xmp", Special | ClosesP | RawText},
        {"svg", Foreign},
        {"math", Foreign},
    };
    const auto found = roles.find(name);
    return found == roles.end() ? 0u : found->second;
}

bool isIntegrationPoint(std::string_view name)
{
    return name == "foreignobject" || name == "desc" || name == "title" || name == "mi" || name == "mo" || name == "mn"
        || name == "ms" || name == "mtext" || name == "annotation-xml";
}

std::optional<Tag> readTag(QByteArrayView text,
    qsizetype at,
    std::vector<std::pair<qsizetype, qsizetype>>* dropped,
    qsizetype* overLimit,
    qsizetype* kept)
{
    const qsizetype size = text.size();
    qsizetype i = at;
    while (i < size && !isSpace(text[i]) && text[i] != '/' && text[i] != '>')
        ++i;
    Tag tag{i, 0, false};
    std::optional<AttributeNames> names;
    while (i < size) {
        const char c = text[i];
        if (isSpace(c)) {
            ++i;
        } else if (c == '>') {
            tag.end = i + 1;
            return tag;
        } else if (c == '/') {
            if (i + 1 < size && text[i + 1] == '>') {
                tag.selfClosing = true;
                tag.end = i + 2;
                return tag;
            }
            ++i;
        } else {
            // An attribute name (its first character may be '='), and then perhaps a value.
            const qsizetype attributeAt = i;
            ++i;
            while (i < size && !isSpace(text[i]) && text[i] != '/' && text[i] != '>' && text[i] != '=')
                ++i;
            const qsizetype nameEnd = i;
            while (i < size && isSpace(text[i]))
                ++i;
            if (i < size && text[i] == '=') {
                ++i;
                while (i < size && isSpace(text[i]))
                    ++i;
                if (i < size && (text[i] == '"' || text[i] == '\'')) {
                    const qsizetype close = text.indexOf(text[i], i + 1);
                    if (close < 0)
                        return std::nullopt;
                    i = close + 1;
                } else {
                    while (i < size && !isSpace(text[i]) && text[i] != '>')
                        ++i;
                }
            }
            if (dropped) {
                if (!names)
                    names.emplace(text);
                const AttributeNames::Verdict verdict = names->take(attributeAt, nameEnd);
                if (verdict != AttributeNames::Kept)
                    dropped->emplace_back(attributeAt, i);
                if (verdict == AttributeNames::OverLimit && overLimit)
                    ++*overLimit;
                if (verdict == AttributeNames::Kept && kept)
                    ++*kept;
            }
        }
    }
    return std::nullopt;
}

// Where the comment whose text starts at `at` (just after "<!--") ends; -1 when it runs to the end.
qsizetype commentEnd(QByteArrayView text, qsizetype at)
{
    if (text.sliced(at).startsWith(">"))
        return at + 1;
    if (text.sliced(at).startsWith("->"))
        return at + 2;
    for (qsizetype dashes = text.indexOf("--", at); dashes >= 0; dashes = text.indexOf("--", dashes + 1)) {
        qsizetype i = dashes + 2;
        while (i < text.size() && text[i] == '-')
            ++i;
        if (i < text.size() && text[i] == '>')
            return i + 1;
        if (i + 1 < text.size() && text[i] == '!' && text[i + 1] == '>')
            return i + 2;
    }
    return -1;
}

// The first "</name" from `at` on, in any letter case: no later than the parser's own end of the
// element's text (which also wants a space, '/' or '>' after the name); -1 when there is none.
qsizetype rawTextEnd(QByteArrayView text, qsizetype at, QByteArrayView name)
{
    for (qsizetype end = text.indexOf("</", at); end >= 0; end = text.indexOf("</", end + 2)) {
        if (end + 2 + name.size() > text.size())
            return -1;
        bool same = true;
        for (qsizetype i = 0; i < name.size() && same; ++i)
            same = lower(text[end + 2 + i]) == name[i];
        if (same)
            return end;
    }
    return -1;
}

} // namespace HtmlTags
