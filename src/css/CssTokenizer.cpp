#include "CssTokenizer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

constexpr char32_t Eof = 0xFFFFFFFF;
constexpr char32_t Replacement = 0xFFFD;

bool isDigit(char32_t c)
{
    return c >= '0' && c <= '9';
}

bool isHexDigit(char32_t c)
{
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool isNameStart(char32_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || (c >= 0x80 && c != Eof);
}

bool isNameChar(char32_t c)
{
    return isNameStart(c) || isDigit(c) || c == '-';
}

bool isWhitespace(char32_t c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

bool isNonPrintable(char32_t c)
{
    return c <= 0x08 || c == 0x0B || (c >= 0x0E && c <= 0x1F) || c == 0x7F;
}

// Code point by code point: QString::fromUcs4 would take a leading U+FEFF for a byte order mark.
void append(QString& text, char32_t c)
{
    if (QChar::requiresSurrogates(c)) {
        text += QChar(QChar::highSurrogate(c));
        text += QChar(QChar::lowSurrogate(c));
    } else {
        text += QChar(char16_t(c));
    }
}

CssToken token(CssToken::Type type, CssTokenText text = {})
{
    CssToken result;
    result.type = type;
    result.text = std::move(text);
    return result;
}

} // namespace

CssTokenizer::CssTokenizer(QStringView text)
    : m_source(text)
{
    // A short text, such as a single value, has few names to share.
    m_names.resize(text.size() < 256 ? 16 : 1024);
}

// The code point at m_text[at], past what is read so far: what is before m_at is dropped and more of
// the text read, enough to reach `at` (a long name is read whole). Eof past the end of the text.
char32_t CssTokenizer::more(qsizetype at)
{
    constexpr qsizetype Chunk = 4096;
    const qsizetype size = m_source.size();
    if (m_read == size)
        return Eof;
    // What is kept moves to the front, in the space the list already has.
    lineHere();
    m_counted = 0;
    std::copy(m_text.cbegin() + m_at, m_text.cend(), m_text.begin());
    const qsizetype kept = m_text.size() - m_at;
    at -= m_at;
    m_at = 0;
    const qsizetype wanted = std::max(Chunk, at + 1 - kept);
    m_text.resize(kept + std::min(wanted, size - m_read));
    char32_t* out = m_text.data() + kept;
    char32_t* const full = m_text.data() + m_text.size();
    const QChar* in = m_source.data();
    qsizetype i = m_read;
    for (; i < size && out < full; ++i) {
        const QChar c = in[i];
        char32_t code = c.unicode();
        if (code >= 0x20 && code < 0xD800) {
            // Most text: nothing to normalise.
        } else if (c.isHighSurrogate() && i + 1 < size && in[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, in[++i]);
        } else if (c.isSurrogate() || code == 0) {
            code = Replacement;
        } else if (code == '\r') {
            if (i + 1 < size && in[i + 1] == u'\n')
                ++i;
            code = '\n';
        } else if (code == '\f') {
            code = '\n';
        }
        *out++ = code;
    }
    m_read = i;
    m_text.resize(out - m_text.data());
    return at < m_text.size() ? m_text[at] : more(at);
}

QList<CssToken> CssTokenizer::all(QStringView text, const std::stop_token& stop)
{
    CssTokenizer tokenizer(text);
    QList<CssToken> tokens;
    for (CssToken next = tokenizer.next(); !next.is(CssToken::End); next = tokenizer.next()) {
        if (tokens.size() % 4096 == 0 && stop.stop_requested())
            break;
        tokens.append(std::move(next));
    }
    return tokens;
}

quint32 CssTokenizer::lineHere()
{
    const qsizetype at = std::min(m_at, m_text.size());
    m_line += quint32(std::count(m_text.cbegin() + std::min(m_counted, at), m_text.cbegin() + at, U'\n'));
    m_counted = std::max(m_counted, at);
    return m_line;
}

char32_t CssTokenizer::take()
{
    const char32_t c = peek();
    if (c != Eof)
        ++m_at;
    return c;
}

bool CssTokenizer::validEscape(qsizetype ahead)
{
    return peek(ahead) == '\\' && peek(ahead + 1) != '\n';
}

bool CssTokenizer::startsIdent(qsizetype ahead)
{
    const char32_t first = peek(ahead);
    if (first == '-')
        return isNameStart(peek(ahead + 1)) || peek(ahead + 1) == '-' || validEscape(ahead + 1);
    return isNameStart(first) || validEscape(ahead);
}

bool CssTokenizer::startsNumber()
{
    const char32_t first = peek();
    if (first == '+' || first == '-')
        return isDigit(peek(1)) || (peek(1) == '.' && isDigit(peek(2)));
    if (first == '.')
        return isDigit(peek(1));
    return isDigit(first);
}

void CssTokenizer::skipComments()
{
    while (peek() == '/' && peek(1) == '*') {
        m_at += 2;
        while (peek() != Eof && !(peek() == '*' && peek(1) == '/'))
            ++m_at;
        take();
        take();
    }
}

// After the backslash.
char32_t CssTokenizer::escape()
{
    const char32_t c = take();
    if (c == Eof)
        return Replacement;
    if (!isHexDigit(c))
        return c;
    char32_t value = 0;
    const auto add
        = [&value](char32_t digit) { value = value * 16 + (isDigit(digit) ? digit - '0' : (digit | 0x20) - 'a' + 10); };
    add(c);
    for (int count = 1; count < 6 && isHexDigit(peek()); ++count)
        add(take());
    if (isWhitespace(peek()))
        take();
    if (value == 0 || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF)
        return Replacement;
    return value;
}

CssTokenText CssTokenizer::name()
{
    // A style sheet names the same classes, properties and units over and over: one string for each.
    // Most names are plain (no escape, nothing outside the BMP): such a name is looked up among those
    // read lately straight from the text, and a string made only for a new one.
    std::uint32_t hash = 2166136261u;
    qsizetype length = 0;
    char32_t c = peek();
    while (c < 0x10000 && isNameChar(c)) {
        hash = (hash ^ c) * 16777619u;
        c = peek(++length);
    }
    const bool ends = c == Eof || (c < 0x10000 && (c != '\\' || peek(length + 1) == '\n'));
    if (ends) {
        const char32_t* const text = m_text.constData() + m_at;
        CssTokenText& known = m_names[(hash ^ (hash >> 16)) % m_names.size()];
        const QChar* const kept = known.toString().constData();
        bool same = known.size() == length;
        for (qsizetype i = 0; same && i < length; ++i)
            same = kept[i].unicode() == text[i];
        if (!same) {
            QString made(length, Qt::Uninitialized);
            QChar* const out = made.data();
            for (qsizetype i = 0; i < length; ++i)
                out[i] = QChar(char16_t(text[i]));
            known = CssTokenText(made);
        }
        m_at += length;
        return known;
    }
    m_name.resize(0);
    while (true) {
        if (isNameChar(peek())) {
            append(m_name, take());
        } else if (validEscape()) {
            take();
            append(m_name, escape());
        } else {
            break;
        }
    }
    QString name = m_name;
    name.squeeze();
    return CssTokenText(name);
}

CssToken CssTokenizer::numeric()
{
    m_number.resize(0);
    const auto keep = [this] { m_number.append(char(take())); };
    if (peek() == '+' || peek() == '-')
        keep();
    while (isDigit(peek()))
        keep();
    if (peek() == '.' && isDigit(peek(1))) {
        keep();
        while (isDigit(peek()))
            keep();
    }
    if ((peek() == 'e' || peek() == 'E')
        && (isDigit(peek(1)) || ((peek(1) == '+' || peek(1) == '-') && isDigit(peek(2))))) {
        keep();
        keep();
        while (isDigit(peek()))
            keep();
    }
    const char* first = m_number.constData() + (m_number.startsWith('+') ? 1 : 0);
    double value = 0;
    const std::from_chars_result read = std::from_chars(first, m_number.constData() + m_number.size(), value);
    if (read.ec != std::errc())
        value = QString::fromLatin1(m_number).toDouble(); // out of range: as far as a double goes
    // Far too large numbers stay the largest finite number, so that clamping still does its work.
    if (!std::isfinite(value))
        value = m_number.startsWith('-') ? std::numeric_limits<double>::lowest() : std::numeric_limits<double>::max();
    CssToken result;
    result.number = value;
    if (startsIdent()) {
        result.type = CssToken::Dimension;
        result.text = name();
    } else if (peek() == '%') {
        take();
        result.type = CssToken::Percentage;
    } else {
        result.type = CssToken::Number;
    }
    return result;
}

CssToken CssTokenizer::url()
{
    QString value;
    while (isWhitespace(peek()))
        take();
    while (true) {
        const char32_t c = take();
        if (c == ')' || c == Eof)
            return token(CssToken::Url, value);
        if (isWhitespace(c)) {
            while (isWhitespace(peek()))
                take();
            if (peek() == ')' || peek() == Eof) {
                take();
                return token(CssToken::Url, value);
            }
        } else if (c != '"' && c != '\'' && c != '(' && !isNonPrintable(c) && (c != '\\' || peek() != '\n')) {
            if (c == '\\') {
                append(value, escape());
            } else {
                append(value, c);
            }
            continue;
        }
        // The rest of a bad url, up to its ), with escapes passed over.
        while (peek() != ')' && peek() != Eof) {
            if (validEscape()) {
                take();
                escape();
            } else {
                take();
            }
        }
        take();
        return token(CssToken::BadUrl);
    }
}

CssToken CssTokenizer::identLike()
{
    const CssTokenText text = name();
    if (text.compare(u"url", Qt::CaseInsensitive) == 0 && peek() == '(') {
        take();
        qsizetype ahead = 0;
        while (isWhitespace(peek(ahead)) && isWhitespace(peek(ahead + 1)))
            ++ahead;
        const qsizetype quoteAt = isWhitespace(peek(ahead)) ? ahead + 1 : ahead;
        if (peek(quoteAt) == '"' || peek(quoteAt) == '\'') {
            m_at += ahead;
            return token(CssToken::Function, text);
        }
        return url();
    }
    if (peek() == '(') {
        take();
        return token(CssToken::Function, text);
    }
    return token(CssToken::Ident, text);
}

CssToken CssTokenizer::string(char32_t quote)
{
    QString value;
    while (true) {
        const char32_t c = peek();
        if (c == quote || c == Eof) {
            take();
            return token(CssToken::String, value);
        }
        if (c == '\n')
            return token(CssToken::BadString);
        take();
        if (c != '\\') {
            append(value, c);
        } else if (peek() == '\n') {
            take();
        } else if (peek() != Eof) {
            append(value, escape());
        }
    }
}

CssToken CssTokenizer::next()
{
    CssToken token = nextToken();
    token.line = m_tokenLine;
    return token;
}

CssToken CssTokenizer::nextToken()
{
    skipComments();
    const char32_t c = peek();
    m_tokenLine = lineHere();
    if (c == Eof)
        return token(CssToken::End);
    if (isWhitespace(c)) {
        while (isWhitespace(peek()))
            take();
        return token(CssToken::Whitespace);
    }
    if (c == '"' || c == '\'') {
        take();
        return string(c);
    }
    if (c == '#') {
        take();
        if (isNameChar(peek()) || validEscape()) {
            const bool id = startsIdent();
            CssToken result = token(CssToken::Hash, name());
            result.idHash = id;
            return result;
        }
        return token(CssToken::Delim, QStringLiteral("#"));
    }
    if (isDigit(c) || ((c == '+' || c == '.') && startsNumber()))
        return numeric();
    if (c == '-') {
        if (startsNumber())
            return numeric();
        if (peek(1) == '-' && peek(2) == '>') {
            m_at += 3;
            return token(CssToken::Cdc);
        }
        if (startsIdent())
            return identLike();
    }
    if (c == '<' && peek(1) == '!' && peek(2) == '-' && peek(3) == '-') {
        m_at += 4;
        return token(CssToken::Cdo);
    }
    if (c == '@') {
        take();
        if (startsIdent())
            return token(CssToken::AtKeyword, name());
        return token(CssToken::Delim, QStringLiteral("@"));
    }
    if (isNameStart(c) || validEscape())
        return identLike();
    take();
    switch (c) {
    case '(':
        return token(CssToken::OpenParen);
    case ')':
        return token(CssToken::CloseParen);
    case '[':
        return token(CssToken::OpenSquare);
    case ']':
        return token(CssToken::CloseSquare);
    case '{':
        return token(CssToken::OpenCurly);
    case '}':
        return token(CssToken::CloseCurly);
    case ',':
        return token(CssToken::Comma);
    case ':':
        return token(CssToken::Colon);
    case ';':
        return token(CssToken::Semicolon);
    default:
        break;
    }
    if (c < 0x80) {
        // One string for each ASCII delimiter, shared by every token of it.
        static const std::array<CssTokenText, 0x80> delimiters = [] {
            std::array<CssTokenText, 0x80> result;
            for (char16_t ascii = 0; ascii < 0x80; ++ascii)
                result[ascii] = QString(QChar(ascii));
            return result;
        }();
        return token(CssToken::Delim, delimiters[c]);
    }
    QString text;
    append(text, c);
    return token(CssToken::Delim, text);
}
