#pragma once

#include "css/CssParser.h"
#include "web/HtmlDocument.h"

#include <array>
#include <memory>
#include <optional>

// The elements a scheme colours: the page's html element, its body, and a link in the body, unvisited,
// visited or being clicked.
enum class PageElement { Html, Body, Link, VisitedLink, ActiveLink };

// A selector list matched against those elements as a browser matches it, with the specificity of the
// most specific selector that matches. Class, id and attribute selectors look at the html and body
// tags' own attributes; the link has none.
class CssSelector {
public:
    using Specificity = std::array<int, 3>; // ids; classes, attributes and pseudo-classes; types

    struct Page {
        const HtmlDocument::Attributes& html;
        const HtmlDocument::Attributes& body;
    };

    // Nothing when the list is invalid, which drops its rule in a browser.
    static std::optional<CssSelector> parse(const CssValues& prelude);

    std::optional<Specificity> match(PageElement element, const Page& page) const;

private:
    struct Simple;
    struct Compound {
        QList<Simple> simples;
        char combinator = ' '; // how it joins the compound before it: ' ', '>', '+' or '~'
    };
    using Complex = QList<Compound>;
    using List = QList<Complex>;
    struct Simple {
        enum Kind { Type, Universal, Class, Id, Attribute, PseudoClass, PseudoElement, Is, Where, Not };
        Kind kind = Universal;
        QString name; // lower case for types, attributes and pseudo-classes
        std::optional<QString> value; // an attribute selector's [name=value]
        std::shared_ptr<const List> arguments; // :is(), :where(), :not()
    };

    static std::optional<List> list(const CssValues& values, int depth);
    static std::optional<Complex> complex(const CssValues& values, int depth);
    static Specificity specificity(const Complex& selector);
    static Specificity specificity(const Simple& simple);
    static bool matches(const Complex& selector, qsizetype last, int element, PageElement state, const Page& page);
    static bool matches(const Simple& simple, int element, PageElement state, const Page& page);

    List m_list;
};
