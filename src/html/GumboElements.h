#pragma once

#include "HtmlDocument.h"

#include <QString>
#include <gumbo.h>

// What the reader takes from gumbo's elements, for the two that walk gumbo's tree (HtmlDocument and
// PageTree). Included only where gumbo is: nothing outside src/web sees gumbo's types.
namespace GumboElements {

// The element's attributes, names in lower case as gumbo gives them, values decoded, in order.
inline HtmlDocument::Attributes attributes(const GumboElement& element)
{
    HtmlDocument::Attributes result;
    for (unsigned int i = 0; i < element.attributes.length; ++i) {
        const auto* attribute = static_cast<const GumboAttribute*>(element.attributes.data[i]);
        result.append({QString::fromUtf8(attribute->name), QString::fromUtf8(attribute->value)});
    }
    return result;
}

// The text the element holds directly, as a style element's sheet.
inline QString textOf(const GumboElement& element)
{
    QString result;
    for (unsigned int i = 0; i < element.children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(element.children.data[i]);
        if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_WHITESPACE || child->type == GUMBO_NODE_CDATA)
            result += QString::fromUtf8(child->v.text.text);
    }
    return result;
}

} // namespace GumboElements
