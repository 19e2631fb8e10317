#include "HtmlNesting.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace HtmlNesting {

namespace {

// What the tree construction rules say about an element of the HTML namespace, by its name. Only
// what an over-estimate of the depth needs: where a rule is in doubt, the element stays counted.
enum Role : unsigned {
    Void = 1u << 0, // never left open: br, img…
    Special = 1u << 1, // the "special" category: an end tag of another name closes nothing past it
    Scope = 1u << 2, // ends a search "in scope": table, td, object…; select too, since inside it end tags do nothing
    TableScope = 1u << 3, // ends a search "in table scope": html, table, template
    Formatting = 1u << 4, // on the list of active formatting elements, so opened again when closed by another
    Marker = 1u << 5, // puts a marker on that list, so the formatting elements inside it are not opened again
    ClosesP = 1u << 6, // a start tag that closes an open <p>
    ClosesInScope = 1u << 7, // an end tag that closes what is open above its element, within scope
    Heading = 1u << 8,
    TableCell = 1u << 9,
    TableSection = 1u << 10, // tbody, thead, tfoot
    RawText = 1u << 11, // its text runs to its own end tag and holds no tags
    Breakout = 1u << 12, // leaves svg and math content
    Integration = 1u << 13, // inside svg or math, holds HTML again
    Foreign = 1u << 14, // svg, math
};

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

bool isSpace(char c)
{
    return c == ' ' || c == '\n' || c == '\t' || c == '\f' || c == '\r';
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// A tag as the tokenizer reads it: its name, and where it ends (attribute values in quotes may hold
// '<' and '>').
struct Tag {
    qsizetype nameEnd = 0;
    qsizetype end = 0; // just past its '>'
    bool selfClosing = false;
};

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
        if (m_kept.size() >= size_t(MaxAttributes))
            return OverLimit;
        m_kept.insert(m_lowered);
        return Kept;
    }

private:
    QByteArrayView m_text;
    std::string m_lowered;
    std::unordered_set<std::string> m_kept;
};

// The tag whose name starts at `at`; nothing when the text ends inside it (the parser then drops it).
// With `dropped`, the spans of the attributes the parser is not to see are added to it, `overLimit`
// counts those past the limit, and `kept` those it is to see.
std::optional<Tag> readTag(QByteArrayView text,
    qsizetype at,
    std::vector<std::pair<qsizetype, qsizetype>>* dropped = nullptr,
    qsizetype* overLimit = nullptr,
    qsizetype* kept = nullptr)
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

// The stack of open elements as the parser may have it, deeper where in doubt.
class OpenElements {
public:
    explicit OpenElements(QByteArrayView text)
        : m_text(text)
    {
    }

    int depth() const { return int(m_open.size()); }

    // Whether the tags now read are read as inside svg or math, where no element's text is raw.
    bool inForeignContent() const { return m_foreign > 0; }
    bool sawSelect() const { return m_sawSelect; }

    void startTag(qsizetype nameAt, const Tag& tag);
    void endTag(qsizetype nameAt, const Tag& tag);

private:
    struct Open {
        qsizetype nameAt;
        qsizetype nameSize;
        qsizetype tagAt; // the start tag after the name, for telling like formatting elements apart
        qsizetype tagSize;
        unsigned role;
        bool foreign; // an element of svg or math, whose start tags are read as foreign content
        bool inForeign; // foreign, or an integration point inside it
        bool reopened; // a formatting element closed by another's end tag, which the parser opens again
    };

    std::string_view name(const Open& open) const { return {m_text.data() + open.nameAt, size_t(open.nameSize)}; }
    bool named(const Open& open, std::string_view lowerName) const;
    bool sameName(const Open& a, const Open& b) const;
    bool sameTag(const Open& a, const Open& b) const;

    bool isParagraph(const Open& open) const { return !open.inForeign && named(open, "p"); }
    void push(const Open& open);
    // Counts an element out that leaves the stack.
    void forget(const Open& open)
    {
        m_foreign -= open.inForeign ? 1 : 0;
        m_paragraphs -= isParagraph(open) ? 1 : 0;
    }
    // The topmost open element for which `wanted` holds, looking down past those for which `passes`
    // holds only; -1 when there is none.
    template <typename Wanted, typename Passes> qsizetype find(Wanted wanted, Passes passes) const;
    // Closes the element at `index` and everything above it. Formatting elements above it, with no
    // marker between, stay counted: the parser opens them again at the next text.
    void closeFrom(qsizetype index);
    void closeP();
    void closeCell();
    bool tableBelow(qsizetype index) const;

    QByteArrayView m_text;
    std::vector<Open> m_open;
    int m_foreign = 0;
    int m_paragraphs = 0;
    bool m_sawSelect = false;
};

bool OpenElements::named(const Open& open, std::string_view lowerName) const
{
    if (open.nameSize != qsizetype(lowerName.size()))
        return false;
    for (qsizetype i = 0; i < open.nameSize; ++i) {
        if (lower(m_text[open.nameAt + i]) != lowerName[size_t(i)])
            return false;
    }
    return true;
}

bool OpenElements::sameName(const Open& a, const Open& b) const
{
    if (a.nameSize != b.nameSize)
        return false;
    for (qsizetype i = 0; i < a.nameSize; ++i) {
        if (lower(m_text[a.nameAt + i]) != lower(m_text[b.nameAt + i]))
            return false;
    }
    return true;
}

bool OpenElements::sameTag(const Open& a, const Open& b) const
{
    return sameName(a, b) && m_text.sliced(a.tagAt, a.tagSize) == m_text.sliced(b.tagAt, b.tagSize);
}

void OpenElements::push(const Open& open)
{
    m_open.push_back(open);
    m_foreign += open.inForeign ? 1 : 0;
    m_paragraphs += isParagraph(open) ? 1 : 0;
}

template <typename Wanted, typename Passes> qsizetype OpenElements::find(Wanted wanted, Passes passes) const
{
    for (qsizetype i = qsizetype(m_open.size()) - 1; i >= 0; --i) {
        if (wanted(m_open[size_t(i)]))
            return i;
        if (!passes(m_open[size_t(i)]))
            return -1;
    }
    return -1;
}

void OpenElements::closeFrom(qsizetype index)
{
    std::vector<Open> reopened;
    bool marker = false;
    for (auto i = size_t(index); i < m_open.size(); ++i) {
        Open& open = m_open[i];
        forget(open);
        marker = marker || (open.role & Marker);
        if (marker || !(open.role & Formatting) || open.inForeign || i == size_t(index))
            continue;
        // Of like formatting elements the parser opens no more than three again ("Noah's Ark").
        int alike = 0;
        for (const Open& other : m_open)
            alike += other.reopened && sameTag(other, open) ? 1 : 0;
        if (alike < 3) {
            open.reopened = true;
            reopened.push_back(open);
        }
    }
    m_open.resize(size_t(index));
    for (const Open& open : reopened)
        push(open);
}

bool OpenElements::tableBelow(qsizetype index) const
{
    for (qsizetype i = index - 1; i >= 0; --i) {
        if (named(m_open[size_t(i)], "table"))
            return true;
    }
    return false;
}

void OpenElements::closeP()
{
    // A <p> in button scope. Every block's start tag asks, so the stack is searched only when it holds one.
    if (m_paragraphs == 0)
        return;
    const qsizetype p = find([this](const Open& open) { return !open.inForeign && named(open, "p"); },
        [this](const Open& open) { return !(open.role & Scope) && !named(open, "button"); });
    if (p >= 0)
        closeFrom(p);
}

void OpenElements::closeCell()
{
    const qsizetype cell = find([](const Open& open) { return !open.inForeign && (open.role & TableCell); },
        [this](const Open& open) {
            return !(open.role & (TableScope | TableSection)) && !named(open, "tr") && !open.inForeign;
        });
    if (cell >= 0 && tableBelow(cell))
        closeFrom(cell);
}

void OpenElements::startTag(qsizetype nameAt, const Tag& tag)
{
    std::string lowered(size_t(tag.nameEnd - nameAt), '\0');
    for (size_t i = 0; i < lowered.size(); ++i)
        lowered[i] = lower(m_text[nameAt + qsizetype(i)]);
    const unsigned role = roleOf(lowered);
    Open open{nameAt, tag.nameEnd - nameAt, tag.nameEnd, tag.end - tag.nameEnd, role, false, false, false};

    // A void element that would leave foreign content may not, in this parser's version: it is counted
    // as foreign.
    if (!m_open.empty() && m_open.back().foreign && (!(role & Breakout) || (role & Void))) {
        // Foreign content: every element opens unless its tag closes itself.
        if (tag.selfClosing)
            return;
        open.role = isIntegrationPoint(lowered) ? Special | Scope : Scope;
        open.inForeign = true;
        open.foreign = !isIntegrationPoint(lowered);
        push(open);
        return;
    }
    if (role & Foreign) {
        if (tag.selfClosing)
            return;
        open.role = Scope;
        open.foreign = open.inForeign = true;
        push(open);
        return;
    }
    if (role & Void)
        return;
    if (lowered == "html" || lowered == "body" || lowered == "head")
        return; // the parser opens each once, whatever the tags say
    if (lowered == "select")
        m_sawSelect = true;

    // What the parser closes before it opens this one.
    if (lowered == "li" || lowered == "dd" || lowered == "dt") {
        const bool item = lowered == "li";
        const qsizetype open_ = find(
            [&](const Open& o) { return !o.inForeign && (item ? named(o, "li") : (named(o, "dd") || named(o, "dt"))); },
            [this](const Open& o) {
                return !o.inForeign && (!(o.role & Special) || named(o, "address") || named(o, "div") || named(o, "p"));
            });
        if (open_ >= 0)
            closeFrom(open_);
    }
    if (role & ClosesP)
        closeP();
    if (role & Heading) {
        if (!m_open.empty() && !m_open.back().inForeign && (m_open.back().role & Heading))
            closeFrom(qsizetype(m_open.size()) - 1);
    }
    if (lowered == "option" || lowered == "optgroup") {
        if (!m_open.empty() && named(m_open.back(), "option"))
            closeFrom(qsizetype(m_open.size()) - 1);
        if (lowered == "optgroup" && !m_open.empty() && named(m_open.back(), "optgroup"))
            closeFrom(qsizetype(m_open.size()) - 1);
    }
    if ((role & TableCell) || (role & TableSection) || lowered == "tr") {
        closeCell();
        if (!(role & TableCell) && !m_open.empty() && named(m_open.back(), "tr")
            && tableBelow(qsizetype(m_open.size()) - 1))
            closeFrom(qsizetype(m_open.size()) - 1);
        if ((role & TableSection) && !m_open.empty() && (m_open.back().role & TableSection)
            && tableBelow(qsizetype(m_open.size()) - 1))
            closeFrom(qsizetype(m_open.size()) - 1);
    }
    if (lowered == "a" || lowered == "nobr" || lowered == "button")
        endTag(nameAt, tag); // an open one of these is closed first
    push(open);
}

void OpenElements::endTag(qsizetype nameAt, const Tag& tag)
{
    std::string lowered(size_t(tag.nameEnd - nameAt), '\0');
    for (size_t i = 0; i < lowered.size(); ++i)
        lowered[i] = lower(m_text[nameAt + qsizetype(i)]);
    const unsigned role = roleOf(lowered);
    const Open closing{nameAt, tag.nameEnd - nameAt, 0, 0, role, false, false, false};
    const auto html = [](const Open& open) { return !open.inForeign; };
    const auto inScope = [](const Open& open) { return !(open.role & Scope); };
    const auto inTableScope = [](const Open& open) { return !(open.role & TableScope) && !open.inForeign; };

    if (lowered == "html" || lowered == "body" || lowered == "br")
        return; // the parser keeps the body open, and </br> is <br>
    if (lowered == "p") {
        closeP();
        return;
    }
    qsizetype index = -1;
    if (lowered == "li") {
        index = find([&](const Open& o) { return html(o) && named(o, "li"); },
            [this](const Open& o) { return !(o.role & Scope) && !named(o, "ol") && !named(o, "ul"); });
    } else if (role & Heading) {
        index = find([&](const Open& o) { return html(o) && (o.role & Heading); }, inScope);
    } else if ((role & ClosesInScope) || lowered == "dd" || lowered == "dt") {
        index = find([&](const Open& o) { return html(o) && sameName(o, closing); }, inScope);
    } else if (lowered == "form") {
        // Only the form itself is closed; what is open inside it stays open.
        index = find([&](const Open& o) { return html(o) && named(o, "form"); }, inScope);
        if (index >= 0) {
            forget(m_open[size_t(index)]);
            m_open.erase(m_open.begin() + index);
        }
        return;
    } else if (lowered == "applet" || lowered == "marquee" || lowered == "object" || (role & TableCell)
        || (role & TableSection) || lowered == "tr" || lowered == "table" || lowered == "caption"
        || lowered == "colgroup") {
        index = find([&](const Open& o) { return html(o) && sameName(o, closing); }, inTableScope);
        if (index >= 0
            && (role & (TableCell | TableSection) || lowered == "tr" || lowered == "caption" || lowered == "colgroup")
            && !tableBelow(index))
            index = -1;
    } else if (lowered == "select") {
        index = find([&](const Open& o) { return html(o) && named(o, "select"); },
            [this](const Open& o) { return named(o, "option") || named(o, "optgroup"); });
    } else if (lowered == "option" || lowered == "optgroup") {
        if (!m_open.empty() && named(m_open.back(), lowered))
            index = qsizetype(m_open.size()) - 1;
    } else {
        // Any other end tag, a formatting element's too: it closes up to the topmost element of its
        // name unless a special element stands between.
        index = find(
            [&](const Open& o) { return sameName(o, closing); }, [](const Open& o) { return !(o.role & Special); });
        if (index >= 0 && m_open[size_t(index)].reopened) {
            // A formatting element the parser has perhaps not opened again: it is only forgotten.
            forget(m_open[size_t(index)]);
            m_open.erase(m_open.begin() + index);
            return;
        }
    }
    if (index >= 0)
        closeFrom(index);
}

} // namespace

Scan flatten(QByteArray& utf8, const std::stop_token& stop)
{
    const QByteArrayView text(utf8);
    OpenElements open(text);
    Scan result;
    const qsizetype size = text.size();
    qsizetype at = 0;
    int tags = 0;
    std::vector<std::pair<qsizetype, qsizetype>> dropped;
    int startTags = 0;
    qsizetype attributes = 0; // kept, in all the tags read
    while ((at = text.indexOf('<', at)) >= 0) {
        if (++tags % 4096 == 0 && stop.stop_requested())
            break;
        const qsizetype tagStart = at;
        ++at;
        if (text.sliced(at).startsWith("!--")) {
            at = commentEnd(text, at + 3);
            if (at < 0)
                break; // a comment to the end
            continue;
        }
        if (at < size
            && (text[at] == '!' || text[at] == '?'
                || (text[at] == '/' && at + 1 < size && !isLetter(text[at + 1]) && text[at + 1] != '>'))) {
            // A doctype or a bogus comment, to the next '>'.
            at = text.indexOf('>', at);
            if (at < 0)
                break;
            continue;
        }
        const bool closing = at < size && text[at] == '/';
        if (closing)
            ++at;
        if (at >= size || !isLetter(text[at]))
            continue;
        const qsizetype nameAt = at;
        dropped.clear();
        const std::optional<Tag> tag = readTag(text, nameAt, &dropped, &result.droppedAttributes, &attributes);
        // Blanked even in a tag cut off by the end: the parser reads its attributes before it drops it.
        for (const auto& [from, to] : dropped)
            std::fill(utf8.begin() + from, utf8.begin() + to, ' ');
        if (!tag)
            break; // the parser drops a tag cut off by the end
        at = tag->end;
        if (closing) {
            open.endTag(nameAt, *tag);
            continue;
        }
        if (++startTags > MaxElements || attributes > MaxAttributesInAll) {
            utf8.truncate(tagStart);
            result.cut = true;
            break;
        }
        std::string name(size_t(tag->nameEnd - nameAt), '\0');
        for (size_t i = 0; i < name.size(); ++i)
            name[i] = lower(text[nameAt + qsizetype(i)]);
        const bool opensNothing = name == "body" || name == "head" || (name == "html" && !open.inForeignContent());
        if (open.depth() >= MaxDepth && !opensNothing) {
            // Any start tag here could open one element too many: the parser reads it as text.
            utf8[tagStart] = ' ';
            ++result.flattened;
            continue;
        }
        const unsigned role = roleOf(name);
        // In svg and math, and where a select makes the parser ignore such start tags, their text is
        // read as tags.
        const bool raw = (role & RawText) && !open.inForeignContent() && (name == "script" || !open.sawSelect());
        if (name == "plaintext" && !open.inForeignContent())
            break; // the rest is text
        if (raw) {
            const qsizetype end = rawTextEnd(text, at, QByteArrayView(name.data(), qsizetype(name.size())));
            if (end < 0)
                break; // text to the end
            const std::optional<Tag> endTag = readTag(text, end + 2);
            if (!endTag)
                break;
            at = endTag->end;
            result.deepest = std::max(result.deepest, open.depth() + 1);
            continue;
        }
        open.startTag(nameAt, *tag);
        result.deepest = std::max(result.deepest, open.depth());
    }
    return result;
}

} // namespace HtmlNesting
