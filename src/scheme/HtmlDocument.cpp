#include "HtmlDocument.h"

#include <QRegularExpression>
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

} // namespace

bool HtmlDocument::holdsMarkup(QStringView text)
{
    static const QRegularExpression tag(QStringLiteral("<[/!]?[A-Za-z]"));
    return tag.match(text).hasMatch();
}

HtmlDocument::HtmlDocument(QStringView text)
{
    const QByteArray utf8 = text.toUtf8();
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
