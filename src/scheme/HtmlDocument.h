#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>
#include <utility>

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

    explicit HtmlDocument(QStringView text);

    // Whether the text holds markup at all; text without any is taken as a style sheet instead.
    static bool holdsMarkup(QStringView text);
    // The text as UTF-8, cut where it nests deeper than the parser can take in reasonable time.
    static QByteArray parseableUtf8(QStringView text);

    const Attributes& htmlAttributes() const { return m_html; }
    const Attributes& bodyAttributes() const { return m_body; }
    // The style elements that take part in the page, in document order.
    const QList<StyleSheet>& styleSheets() const { return m_sheets; }

private:
    Attributes m_html;
    Attributes m_body;
    QList<StyleSheet> m_sheets;
};
