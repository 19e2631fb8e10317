#include "PageReport.h"

#include "colour/Contrast.h"
#include "files/PrintableText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonValue>
#include <QLocale>
#include <QUrl>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <type_traits>
#include <utility>

namespace PageReport {

namespace {

using Element = PageJudgement::Element;
using Verdict = PageJudgement::Verdict;
using Check = PageJudgement::Check;

QString tr(const char* text)
{
    return QCoreApplication::translate("PageReport", text);
}

QString hex(Argb colour)
{
    return Rgb::fromArgb(colour).name().toUpper();
}

// 4.5 as "4.5", 3 as "3", 60 as "60".
QString number(double value)
{
    return QString::number(value, 'g', 4);
}

// An element's text in quotes, on one line, as a terminal can show it: a quote in it escaped.
QString quotedText(const QString& text)
{
    return QLatin1Char('"') + PrintableText::escaped(text.simplified()).replace(u'"', QStringLiteral("\\\""))
        + QLatin1Char('"');
}

// What the element reached, and what it needed: "2.84:1" and "needs 4.5:1", "Lc 42.1" and "needs Lc 60",
// or for a link beside its text "1.90:1" and "needs 3:1 from its text". The ratio is cut, never rounded
// up to what it needed.
std::pair<QString, QString> measure(const Element& element, const Page& page)
{
    const QString ratio = Contrast::ratioText(element.ratio) + QStringLiteral(":1");
    if (element.check == Check::LinkInText)
        return {ratio, tr("needs %1:1 from its text").arg(number(element.needed))};
    if (page.apca)
        return {QStringLiteral("Lc %1").arg(QString::number(std::abs(element.lc), 'f', 1)),
            tr("needs Lc %1").arg(number(element.needed))};
    return {ratio, tr("needs %1:1").arg(number(element.needed))};
}

// What is judged: ""Read more" #8A8A8A on #FFFFFF", or "link "x" #0000EE beside text #333333".
QString subject(const Element& element)
{
    if (element.check == Check::LinkInText)
        return tr("link %1 %2 beside text %3")
            .arg(quotedText(element.text), hex(element.foreground), hex(element.background));
    return tr("%1 %2 on %3").arg(quotedText(element.text), hex(element.foreground), hex(element.background));
}

// An origin with its file named as the report names files.
QString originText(PageJudgement::Origin origin, const Page& page, const QString& currentFolder)
{
    if (origin.kind == PageJudgement::Origin::Kind::Sheet)
        origin.file = fileShown(origin.file, page, currentFolder);
    return PrintableText::escaped(origin.text());
}

// Where the colours came from: "color from theme.css:212 .muted", the background's too when a page or
// an attribute set it; for a link, the link's colour and the text's.
QString origins(const Element& element, const Page& page, const QString& currentFolder)
{
    const QString fore = originText(element.foregroundFrom, page, currentFolder);
    const QString back = originText(element.backgroundFrom, page, currentFolder);
    if (element.check == Check::LinkInText)
        return tr("link color from %1; text color from %2").arg(fore, back);
    if (element.backgroundFrom.kind == PageJudgement::Origin::Kind::Default)
        return tr("color from %1").arg(fore);
    return tr("color from %1; background from %2").arg(fore, back);
}

QString message(const Element& element, const Page& page, const QString& currentFolder)
{
    const QString dark = page.colourScheme == QLatin1String("dark") ? QStringLiteral("dark: ") : QString();
    const QString why = PrintableText::escaped(element.why.simplified());
    const auto [reached, needed] = measure(element, page);
    if (element.verdict == Verdict::Review)
        return QStringLiteral("%1review: %2 %3 (%4, %5; %6)")
            .arg(dark, why.isEmpty() ? tr("needs a look") : why, subject(element), reached, needed,
                origins(element, page, currentFolder));
    QString text = QStringLiteral("%1%2 (%3) %4 (%5)")
                       .arg(dark, reached, needed, subject(element), origins(element, page, currentFolder));
    if (!why.isEmpty())
        text += QStringLiteral(" - ") + why;
    return text;
}

QString elementFile(const Element& element, const Page& page)
{
    return element.file.isEmpty() ? page.file : element.file;
}

QString place(const Element& element, const Page& page, const QString& currentFolder)
{
    QString text = fileShown(elementFile(element, page), page, currentFolder);
    if (element.line > 0) {
        text += QLatin1Char(':') + QString::number(element.line);
        if (element.column > 0)
            text += QLatin1Char(':') + QString::number(element.column);
    }
    return text;
}

// The absolute, clean path of `file`, relative to `currentFolder` when it is below it.
QString relativeBelow(const QString& file, const QString& currentFolder, bool* below)
{
    const QString absolute = QDir::cleanPath(QFileInfo(file).absoluteFilePath());
    const QString folder = QDir::cleanPath(currentFolder);
    const QString prefix = folder.endsWith(u'/') ? folder : folder + QLatin1Char('/');
    *below = !folder.isEmpty() && absolute.startsWith(prefix) && absolute.size() > prefix.size();
    return *below ? absolute.mid(prefix.size()) : absolute;
}

struct Rule {
    const char* id;
    const char* name;
    const char* text;
};

const Rule Rules[] = {
    {"contrast", "TextContrast", "Text must stand out from what is painted behind it."},
    {"link-in-text", "LinkInText", "A link in a run of text must stand 3:1 from the text when it is not underlined."},
    {"scheme-pair", "SchemePair", "Each colour of a scheme must stand out from its background."},
};

} // namespace

QString fileShown(const QString& file, const Page& page, const QString& currentFolder)
{
    if (file.isEmpty() || file == page.file)
        return page.shown;
    bool below = false;
    return PrintableText::escaped(relativeBelow(file, currentFolder, &below));
}

QString elementLine(const Element& element, const Page& page, const QString& currentFolder)
{
    return place(element, page, currentFolder) + QStringLiteral(": ") + message(element, page, currentFolder);
}

QStringList elementLines(const PageJudgement& judgement, const Page& page, const QString& currentFolder)
{
    QStringList lines;
    for (const Verdict verdict : {Verdict::Fail, Verdict::Review})
        for (const Element& element : judgement.elements)
            if (element.verdict == verdict)
                lines << elementLine(element, page, currentFolder);
    return lines;
}

QString countsText(const PageJudgement& judgement)
{
    return tr("%1 pass, %2 fail, %3 review")
        .arg(judgement.count(Verdict::Pass))
        .arg(judgement.count(Verdict::Fail))
        .arg(judgement.count(Verdict::Review));
}

namespace {

// JSON written straight to bytes, compact, as QJsonDocument writes it: a page holds thousands of
// elements, and building a QJsonObject of each costs more than judging it.
class JsonText {
public:
    QByteArray bytes;

    void string(QStringView text)
    {
        // Plain ASCII, as most texts, selectors and paths are, goes straight in.
        if (std::all_of(text.begin(), text.end(),
                [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7F && c != u'"' && c != u'\\'; })) {
            const qsizetype at = bytes.size();
            bytes.resize(at + text.size() + 2);
            char* out = bytes.data() + at;
            *out++ = '"';
            for (const QChar c : text)
                *out++ = char(c.unicode());
            *out = '"';
            return;
        }
        bytes += '"';
        const QByteArray utf8 = text.toUtf8();
        const char* from = utf8.constData();
        const char* const end = from + utf8.size();
        for (const char* at = from; at != end; ++at) {
            const auto c = static_cast<unsigned char>(*at);
            if (c >= 0x20 && c != '"' && c != '\\')
                continue;
            bytes.append(from, at - from);
            from = at + 1;
            switch (c) {
            case '"':
            case '\\':
                bytes += '\\';
                bytes += char(c);
                break;
            case '\b':
                bytes += "\\b";
                break;
            case '\f':
                bytes += "\\f";
                break;
            case '\n':
                bytes += "\\n";
                break;
            case '\r':
                bytes += "\\r";
                break;
            case '\t':
                bytes += "\\t";
                break;
            default:
                bytes += "\\u00" + QByteArray::number(c, 16).rightJustified(2, '0');
            }
        }
        bytes.append(from, end - from);
        bytes += '"';
    }
    void number(double value)
    {
        // The shortest text that reads back as the value, as Qt writes it: Qt's own where that takes an
        // exponent, for zero (whose sign Qt drops), and past 1e15 (where Qt pads the shortest digits with
        // zeros, and to_chars writes the exact integer).
        char text[32];
        const auto [end, error] = std::to_chars(text, text + sizeof text, value);
        if (value != 0 && std::abs(value) < 1e15 && error == std::errc() && std::find(text, end, 'e') == end)
            bytes.append(text, end - text);
        else
            bytes += std::isfinite(value) ? QByteArray::number(value, 'g', QLocale::FloatingPointShortest)
                                          : QByteArray("null");
    }
    void number(int value)
    {
        char text[16];
        bytes.append(text, std::to_chars(text, text + sizeof text, value).ptr - text);
    }
    // "#RRGGBB"
    void colour(Argb argb)
    {
        static const char digits[] = "0123456789ABCDEF";
        char text[9] = {'"', '#'};
        for (int i = 0; i < 6; ++i)
            text[2 + i] = digits[(argb >> (20 - 4 * i)) & 0xF];
        text[8] = '"';
        bytes.append(text, 9);
    }
    void boolean(bool value) { bytes += value ? "true" : "false"; }
    // `"name":`, after a comma unless it opens the object.
    void key(const char* name, bool first = false)
    {
        if (!first)
            bytes += ',';
        bytes += '"';
        bytes += name;
        bytes += "\":";
    }
    // `,"name":value`
    template <typename Value> void member(const char* name, const Value& value)
    {
        key(name);
        if constexpr (std::is_same_v<Value, int> || std::is_same_v<Value, double>)
            number(value);
        else
            string(value);
    }
    void value(const QJsonValue& value, const QHash<QString, QByteArray>& raw)
    {
        switch (value.type()) {
        case QJsonValue::Bool:
            boolean(value.toBool());
            break;
        case QJsonValue::Double:
            number(value.toDouble());
            break;
        case QJsonValue::String:
            if (const auto found = raw.constFind(value.toString()); found != raw.constEnd())
                bytes += *found;
            else
                string(value.toString());
            break;
        case QJsonValue::Array: {
            const QJsonArray array = value.toArray();
            bytes += '[';
            for (qsizetype i = 0; i < array.size(); ++i) {
                if (i)
                    bytes += ',';
                this->value(array.at(i), raw);
            }
            bytes += ']';
            break;
        }
        case QJsonValue::Object: {
            const QJsonObject object = value.toObject();
            bytes += '{';
            for (auto it = object.begin(); it != object.end(); ++it) {
                if (it != object.begin())
                    bytes += ',';
                string(it.key());
                bytes += ':';
                this->value(it.value(), raw);
            }
            bytes += '}';
            break;
        }
        default:
            bytes += "null";
        }
    }
};

} // namespace

QByteArray elementsJson(const PageJudgement& judgement, const Page& page, const QString& currentFolder)
{
    // Most elements share a few files and origins: each is named once.
    QHash<QString, QString> files;
    const auto shownFile = [&](const QString& file) -> const QString& {
        auto found = files.find(file);
        if (found == files.end())
            found = files.insert(file, fileShown(file, page, currentFolder));
        return *found;
    };
    // Elements in a row mostly take their colours from the same few rules: the latest origins are kept.
    QList<std::pair<PageJudgement::Origin, QString>> origins;
    const auto origin = [&](const PageJudgement::Origin& from) -> const QString& {
        for (qsizetype i = origins.size() - 1; i >= 0; --i) {
            const PageJudgement::Origin& known = origins[i].first;
            if (known.kind == from.kind && known.line == from.line && known.selector == from.selector
                && known.file == from.file)
                return origins[i].second;
        }
        if (origins.size() == 16)
            origins.removeFirst();
        origins.append({from, originText(from, page, currentFolder)});
        return origins.last().second;
    };
    JsonText json;
    json.bytes.reserve(judgement.elements.size() * 400);
    json.bytes += '[';
    for (const Element& element : judgement.elements) {
        if (json.bytes.size() > 1)
            json.bytes += ',';
        json.bytes += '{';
        json.key("background", true);
        json.colour(element.background);
        json.member("check", PageJudgement::checkName(element.check));
        json.member("column", element.column);
        json.member("file", shownFile(elementFile(element, page)));
        json.key("foreground");
        json.colour(element.foreground);
        json.key("from");
        json.bytes += '{';
        json.key("background", true);
        json.string(origin(element.backgroundFrom));
        json.member("foreground", origin(element.foregroundFrom));
        json.bytes += '}';
        json.member("index", element.index);
        json.key("large");
        json.boolean(element.large);
        json.member("lc", element.lc);
        json.member("line", element.line);
        json.member("needed", element.needed);
        json.member("ratio", element.ratio);
        json.member("selector", element.selector);
        json.member("tag", element.tag);
        json.member("text", element.text);
        json.member("verdict", PageJudgement::verdictName(element.verdict));
        json.member("why", element.why);
        json.bytes += '}';
    }
    json.bytes += ']';
    return json.bytes;
}

QByteArray compactJson(const QJsonValue& value, const QHash<QString, QByteArray>& raw)
{
    JsonText json;
    json.value(value, raw);
    return json.bytes;
}

QJsonObject countsJson(const PageJudgement& judgement)
{
    QJsonObject counts;
    for (const Verdict verdict : {Verdict::Pass, Verdict::Fail, Verdict::Review})
        counts.insert(PageJudgement::verdictName(verdict), judgement.count(verdict));
    return counts;
}

void Sarif::add(const PageJudgement& judgement, const Page& page)
{
    for (const Verdict verdict : {Verdict::Fail, Verdict::Review}) {
        for (const Element& element : judgement.elements) {
            if (element.verdict != verdict)
                continue;
            Result result;
            result.ruleId = PageJudgement::checkName(element.check);
            result.level = verdict == Verdict::Fail ? QStringLiteral("error") : QStringLiteral("note");
            result.message = message(element, page, currentFolder);
            result.file = elementFile(element, page);
            result.line = element.line;
            result.column = element.column;
            results << result;
        }
    }
}

QString artifactUri(const QString& file, const QString& currentFolder)
{
    bool below = false;
    const QString path = relativeBelow(file, currentFolder, &below);
    if (below)
        return QString::fromLatin1(QUrl::toPercentEncoding(path, "/"));
    return QString::fromLatin1(QUrl::fromLocalFile(path).toEncoded());
}

QJsonObject Sarif::log() const
{
    QJsonArray rules;
    for (const Rule& rule : Rules) {
        rules.append(QJsonObject{{QStringLiteral("id"), QLatin1StringView(rule.id)},
            {QStringLiteral("name"), QLatin1StringView(rule.name)},
            {QStringLiteral("shortDescription"), QJsonObject{{QStringLiteral("text"), QLatin1StringView(rule.text)}}},
            {QStringLiteral("defaultConfiguration"), QJsonObject{{QStringLiteral("level"), QStringLiteral("error")}}}});
    }
    QJsonArray sarifResults;
    for (const Result& result : results) {
        int ruleIndex = 0;
        while (ruleIndex + 1 < int(std::size(Rules)) && result.ruleId != QLatin1StringView(Rules[ruleIndex].id))
            ++ruleIndex;
        QJsonObject object{{QStringLiteral("ruleId"), result.ruleId}, {QStringLiteral("ruleIndex"), ruleIndex},
            {QStringLiteral("level"), result.level},
            {QStringLiteral("message"), QJsonObject{{QStringLiteral("text"), result.message}}}};
        if (!result.file.isEmpty()) {
            bool below = false;
            relativeBelow(result.file, currentFolder, &below);
            QJsonObject artifact{{QStringLiteral("uri"), artifactUri(result.file, currentFolder)}};
            if (below)
                artifact.insert(QStringLiteral("uriBaseId"), QStringLiteral("CURRENTDIR"));
            QJsonObject physical{{QStringLiteral("artifactLocation"), artifact}};
            if (result.line > 0) {
                QJsonObject region{{QStringLiteral("startLine"), result.line}};
                if (result.column > 0)
                    region.insert(QStringLiteral("startColumn"), result.column);
                physical.insert(QStringLiteral("region"), region);
            }
            object.insert(
                QStringLiteral("locations"), QJsonArray{QJsonObject{{QStringLiteral("physicalLocation"), physical}}});
        }
        sarifResults.append(object);
    }
    QJsonArray notifications;
    for (const QString& error : errors)
        notifications.append(QJsonObject{{QStringLiteral("level"), QStringLiteral("error")},
            {QStringLiteral("message"), QJsonObject{{QStringLiteral("text"), error}}}});
    QJsonObject invocation{{QStringLiteral("executionSuccessful"), successful}};
    if (!notifications.isEmpty())
        invocation.insert(QStringLiteral("toolExecutionNotifications"), notifications);
    QString folder = QUrl::fromLocalFile(QDir::cleanPath(currentFolder)).toString(QUrl::FullyEncoded);
    if (!folder.endsWith(u'/'))
        folder += QLatin1Char('/');
    const QJsonObject run{
        {QStringLiteral("tool"),
            QJsonObject{{QStringLiteral("driver"),
                QJsonObject{{QStringLiteral("name"), QStringLiteral("Hueloom")}, {QStringLiteral("version"), version},
                    {QStringLiteral("rules"), rules}}}}},
        {QStringLiteral("originalUriBaseIds"),
            QJsonObject{{QStringLiteral("CURRENTDIR"), QJsonObject{{QStringLiteral("uri"), folder}}}}},
        {QStringLiteral("invocations"), QJsonArray{invocation}},
        {QStringLiteral("results"), sarifResults},
    };
    return QJsonObject{{QStringLiteral("$schema"),
                           QStringLiteral("https://docs.oasis-open.org/sarif/sarif/v2.1.0/errata01/os/schemas/"
                                          "sarif-schema-2.1.0.json")},
        {QStringLiteral("version"), QStringLiteral("2.1.0")}, {QStringLiteral("runs"), QJsonArray{run}}};
}

bool looksBinary(const QByteArray& data)
{
    const qsizetype size = std::min<qsizetype>(data.size(), 64 * 1024);
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
    qsizetype suspect = 0;
    for (qsizetype i = 0; i < size;) {
        const unsigned char c = bytes[i];
        if (c == 0)
            return true;
        if (c < 0x80) {
            // Controls that no text holds; tab, the line ends, form feed and escape are text's own.
            if (c < 0x20 && c != '\t' && c != '\n' && c != '\v' && c != '\f' && c != '\r' && c != 0x1B)
                ++suspect;
            ++i;
            continue;
        }
        const int length = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c <= 0xDF ? 2 : 0;
        bool valid = length > 0 && (length != 4 || c <= 0xF4);
        for (int k = 1; valid && k < length; ++k) {
            if (i + k >= size)
                break; // cut at the end of what is looked at
            const unsigned char next = bytes[i + k];
            valid = (next & 0xC0) == 0x80;
            // Overlong forms, surrogates and code points past U+10FFFF.
            if (valid && k == 1
                && ((c == 0xE0 && next < 0xA0) || (c == 0xED && next > 0x9F) || (c == 0xF0 && next < 0x90)
                    || (c == 0xF4 && next > 0x8F)))
                valid = false;
        }
        if (valid) {
            i += length;
        } else {
            ++suspect;
            ++i;
        }
    }
    return suspect * 10 > size;
}

bool blank(QStringView text)
{
    for (const QChar c : text)
        if (!c.isSpace())
            return false;
    return true;
}

} // namespace PageReport
