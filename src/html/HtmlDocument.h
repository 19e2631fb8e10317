#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>
#include <functional>
#include <stop_token>
#include <utility>

struct GumboInternalOutput;

// A pasted tag or page as a browser builds it, by the HTML parsing algorithm (gumbo): comments, the
// text of script, style, textarea and title, CDATA and a tag cut off at the end behave as in a
// browser, and a second <body> adds only the attributes the first lacks.
class HtmlDocument {
public:
    using Attributes = QList<std::pair<QString, QString>>; // lower-case names, decoded values, in order

    struct StyleSheet {
        QString media; // the media attribute; empty when there is none
        QString text;
    };

    // Reads the text as far as HtmlNesting lets the parser nest it. A document whose reading was
    // stopped through `stop` is empty.
    explicit HtmlDocument(QStringView text, const std::stop_token& stop = {});

    // Parses the text as the constructor does (nesting kept within HtmlNesting's limit, gumbo's memory
    // freed flat, a stop heeded) and hands gumbo's tree to `visit` while it lives. Nothing is visited
    // when the reading was stopped or memory ran out.
    // Returns whether the text was ended early (HtmlNesting::MaxElements).
    static bool parse(QStringView text,
        const std::stop_token& stop,
        const std::function<void(const GumboInternalOutput& output)>& visit);

    const Attributes& htmlAttributes() const { return m_html; }
    const Attributes& bodyAttributes() const { return m_body; }
    // The style elements that take part in the page, in document order.
    const QList<StyleSheet>& styleSheets() const { return m_sheets; }
    // How deep the parser nested the deepest element (the html element is at depth 1).
    int depth() const { return m_depth; }

private:
    void read(const GumboInternalOutput& output);

    Attributes m_html;
    Attributes m_body;
    QList<StyleSheet> m_sheets;
    int m_depth = 0;
};
