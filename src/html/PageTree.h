#pragma once

#include "HtmlDocument.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <limits>
#include <stop_token>

// A page as a flat list of its elements, in document order, with the links a selector walks: parent,
// siblings and first child. Built from the HTML parser's tree without recursion; a text with no markup
// (a bare style sheet) becomes <html><head></head><body><p><a href></a></p></body></html>, which is
// how a browser shows a style sheet on its own.
class PageTree {
public:
    struct Element {
        QString tag; // lower case
        QString id;
        QList<size_t> classes; // hashes of the class names, sorted
        HtmlDocument::Attributes attributes;
        int parent = -1;
        int previous = -1; // sibling elements
        int next = -1;
        int firstChild = -1;
        int end = 0; // one past its last descendant: its subtree is [index, end)
        bool hasContent = false; // child elements or text: what :empty looks at
        bool html = true; // in the HTML namespace
        bool inNoscript = false; // inside <noscript>, which a browser that runs scripts reads as text
        int line = 0; // of its start tag in the page, 1-based; 0 for one the parser or this program made
        int column = 0;
        QString text; // the text it holds directly, whitespace collapsed, the first MaximumText characters
    };

    // The most of an element's own text kept.
    static constexpr qsizetype MaximumText = 40;

    // A style sheet the page uses, in document order: the text of a <style>, or the address of a
    // <link rel="stylesheet">.
    struct Sheet {
        QString text;
        QString href; // empty for a <style>
        QString media;
        int line = 1; // of the page, where the text of a <style> starts
    };

    static PageTree fromPage(QStringView text, const std::stop_token& stop = {});
    // Whether the page held more elements than are read, and was read to the last of them only.
    bool cut() const { return m_cut; }
    static PageTree model();

    static size_t classHash(QStringView name);

    const QList<Element>& elements() const { return m_elements; }
    const Element& at(int index) const { return m_elements[index]; }
    const QList<Sheet>& sheets() const { return m_sheets; }
    int root() const { return m_root; }
    int body() const { return m_body; }
    // The body's first a[href], or a model link appended in a paragraph when the body has none.
    int link() const { return m_link; }
    // Whether the element was made by this program for a text that has none: the model body, paragraph
    // and link of a bare style sheet, or the model link added to a page without one.
    bool made(int element) const { return element >= m_madeFrom; }
    // The colour scheme <meta name="color-scheme"> asks for; empty when there is none.
    const QString& metaColourScheme() const { return m_metaScheme; }
    std::optional<QString> attribute(int element, QStringView name) const;

private:
    int append(Element element, int parent);
    void read(const GumboInternalOutput& output);
    void finish();
    void ensureBodyAndLink();

    QList<Element> m_elements;
    QList<int> m_lastChild;
    QList<Sheet> m_sheets;
    QString m_metaScheme;
    int m_root = -1;
    int m_body = -1;
    int m_link = -1;
    int m_madeFrom = std::numeric_limits<int>::max();
    bool m_cut = false;
};

// Its strings and lists move with a plain copy of their bytes, so a growing page moves in large blocks.
Q_DECLARE_TYPEINFO(PageTree::Element, Q_RELOCATABLE_TYPE);
