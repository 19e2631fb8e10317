#include "HtmlNesting.h"

#include "HtmlTags.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace HtmlNesting {

namespace {

using namespace HtmlTags;

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
