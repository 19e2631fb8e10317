#include "HtmlDocument.h"

#include <QRegularExpression>
#include <algorithm>
#include <gumbo.h>

namespace {

HtmlDocument::Attributes attributes(const GumboElement& element)
{
    HtmlDocument::Attributes result;
    for (unsigned int i = 0; i < element.attributes.length; ++i) {
        const auto* attribute = static_cast<const GumboAttribute*>(element.attributes.data[i]);
        result.append({QString::fromUtf8(attribute->name), QString::fromUtf8(attribute->value)});
    }
    return result;
}

QString textOf(const GumboElement& element)
{
    QString result;
    for (unsigned int i = 0; i < element.children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(element.children.data[i]);
        if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_WHITESPACE || child->type == GUMBO_NODE_CDATA)
            result += QString::fromUtf8(child->v.text.text);
    }
    return result;
}

// How deep the parser lets elements nest before the rest of a text is left unread. The parser's work
// grows with the square of the depth (every start tag looks down the stack of open elements): 20,000
// levels take it more than half a second, a pasted text of nothing but <div> many minutes. Real pages
// stay far below this; browsers themselves stop nesting at a few hundred levels.
constexpr int MaxDepth = 4096;

bool opensNothing(const QByteArray& name)
{
    // Void elements, and those whose end tag pages leave out and the parser closes by itself.
    static const QList<QByteArray> names{"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta",
        "source", "track", "wbr", "p", "li", "dt", "dd", "option", "optgroup", "tr", "td", "th", "thead", "tbody",
        "tfoot", "colgroup", "caption", "rb", "rt", "rtc", "rp", "html", "head", "body", "param", "keygen"};
    return names.contains(name);
}

// The length of `utf8` that nests no deeper than MaxDepth, counting start tags against end tags (an
// over-estimate of the parser's depth, which closes some elements itself). Comments and the text of
// script, style, textarea and title hold no tags.
qsizetype shallowLength(const QByteArray& utf8)
{
    const auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    int depth = 0;
    qsizetype at = 0;
    while ((at = utf8.indexOf('<', at)) >= 0) {
        const qsizetype tagStart = at;
        ++at;
        if (utf8.mid(at, 3) == "!--") {
            const qsizetype end = utf8.indexOf("-->", at + 3);
            if (end < 0)
                break;
            at = end + 3;
            continue;
        }
        const bool closing = at < utf8.size() && utf8[at] == '/';
        if (closing)
            ++at;
        if (at >= utf8.size() || !isLetter(utf8[at]))
            continue;
        const qsizetype nameStart = at;
        while (at < utf8.size() && (isLetter(utf8[at]) || (utf8[at] >= '0' && utf8[at] <= '9') || utf8[at] == '-'))
            ++at;
        const QByteArray name = utf8.mid(nameStart, at - nameStart).toLower();
        if (closing) {
            depth = std::max(0, depth - 1);
            continue;
        }
        if (name == "script" || name == "style" || name == "textarea" || name == "title") {
            // To its end tag, in any letter case.
            qsizetype end = at;
            while ((end = utf8.indexOf("</", end)) >= 0 && utf8.mid(end + 2, name.size()).toLower() != name)
                end += 2;
            if (end < 0)
                break;
            at = end;
            continue;
        }
        if (!opensNothing(name) && ++depth > MaxDepth)
            return tagStart;
    }
    return utf8.size();
}

} // namespace

bool HtmlDocument::holdsMarkup(QStringView text)
{
    static const QRegularExpression tag(QStringLiteral("<[/!]?[A-Za-z]"));
    return tag.match(text).hasMatch();
}

QByteArray HtmlDocument::parseableUtf8(QStringView text)
{
    QByteArray utf8 = text.toUtf8();
    utf8.truncate(shallowLength(utf8));
    return utf8;
}

HtmlDocument::HtmlDocument(QStringView text)
{
    const QByteArray utf8 = parseableUtf8(text);
    // Parse errors are not kept: recording each one costs more than the parse itself, quadratically so
    // for deeply nested tags.
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0;
    GumboOutput* output = gumbo_parse_with_options(&options, utf8.constData(), std::size_t(utf8.size()));
    // Walked with a list rather than recursion, so that deep nesting cannot exhaust the stack.
    QList<const GumboNode*> pending{output->root};
    while (!pending.isEmpty()) {
        const GumboNode* node = pending.takeLast();
        // A template's content is inert: its style elements do nothing.
        if (node->type != GUMBO_NODE_ELEMENT)
            continue;
        const GumboElement& element = node->v.element;
        // A browser runs scripts, so what noscript holds is text to it, never a style sheet.
        if (element.tag == GUMBO_TAG_NOSCRIPT)
            continue;
        if (element.tag == GUMBO_TAG_HTML && element.tag_namespace == GUMBO_NAMESPACE_HTML && node == output->root)
            m_html = attributes(element);
        else if (element.tag == GUMBO_TAG_BODY && element.tag_namespace == GUMBO_NAMESPACE_HTML && m_body.isEmpty())
            m_body = attributes(element);
        if (element.tag == GUMBO_TAG_STYLE) {
            QString media;
            for (const auto& [name, value] : attributes(element)) {
                if (name == QLatin1String("media"))
                    media = value;
            }
            m_sheets.append({media, textOf(element)});
        }
        for (unsigned int i = element.children.length; i > 0; --i)
            pending.append(static_cast<const GumboNode*>(element.children.data[i - 1]));
    }
    gumbo_destroy_output(&options, output);
}
