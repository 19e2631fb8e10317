#include "IniLines.h"

#include <QHash>

namespace {

int hexValue(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

bool isPlainNameChar(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' || c == u'-'
        || c == u'.';
}

} // namespace

IniLines::IniLines(const QByteArray& bytes)
{
    QString block;
    qsizetype from = 0;
    while (from < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', from);
        if (end < 0)
            end = bytes.size();
        Line line{bytes.mid(from, end - from), {}, {}, {}};
        from = end + 1;
        const QString text = QString::fromUtf8(line.raw).trimmed();
        if (text.startsWith(u'[')) {
            if (!text.endsWith(u']')) {
                m_wellFormed = false;
            } else {
                block = decodeName(QStringView(text).mid(1, text.size() - 2).trimmed());
                if (block.compare(QStringLiteral("General"), Qt::CaseInsensitive) == 0)
                    block.clear();
            }
        } else if (!text.isEmpty() && !text.startsWith(u';') && !text.startsWith(u'#')) {
            const qsizetype equals = text.indexOf(u'=');
            if (equals <= 0) {
                m_wellFormed = false;
            } else {
                line.key = decodeName(QStringView(text).left(equals).trimmed());
                if (!block.isEmpty())
                    line.key.prepend(block + u'/');
                line.value = text.mid(equals + 1).trimmed();
            }
        }
        line.block = block;
        m_lines.append(std::move(line));
    }
}

bool IniLines::belongs(const Line& line, const QString& application, const QString& section, QString* name)
{
    if (line.key.isEmpty())
        return false;
    const QStringList parts = line.key.split(u'/');
    if (parts.size() != 3 || parts.at(0).compare(application, Qt::CaseInsensitive) != 0
        || parts.at(1).compare(section, Qt::CaseInsensitive) != 0)
        return false;
    if (name)
        *name = parts.at(2);
    return true;
}

IniLines::Entries IniLines::section(const QString& application, const QString& section) const
{
    Entries entries;
    QHash<QString, qsizetype> where; // folded name -> place in `entries`
    for (const Line& line : m_lines) {
        QString name;
        if (!belongs(line, application, section, &name))
            continue;
        const std::optional<QString> text = decodeValue(line.value);
        if (!text)
            continue;
        const QString folded = name.toCaseFolded();
        // As QSettings reads it, the last of a repeated key counts.
        if (const auto known = where.constFind(folded); known != where.cend()) {
            entries[*known].second = *text;
        } else {
            where.insert(folded, entries.size());
            entries.append({name, *text});
        }
    }
    return entries;
}

bool IniLines::sectionIsText(const QString& application, const QString& section) const
{
    return std::all_of(m_lines.cbegin(), m_lines.cend(), [&](const Line& line) {
        return !belongs(line, application, section, nullptr) || decodeValue(line.value).has_value();
    });
}

void IniLines::replaceSection(const QString& application, const QString& section, const Entries& entries)
{
    // The stored spelling of each name is kept.
    const Entries stored = this->section(application, section);
    const QString blockName = [&] {
        for (const Line& line : m_lines)
            if (line.block.compare(application, Qt::CaseInsensitive) == 0)
                return line.block;
        return application;
    }();
    QList<Line> added;
    for (const auto& [name, text] : entries) {
        QString spelling = name;
        for (const auto& entry : stored)
            if (entry.first.compare(name, Qt::CaseInsensitive) == 0)
                spelling = entry.first;
        Line line;
        line.raw = encodeName(section) + '\\' + encodeName(spelling) + '=' + encodeValue(text);
        line.block = blockName;
        line.key = blockName + u'/' + section + u'/' + spelling;
        line.value = QString::fromUtf8(encodeValue(text));
        added.append(std::move(line));
    }
    qsizetype at = -1;
    QList<Line> kept;
    kept.reserve(m_lines.size());
    for (Line& line : m_lines) {
        if (!belongs(line, application, section, nullptr))
            kept.append(std::move(line));
        else if (at < 0)
            at = kept.size();
    }
    m_lines = std::move(kept);
    if (at < 0) {
        // After the last key of the application's block.
        for (qsizetype i = 0; i < m_lines.size(); ++i)
            if (m_lines.at(i).block.compare(application, Qt::CaseInsensitive) == 0 && !m_lines.at(i).key.isEmpty())
                at = i + 1;
    }
    if (at < 0 && !added.isEmpty()) {
        // A block of its own at the end, after a blank line as QSettings separates blocks.
        if (!m_lines.isEmpty() && !m_lines.last().raw.trimmed().isEmpty())
            m_lines.append(Line{});
        m_lines.append(Line{'[' + encodeName(application) + ']', application, {}, {}});
        at = m_lines.size();
    }
    for (qsizetype i = 0; i < added.size(); ++i)
        m_lines.insert(at + i, added.at(i));
}

QByteArray IniLines::bytes() const
{
    QByteArray out;
    for (const Line& line : m_lines)
        out += line.raw + '\n';
    return out;
}

QString IniLines::decodeName(QStringView raw)
{
    QString name;
    name.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c == u'\\') {
            name.append(u'/');
            continue;
        }
        if (c == u'%') {
            const bool wide = i + 1 < raw.size() && raw.at(i + 1) == u'U';
            const qsizetype digits = wide ? 4 : 2;
            const qsizetype start = i + (wide ? 2 : 1);
            int code = 0;
            bool ok = start + digits <= raw.size();
            for (qsizetype d = 0; ok && d < digits; ++d) {
                const int v = hexValue(raw.at(start + d));
                ok = v >= 0;
                code = code * 16 + v;
            }
            if (ok) {
                name.append(QChar(char16_t(code)));
                i = start + digits - 1;
                continue;
            }
        }
        name.append(c);
    }
    return name;
}

QByteArray IniLines::encodeName(const QString& name)
{
    QByteArray out;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u == u'/')
            out += '\\';
        else if (isPlainNameChar(u))
            out += char(u);
        else if (u <= 0xFF)
            out += '%' + QByteArray::number(u, 16).toUpper().rightJustified(2, '0');
        else
            out += "%U" + QByteArray::number(u, 16).toUpper().rightJustified(4, '0');
    }
    return out;
}

std::optional<QString> IniLines::decodeValue(QStringView raw)
{
    QString text;
    text.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c == u'"')
            continue;
        if (c != u'\\' || i + 1 == raw.size()) {
            text.append(c);
            continue;
        }
        const QChar next = raw.at(++i);
        switch (next.unicode()) {
        case u'n':
            text.append(u'\n');
            break;
        case u't':
            text.append(u'\t');
            break;
        case u'r':
            text.append(u'\r');
            break;
        case u'a':
            text.append(u'\a');
            break;
        case u'b':
            text.append(u'\b');
            break;
        case u'f':
            text.append(u'\f');
            break;
        case u'v':
            text.append(u'\v');
            break;
        case u'0':
            text.append(QChar(u'\0'));
            break;
        case u'x': {
            char16_t code = 0;
            while (i + 1 < raw.size() && hexValue(raw.at(i + 1)) >= 0)
                code = char16_t(code * 16 + hexValue(raw.at(++i)));
            text.append(QChar(code));
            break;
        }
        default:
            text.append(next);
        }
    }
    // "@@" stands for a text that starts with "@"; any other "@" starts a stored Qt type.
    if (text.startsWith(u'@')) {
        if (!text.startsWith(QStringLiteral("@@")))
            return std::nullopt;
        text.remove(0, 1);
    }
    return text;
}

QByteArray IniLines::encodeValue(const QString& text)
{
    QByteArray out;
    if (text.startsWith(u'@'))
        out += '@';
    bool needsQuotes = false;
    bool escapeNextIfDigit = false;
    // Plain characters are gathered and written as UTF-8 together, so a pair of surrogates stays whole.
    QString plain;
    const auto flush = [&] {
        out += plain.toUtf8();
        plain.clear();
    };
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u > 0x1F && u != u'"' && u != u'\\' && !(escapeNextIfDigit && hexValue(c) >= 0)) {
            if (u == u';' || u == u',' || u == u'=')
                needsQuotes = true;
            escapeNextIfDigit = false;
            plain.append(c);
            continue;
        }
        flush();
        if (u == u';' || u == u',' || u == u'=')
            needsQuotes = true;
        if (escapeNextIfDigit && hexValue(c) >= 0) {
            out += "\\x" + QByteArray::number(u, 16);
            continue;
        }
        escapeNextIfDigit = false;
        switch (u) {
        case u'\0':
            out += "\\0";
            escapeNextIfDigit = true;
            break;
        case u'\a':
            out += "\\a";
            break;
        case u'\b':
            out += "\\b";
            break;
        case u'\f':
            out += "\\f";
            break;
        case u'\n':
            out += "\\n";
            break;
        case u'\r':
            out += "\\r";
            break;
        case u'\t':
            out += "\\t";
            break;
        case u'\v':
            out += "\\v";
            break;
        case u'"':
        case u'\\':
            out += '\\';
            out += char(u);
            break;
        default:
            out += "\\x" + QByteArray::number(u, 16);
            escapeNextIfDigit = true;
        }
    }
    flush();
    if (needsQuotes || (!text.isEmpty() && (text.front() == u' ' || text.back() == u' ')))
        out = '"' + out + '"';
    return out;
}
