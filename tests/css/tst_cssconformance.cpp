#include "css/ColourText.h"
#include "css/CssParser.h"
#include "css/CssTokenizer.h"
#include "html/PageTree.h"
#include "web/Selectors.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

// The public CSS parsing corpus (data/ORIGIN), run through the program's own tokenizer, parser and colour
// reader. Each case either gives what the corpus expects, or is listed in data/differences.tsv with the
// reason the program reads it otherwise; a listed case that now passes fails too, so the list stays true.
//
// What the program does not keep is left out of both sides before they are compared: a number's
// written form and integer flag (it keeps the value), the attribute selectors' match tokens (~=, |=, ...,
// read as two delimiters by the selector reader), and the rules and declarations dropped as invalid
// (which the program drops without a trace, as a browser does).
class TestCssConformance : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void corpus_data();
    void corpus();
    void tokensKnowTheirLines();

private:
    QHash<QString, QHash<int, QString>> m_differences; // by file, by case: the reason
};

namespace {

QString dataPath(const QString& name)
{
    return qEnvironmentVariable("HUELOOM_TEST_SOURCE_DIR") + QStringLiteral("/css/data/") + name;
}

QJsonArray listJson(const CssValues& values);

QJsonArray joined(QJsonArray head, const QJsonArray& tail)
{
    for (const QJsonValue& value : tail)
        head.append(value);
    return head;
}

QJsonValue valueJson(const CssValue& value)
{
    using T = CssToken;
    // The corpus's name before a token's text, of a block before its contents, and its form of the tokens
    // that are the same every time.
    static const QHash<int, const char*> named{
        {T::Ident, "ident"}, {T::AtKeyword, "at-keyword"}, {T::String, "string"}, {T::Url, "url"}};
    static const QHash<int, const char*> blocks{{T::OpenSquare, "[]"}, {T::OpenParen, "()"}, {T::OpenCurly, "{}"}};
    static const QHash<int, QJsonValue> fixed{{T::Whitespace, " "}, {T::Cdo, "<!--"}, {T::Cdc, "-->"}, {T::Colon, ":"},
        {T::Semicolon, ";"}, {T::Comma, ","}, {T::BadString, QJsonArray{"error", "bad-string"}},
        {T::BadUrl, QJsonArray{"error", "bad-url"}}, {T::CloseSquare, QJsonArray{"error", "]"}},
        {T::CloseParen, QJsonArray{"error", ")"}}, {T::CloseCurly, QJsonArray{"error", "}"}}};
    const CssToken& token = value.token;
    const QString text = token.text;
    switch (token.type) {
    case T::Hash:
        return QJsonArray{"hash", text, token.idHash ? "id" : "unrestricted"};
    case T::Number:
    case T::Percentage:
        return QJsonArray{token.is(T::Number) ? "number" : "percentage", token.number};
    case T::Dimension:
        return QJsonArray{"dimension", token.number, text};
    case T::Function:
        return joined(QJsonArray{"function", text}, listJson(value.inside));
    case T::Delim:
        return text;
    default:
        break;
    }
    if (blocks.contains(token.type))
        return joined(QJsonArray{blocks.value(token.type)}, listJson(value.inside));
    if (named.contains(token.type))
        return QJsonArray{named.value(token.type), text};
    return fixed.value(token.type, QJsonValue::Undefined);
}

QJsonArray listJson(const CssValues& values)
{
    QJsonArray result;
    for (const CssValue& value : values)
        if (const QJsonValue json = valueJson(value); !json.isUndefined())
            result.append(json);
    return result;
}

// The corpus's form of a component value with what the program does not keep taken out.
QJsonArray expectedList(const QJsonArray& list, qsizetype first = 0);

QJsonValue expectedValue(const QJsonValue& value)
{
    if (!value.isArray())
        return value;
    const QJsonArray array = value.toArray();
    const QString kind = array.first().toString();
    if (kind == QLatin1String("number") || kind == QLatin1String("percentage"))
        return QJsonArray{kind, array.at(2)};
    if (kind == QLatin1String("dimension"))
        return QJsonArray{kind, array.at(2), array.at(4)};
    if (kind == QLatin1String("function"))
        return joined(QJsonArray{kind, array.at(1)}, expectedList(array, 2));
    if (kind == QLatin1String("[]") || kind == QLatin1String("()") || kind == QLatin1String("{}"))
        return joined(QJsonArray{kind}, expectedList(array, 1));
    return array;
}

QJsonArray expectedList(const QJsonArray& list, qsizetype first)
{
    static const QSet<QString> matches{
        QStringLiteral("~="), QStringLiteral("|="), QStringLiteral("^="), QStringLiteral("$="), QStringLiteral("*=")};
    QJsonArray result;
    for (qsizetype i = first; i < list.size(); ++i) {
        const QJsonValue value = list.at(i);
        if (value.isString() && matches.contains(value.toString())) {
            result.append(value.toString().left(1));
            result.append(QStringLiteral("="));
        } else {
            result.append(expectedValue(value));
        }
    }
    return result;
}

bool isDropped(const QJsonValue& value)
{
    return value.isArray() && value.toArray().first() == QLatin1String("error");
}

QJsonArray rulesJson(const QList<CssRule>& rules)
{
    QJsonArray result;
    for (const CssRule& rule : rules) {
        if (rule.atName.isEmpty())
            result.append(QJsonArray{QStringLiteral("qualified rule"), listJson(rule.prelude), listJson(rule.block)});
        else
            result.append(QJsonArray{QStringLiteral("at-rule"), rule.atName, listJson(rule.prelude),
                rule.hasBlock ? QJsonValue(listJson(rule.block)) : QJsonValue(QJsonValue::Null)});
    }
    return result;
}

QJsonArray expectedRules(const QJsonArray& rules)
{
    QJsonArray result;
    for (const QJsonValue& value : rules) {
        if (isDropped(value))
            continue;
        QJsonArray rule = value.toArray();
        const QString kind = rule.first().toString();
        if (kind == QLatin1String("at-rule")) {
            rule[1] = rule.at(1).toString().toLower();
            rule[2] = expectedList(rule.at(2).toArray());
            if (!rule.at(3).isNull())
                rule[3] = expectedList(rule.at(3).toArray());
        } else if (kind == QLatin1String("qualified rule")) {
            rule[1] = expectedList(rule.at(1).toArray());
            rule[2] = expectedList(rule.at(2).toArray());
        } else if (kind == QLatin1String("declaration")) {
            const QString name = rule.at(1).toString();
            rule[1] = name.startsWith(QLatin1String("--")) ? name : name.toLower();
            rule[2] = expectedList(rule.at(2).toArray());
        }
        result.append(rule);
    }
    return result;
}

// A colour as the corpus writes it in sRGB, "rgb(255, 0, 0)" or "rgba(255, 0, 0, 0.25)".
std::optional<Argb> srgbOf(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^rgba?\((\d+), (\d+), (\d+)(?:, ([\d.e-]+))?\)$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const double alpha = match.captured(4).isEmpty() ? 1.0 : match.captured(4).toDouble();
    return argb(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt(),
        static_cast<int>(std::lround(alpha * 255)));
}

bool near(Argb a, Argb b)
{
    return std::abs(redOf(a) - redOf(b)) <= 1 && std::abs(greenOf(a) - greenOf(b)) <= 1
        && std::abs(blueOf(a) - blueOf(b)) <= 1 && std::abs(alphaOf(a) - alphaOf(b)) <= 1;
}

// The corpus's plain form of a colour in another space, lab(), lch(), oklab(), oklch() and color() in sRGB,
// linear sRGB and XYZ, as the colour module's own formulas paint it in sRGB, apart from the program's
// (data/plain-forms-painted.jsonl: the form, then red, green, blue and alpha). Nothing there for the
// wide-gamut RGB spaces, whose plain form is only checked to paint as the input does.
std::optional<Argb> referenceOf(const QString& text)
{
    static const QHash<QString, Argb> painted = [] {
        QHash<QString, Argb> result;
        QFile file(dataPath(QStringLiteral("plain-forms-painted.jsonl")));
        if (file.open(QIODevice::ReadOnly))
            for (const QByteArray& line : file.readAll().split('\n'))
                if (const QJsonArray row = QJsonDocument::fromJson(line).array(); row.size() == 5)
                    result.insert(
                        row[0].toString(), argb(row[1].toInt(), row[2].toInt(), row[3].toInt(), row[4].toInt()));
        return result;
    }();
    if (const auto found = painted.constFind(text); found != painted.cend())
        return *found;
    return std::nullopt;
}

// What currentcolor stands for in these cases: a colour no case gives otherwise.
constexpr Argb CurrentColour = argb(1, 2, 3, 4);

std::optional<Argb> colourOf(const QString& text)
{
    return ColourText::readRgba(CssParser::trimmed(CssParser::values(text)), {false, CurrentColour});
}

// Whether the program reads `input` as the corpus expects; `got` is what it read, for the message.
using Check = std::function<bool(const QJsonValue& input, const QJsonValue& expected, QString& got)>;

QString compact(const QJsonValue& value)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact)).mid(1).chopped(1);
}

bool same(const QJsonValue& got, const QJsonValue& expected, QString& shown)
{
    shown = compact(got);
    return got == expected;
}

const Check componentValueList = [](const QJsonValue& input, const QJsonValue& expected, QString& got) {
    return same(listJson(CssParser::values(input.toString())), expectedList(expected.toArray()), got);
};

const Check oneComponentValue = [](const QJsonValue& input, const QJsonValue& expected, QString& got) {
    const CssValues values = CssParser::trimmed(CssParser::values(input.toString()));
    QJsonValue read;
    if (values.isEmpty())
        read = QJsonArray{QStringLiteral("error"), QStringLiteral("empty")};
    else if (values.size() > 1)
        read = QJsonArray{QStringLiteral("error"), QStringLiteral("extra-input")};
    else
        read = valueJson(values.first());
    return same(read, expectedValue(expected), got);
};

// A rule's contents, as the cascade is given them: declarations, nested rules and at-rules in order.
class ContentsJson : public CssContentsHandler {
public:
    QJsonArray read;
    void atRule(const CssRule& rule) override { read.append(rulesJson({rule}).first()); }
    void qualifiedRule(const CssValues& block, qsizetype at, qsizetype end) override
    {
        read.append(QJsonArray{
            QStringLiteral("qualified rule"), listJson(block.mid(at, end - at)), listJson(block[end].inside)});
    }
    void declaration(const CssValues& block, qsizetype at, qsizetype end) override
    {
        for (const CssDeclaration& declaration : CssParser::declarations(block.mid(at, end - at)))
            read.append(QJsonArray{
                QStringLiteral("declaration"), declaration.name, listJson(declaration.value), declaration.important});
    }
};

const Check declarationList = [](const QJsonValue& input, const QJsonValue& expected, QString& got) {
    ContentsJson contents;
    CssParser::contents(CssParser::values(input.toString()), true, contents);
    return same(contents.read, expectedRules(expected.toArray()), got);
};

const Check ruleList = [](const QJsonValue& input, const QJsonValue& expected, QString& got) {
    return same(
        rulesJson(CssParser::rules(CssParser::values(input.toString()))), expectedRules(expected.toArray()), got);
};

const Check styleSheet = [](const QJsonValue& input, const QJsonValue& expected, QString& got) {
    return same(rulesJson(CssParser::styleSheet(input.toString())), expectedRules(expected.toArray()), got);
};

const Check colour = [](const QJsonValue& input, const QJsonValue& expected, QString& got) {
    const std::optional<Argb> read = colourOf(input.toString());
    got = read ? QStringLiteral("#%1").arg(*read, 8, 16, QLatin1Char('0')) : QStringLiteral("no colour");
    if (expected.isNull())
        return !read;
    if (!read)
        return false;
    const QString text = expected.toString();
    if (text == QLatin1String("currentcolor"))
        return *read == CurrentColour;
    if (const std::optional<Argb> srgb = srgbOf(text))
        return near(*read, *srgb);
    if (const std::optional<Argb> reference = referenceOf(text))
        return near(*read, *reference);
    // A wide-gamut RGB space: the corpus's plain form of the same colour must paint the same.
    const std::optional<Argb> plain = colourOf(text);
    return plain && *read == *plain;
};

// An+B, read by the selector reader in :nth-child(): nothing when the corpus finds it invalid, else
// matching the children at the positions A*n+B for some n >= 0, tried on the first 60.
constexpr int Children = 60;

const Check anPlusB = [](const QJsonValue& input, const QJsonValue& expected, QString& got) {
    static const PageTree page
        = PageTree::fromPage(QStringLiteral("<body>") + QStringLiteral("<p><a href=#></a></p>").repeated(Children));
    const std::optional<Selectors> selectors
        = Selectors::parse(CssParser::values(QStringLiteral(":nth-child(%1)").arg(input.toString())));
    if (!selectors) {
        got = QStringLiteral("invalid");
        return expected.isNull();
    }
    QList<int> matched;
    WorkBudget budget(std::numeric_limits<std::int64_t>::max());
    Selectors::Matcher matcher(page, {}, budget);
    int position = 1;
    for (int child = page.at(page.body()).firstChild; child >= 0; child = page.at(child).next, ++position) {
        if (selectors->matches(child, matcher))
            matched << position;
    }
    got = QStringLiteral("matches children ") + QString::number(matched.size());
    if (expected.isNull() || position != Children + 1)
        return false;
    const qint64 a = expected.toArray().at(0).toInteger();
    const qint64 b = expected.toArray().at(1).toInteger();
    QList<int> wanted;
    for (int i = 1; i <= Children; ++i) {
        // i = a*n + b for some whole n >= 0.
        if (a == 0 ? i == b : (i - b) % a == 0 && (i - b) / a >= 0)
            wanted << i;
    }
    return matched == wanted;
};

struct CorpusFile {
    const char* name;
    Check check;
};

const CorpusFile corpusFiles[] = {
    {"component_value_list.json", componentValueList},
    {"one_component_value.json", oneComponentValue},
    {"declaration_list.json", declarationList},
    {"rule_list.json", ruleList},
    {"stylesheet.json", styleSheet},
    {"An+B.json", anPlusB},
    {"color3.json", colour},
    {"color3_hsl.json", colour},
    {"color3_keywords.json", colour},
    {"color4_hwb.json", colour},
    {"color4_lab_lch_oklab_oklch.json", colour},
    {"color4_color_function.json", colour},
};

} // namespace

void TestCssConformance::initTestCase()
{
    QFile file(dataPath(QStringLiteral("differences.tsv")));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList fields = line.split(u'\t');
        QVERIFY2(fields.size() == 3, qPrintable(line));
        bool number = false;
        const int index = fields.at(1).toInt(&number);
        QVERIFY2(number, qPrintable(line));
        QVERIFY2(!m_differences[fields.at(0)].contains(index), qPrintable(QStringLiteral("listed twice: ") + line));
        m_differences[fields.at(0)].insert(index, fields.at(2));
    }
    QVERIFY2(referenceOf(QStringLiteral("lab(0 0 0)")), "no plain forms painted");
    QStringList known;
    for (const CorpusFile& corpus : corpusFiles)
        known << QLatin1String(corpus.name);
    for (auto it = m_differences.cbegin(); it != m_differences.cend(); ++it)
        QVERIFY2(known.contains(it.key()), qPrintable(QStringLiteral("no such corpus file: ") + it.key()));
}

void TestCssConformance::corpus_data()
{
    QTest::addColumn<int>("which");
    for (int i = 0; i < int(std::size(corpusFiles)); ++i)
        QTest::newRow(corpusFiles[i].name) << i;
}

void TestCssConformance::corpus()
{
    QFETCH(int, which);
    const CorpusFile& corpus = corpusFiles[which];
    const QString name = QLatin1String(corpus.name);
    QFile file(dataPath(name));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonArray cases = QJsonDocument::fromJson(file.readAll()).array();
    QVERIFY(!cases.isEmpty() && cases.size() % 2 == 0);
    const QHash<int, QString> listed = m_differences.value(name);
    for (const int index : listed.keys())
        QVERIFY2(index >= 0 && index < cases.size() / 2,
            qPrintable(QStringLiteral("%1 has no case %2").arg(name).arg(index)));

    int passing = 0;
    QStringList wrong;
    for (qsizetype i = 0; i < cases.size(); i += 2) {
        const int index = int(i / 2);
        QString got;
        const bool passes = corpus.check(cases.at(i), cases.at(i + 1), got);
        passing += passes;
        if (passes && listed.contains(index))
            wrong << QStringLiteral("%1\t%2\tlisted, but now read as expected").arg(name).arg(index);
        else if (!passes && !listed.contains(index))
            wrong << QStringLiteral("%1\t%2\tinput %3 expected %4 got %5")
                         .arg(name)
                         .arg(index)
                         .arg(compact(cases.at(i)), compact(cases.at(i + 1)), got);
    }
    qInfo("%s: %d of %d cases as expected, %lld listed as read otherwise", corpus.name, passing, int(cases.size() / 2),
        qlonglong(listed.size()));
    QVERIFY2(wrong.isEmpty(), qPrintable(u'\n' + wrong.join(u'\n')));
}

// Every token knows the line it starts on, however the text's line breaks are written, whatever a
// comment or a string spans, and wherever the tokenizer's reading in blocks cuts the text: a text built of
// known tokens between separators gives each of its tokens at the line it was put on.
void TestCssConformance::tokensKnowTheirLines()
{
    const QStringList tokens{QStringLiteral("a"), QStringLiteral("12px"), QStringLiteral("'s t'"),
        QStringLiteral("\u00e9"), QStringLiteral("\u00e9t\u00e9"), QStringLiteral("#id"), QStringLiteral("{"),
        QStringLiteral("}"), QStringLiteral(";"), QStringLiteral("url(x)"), QString::fromUtf8("\xf0\x9f\x98\x80x")};
    const QList<std::pair<QString, int>> separators{{QStringLiteral(" "), 0}, {QStringLiteral("\n"), 1},
        {QStringLiteral("\r\n"), 1}, {QStringLiteral("\r"), 1}, {QStringLiteral("\f"), 1},
        {QStringLiteral(" /* a\nb\r\nc */ "), 2}};
    QRandomGenerator random(20261210);
    for (int run = 0; run < 60; ++run) {
        QString text;
        QList<quint32> lines;
        quint32 line = 1;
        const int count = int(random.bounded(3000));
        for (int i = 0; i < count; ++i) {
            const QString& token = tokens[random.bounded(int(tokens.size()))];
            text += token;
            lines.append(line);
            const auto& [separator, breaks] = separators[random.bounded(int(separators.size()))];
            text += separator;
            line += quint32(breaks);
        }
        QList<quint32> found;
        for (const CssToken& token : CssTokenizer::all(text)) {
            if (!token.is(CssToken::Whitespace))
                found.append(token.line);
        }
        QCOMPARE(found, lines);
    }
}

QTEST_GUILESS_MAIN(TestCssConformance)
#include "tst_cssconformance.moc"
