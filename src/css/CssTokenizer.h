#pragma once

#include <QList>
#include <QSharedData>
#include <QString>
#include <QStringView>
#include <stop_token>

// The text of a token: a name, unit, string value or delimiter. A style sheet holds a token for every
// few characters and names the same few things over and over, so the text is one pointer to a string
// the tokens share, null for none.
class CssTokenText {
public:
    CssTokenText() = default;
    CssTokenText(const QString& text)
        : d(text.isEmpty() ? nullptr : new Data{{}, text})
    {
    }

    const QString& toString() const { return d ? d->text : empty(); }
    operator const QString&() const { return toString(); }
    operator QStringView() const { return toString(); }

    qsizetype size() const { return d ? d->text.size() : 0; }
    bool isEmpty() const { return !d; }
    QChar operator[](qsizetype i) const { return d->text[i]; }
    QChar at(qsizetype i) const { return d->text.at(i); }
    QString toLower() const { return toString().toLower(); }
    int compare(QStringView other, Qt::CaseSensitivity sensitivity = Qt::CaseSensitive) const
    {
        return QStringView(toString()).compare(other, sensitivity);
    }
    int compare(QLatin1StringView other, Qt::CaseSensitivity sensitivity = Qt::CaseSensitive) const
    {
        return toString().compare(other, sensitivity);
    }
    bool startsWith(QLatin1StringView prefix, Qt::CaseSensitivity sensitivity = Qt::CaseSensitive) const
    {
        return toString().startsWith(prefix, sensitivity);
    }
    bool startsWith(QStringView prefix, Qt::CaseSensitivity sensitivity = Qt::CaseSensitive) const
    {
        return toString().startsWith(prefix, sensitivity);
    }
    bool startsWith(QChar c) const { return toString().startsWith(c); }
    bool endsWith(QLatin1StringView suffix, Qt::CaseSensitivity sensitivity = Qt::CaseSensitive) const
    {
        return toString().endsWith(suffix, sensitivity);
    }
    bool endsWith(QChar c) const { return toString().endsWith(c); }

    friend bool operator==(const CssTokenText& a, const CssTokenText& b)
    {
        return a.d == b.d || a.toString() == b.toString();
    }
    friend bool operator==(const CssTokenText& a, const QString& b) { return a.toString() == b; }
    friend bool operator==(const CssTokenText& a, QLatin1StringView b) { return a.toString() == b; }

private:
    struct Data : QSharedData {
        QString text;
    };
    static const QString& empty()
    {
        static const QString none;
        return none;
    }

    QExplicitlySharedDataPointer<Data> d;
};

// One token of a style sheet, as CSS Syntax Level 3 cuts text into tokens.
struct CssToken {
    enum Type : quint8 {
        Ident,
        Function, // text is the name, without the (
        AtKeyword,
        Hash,
        String,
        BadString,
        Url,
        BadUrl,
        Delim,
        Number,
        Percentage,
        Dimension, // text is the unit
        Whitespace,
        Cdo,
        Cdc,
        Colon,
        Semicolon,
        Comma,
        OpenSquare,
        CloseSquare,
        OpenParen,
        CloseParen,
        OpenCurly,
        CloseCurly,
        End,
    };

    // In this order, the token takes 24 bytes: a style sheet holds one for every few characters.
    CssTokenText text; // the name, unit, string value, or the one delimiter character
    double number = 0;
    Type type = End;
    bool idHash = false; // a hash that would start an identifier
    quint32 line = 0; // where the token starts in its text, 1-based (0 for one made by the program)

    bool is(Type wanted) const { return type == wanted; }
    bool isDelim(char16_t c) const { return type == Delim && text.size() == 1 && text[0] == c; }
    // Identifiers, function names and units compare ASCII case-insensitively.
    bool isIdent(QStringView name) const { return type == Ident && text.compare(name, Qt::CaseInsensitive) == 0; }
};

Q_DECLARE_TYPEINFO(CssToken, Q_RELOCATABLE_TYPE);

// The CSS tokenizer: comments, strings, escapes, numbers with exponents, url(), <!-- and -->. It never
// fails; text that is no valid CSS becomes delimiters and bad tokens, as in a browser.
class CssTokenizer {
public:
    explicit CssTokenizer(QStringView text);

    CssToken next();
    // Every token; stops early, with the tokens so far, once `stop` is requested.
    static QList<CssToken> all(QStringView text, const std::stop_token& stop = {});

private:
    CssToken nextToken();
    // The line m_text[m_at] is on: the line breaks between the last position counted and it, added.
    quint32 lineHere();
    char32_t peek(qsizetype ahead = 0)
    {
        const qsizetype at = m_at + ahead;
        return at < m_text.size() ? m_text[at] : more(at);
    }
    char32_t more(qsizetype at);
    char32_t take();
    bool validEscape(qsizetype ahead = 0);
    bool startsIdent(qsizetype ahead = 0);
    bool startsNumber();
    char32_t escape();
    CssTokenText name();
    CssToken numeric();
    CssToken identLike();
    CssToken string(char32_t quote);
    CssToken url();
    void skipComments();

    // The text is read a few thousand code points at a time, newlines and NULs normalised: a copy of
    // the whole would take four bytes a character. m_text holds those from the token being read on.
    QStringView m_source;
    qsizetype m_read = 0; // in m_source: what m_text ends at
    QList<char32_t> m_text;
    qsizetype m_at = 0; // in m_text
    qsizetype m_counted = 0; // in m_text: the line breaks before it are in m_line
    quint32 m_line = 1;
    quint32 m_tokenLine = 1; // the line of the token being read
    QString m_name; // the name being read
    QList<CssTokenText> m_names; // names read lately, by a hash: tokens of the same name share one
    QByteArray m_number; // the number being read
};
