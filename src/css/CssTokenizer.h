#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <stop_token>

// One token of a style sheet, as CSS Syntax Level 3 cuts text into tokens.
struct CssToken {
    enum Type {
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

    // In this order, the token takes 40 bytes: a style sheet holds one for every few characters.
    QString text; // the name, unit, string value, or the one delimiter character
    double number = 0;
    Type type = End;
    bool idHash = false; // a hash that would start an identifier

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
    char32_t peek(qsizetype ahead = 0) const;
    char32_t take();
    bool validEscape(qsizetype ahead = 0) const;
    bool startsIdent(qsizetype ahead = 0) const;
    bool startsNumber() const;
    char32_t escape();
    QString name();
    CssToken numeric();
    CssToken identLike();
    CssToken string(char32_t quote);
    CssToken url();
    void skipComments();

    QList<char32_t> m_text; // code points, with newlines and NULs already normalised
    qsizetype m_at = 0;
    QString m_name; // the name being read
    QList<QString> m_names; // names read lately, by a hash: tokens of the same name share one
    QByteArray m_number; // the number being read
};
