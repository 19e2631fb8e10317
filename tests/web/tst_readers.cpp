#include "colour/ColourSpaces.h"
#include "css/ColourText.h"
#include "css/CssParser.h"
#include "css/CssTokenizer.h"
#include "formats/BodyTag.h"
#include "formats/CssText.h"
#include "formats/FoundText.h"
#include "html/HtmlDocument.h"
#include "html/HtmlNesting.h"
#include "web/TagReader.h"
#include "web/TagStyle.h"
#include "web/TextLimit.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <functional>

namespace {

QString hex(const QColor& colour)
{
    return colour.name(QColor::HexRgb).toUpper();
}

// What was found, as one line: "bg=#FFFFFF link=#0000FF left=5".
QString described(const TagReader::Found& found)
{
    static const char* const names[] = {"bg", "text", "link", "vlink", "alink"};
    QStringList parts;
    for (int slot = 0; slot < Slot::Count; ++slot) {
        if (const auto& colour = found.colours[static_cast<std::size_t>(slot)])
            parts << QLatin1String(names[slot]) + QLatin1Char('=') + hex(*colour);
    }
    if (found.leftMargin)
        parts << QStringLiteral("left=%1").arg(*found.leftMargin);
    if (found.topMargin)
        parts << QStringLiteral("top=%1").arg(*found.topMargin);
    return parts.join(QLatin1Char(' '));
}

ColourScheme randomScheme(QRandomGenerator& random)
{
    ColourScheme scheme;
    for (int field = 0; field < ColourScheme::ValueCount; ++field)
        scheme.setValue(field, static_cast<qint16>(random.bounded(256)));
    return scheme;
}

Margins randomMargins(QRandomGenerator& random)
{
    Margins margins;
    margins.setLeft(random.bounded(Margins::Maximum + 1));
    margins.setTop(random.bounded(Margins::Maximum + 1));
    margins.setUseLeft(random.bounded(2) == 1);
    margins.setUseTop(random.bounded(2) == 1);
    return margins;
}

QString number(double value)
{
    return QString::number(value, 'g', 12);
}

// The colour as hsl() with enough digits to lead back to it exactly.
QString hslText(const QColor& colour, bool commas, bool degUnit)
{
    float hue = 0, saturation = 0, lightness = 0;
    colour.getHslF(&hue, &saturation, &lightness);
    const QString separator = commas ? QStringLiteral(", ") : QStringLiteral(" ");
    return QStringLiteral("hsl(") + number(std::max(hue, 0.0f) * 360) + (degUnit ? QStringLiteral("deg") : QString())
        + separator + number(saturation * 100) + QLatin1Char('%') + separator + number(lightness * 100)
        + QStringLiteral("%)");
}

// The tag the program writes, dressed the way people write tags by hand: letter case, quotes, # and
// attribute order changed, whitespace between the attributes.
QString dressedTag(QString tag, QRandomGenerator& random)
{
    QStringList attributes = tag.mid(6, tag.size() - 7).split(QLatin1Char(' '));
    std::shuffle(attributes.begin(), attributes.end(), random);
    static const QStringList quotes{QStringLiteral("\""), QStringLiteral("'"), QString()};
    static const QStringList spaces{QStringLiteral(" "), QStringLiteral("\n  "), QStringLiteral("\t")};
    for (QString& attribute : attributes) {
        const qsizetype equals = attribute.indexOf(QLatin1Char('='));
        QString value = attribute.mid(equals + 2).chopped(1);
        if (random.bounded(2))
            value.remove(QLatin1Char('#'));
        const QString& quote = quotes[random.bounded(3)];
        attribute = attribute.left(equals) + QLatin1Char('=') + quote + value + quote;
    }
    tag = QStringLiteral("<BODY") + spaces[random.bounded(3)] + attributes.join(spaces[random.bounded(3)])
        + QLatin1Char('>');
    return random.bounded(2) ? tag.toLower() : tag;
}

// The CSS the program copies, dressed as style sheets are found: letter case, no or more whitespace,
// comments, !important, rules in another order, background and the margin shorthand.
QString dressedCss(QString css, const Margins& margins, QRandomGenerator& random)
{
    if (margins.useLeft() && margins.useTop() && random.bounded(2)) {
        static const QRegularExpression longhands(QStringLiteral(R"(margin-left: (\d+)px; margin-top: (\d+)px;)"));
        css.replace(longhands, QStringLiteral("margin:\t\\2px\t3px\t0\t\\1px;"));
    }
    if (random.bounded(2))
        css.replace(QLatin1Char(';'), QStringLiteral(" ! important;"));
    if (random.bounded(2)) {
        // The body rule last; the link rules keep their order, which decides an active link's colour.
        QStringList lines = css.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        std::rotate(lines.begin(), lines.begin() + 1, lines.end());
        css = lines.join(QStringLiteral("\r\n"));
    }
    if (random.bounded(2))
        css.replace(QLatin1Char('{'), QStringLiteral("{ /* from the style guide; {x} */"));
    if (const int spacing = random.bounded(3); spacing == 0)
        css.remove(QLatin1Char(' ')).remove(QLatin1Char('\n'));
    else if (spacing == 1)
        css.replace(QLatin1Char(' '), QStringLiteral("\n\t "));
    // Last, so that the ; and the spaces in the quoted URL stay as they are.
    if (random.bounded(2))
        css.replace(QStringLiteral("background-color:"), QStringLiteral("background:\tno-repeat\turl(\"a;b.png\")\t"));
    return random.bounded(2) ? css.toUpper() : css;
}

// The rows [text, what the browser did] that record_browser.py wrote into data/NAME.
QList<std::pair<QString, QString>> browserRecord(const char* name)
{
    QFile file(qEnvironmentVariable("HUELOOM_TEST_SOURCE_DIR") + QStringLiteral("/web/data/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(file.fileName()));
    QList<std::pair<QString, QString>> rows;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QJsonArray row = QJsonDocument::fromJson(line).array();
        if (row.size() >= 2)
            rows.append({row[0].toString(), row[1].toString()});
    }
    return rows;
}

} // namespace

class TestReaders : public QObject {
    Q_OBJECT
private slots:
    void colourForms_data();
    void colourForms();
    void everyNamedColour();
    void coloursAsTheBrowserPaintsThem();
    void coloursRoundTripThroughEveryForm();
    void spacesConvertThereAndBack();
    void everySpaceWritesTheSameColour();
    void cascadeFollowsImportanceSpecificityAndOrder();
    void linkStatesTakeTheRulesThatMatchThem();
    void escapesAndCommentsReadAsWhatTheyStandFor();
    void deepNestingNeverExhaustsTheStack();
    void pagesAsTheBrowserShowsThem();
    void refusalsSayWhy_data();
    void refusalsSayWhy();
    void tagsAndStyleSheets_data();
    void tagsAndStyleSheets();
    void writtenTextReadsBackUnchanged();
    void randomTextNeverGivesImpossibleValues();
    void loneTagAgreesWithTheCascade();
    void varChainsReadAloneAsInAPage();
    void tagSoupNestsNoDeeperThanTheLimit_data();
    void tagSoupNestsNoDeeperThanTheLimit();
    void randomTagSoupNestsAsCounted();
    void attributesReadAsTheParserKeepsThem();
    void styleAttributesPastTheMostTokensAreCutWithANote_data();
    void styleAttributesPastTheMostTokensAreCutWithANote();
    void tokensReadTheSameWhereverTheTextIsCut();
    void textKindIsToldByTokens_data();
    void textKindIsToldByTokens();
    void markupIsFoundWithoutTokensOnlyWhereTokensFindIt();
    void declarationsGivenAsValuesReadAsTheirText();
};

void TestReaders::colourForms_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("colour"); // empty when the text holds no colour
    // The edges: hex lengths, clamping and rounding, separators and value kinds, alpha, names.
    static const char* const cases[][2] = {{"  #ABC  ", "#AABBCC"}, {"\tc0ffee\n", "#C0FFEE"}, {"#12345", ""},
        {"abc", ""}, {"#1234567", ""}, {"#abcf", "#AABBCC"}, {"#aabbcc80", ""}, {"#12345g", ""},
        {"#\uFF11\uFF12\uFF13", ""}, {"rgb(256,0,0)", "#FF0000"}, {"rgb(-5, 300, 127.5)", "#00FF80"}, {"rgb(1,2)", ""},
        {"rgb(1, 2, 3, 4, 5)", ""}, {"RGB( 50% , 100%,0% )", "#80FF00"}, {"rgb(10%, 20, 30)", ""},
        {"rgb(10% 20 30)", "#1A141E"}, {"rgb(1,2 3)", ""}, {"rgb(1,,2,3)", ""}, {"rgb(1,2,3", "#010203"},
        {"rgba(1, 2, 3, 1)", "#010203"}, {"rgba(1, 2, 3, 0.5)", ""}, {"rgb(1 2 3 / 100%)", "#010203"},
        {"rgb(1px, 2px, 3px)", ""}, {"rgb(1e2, 0, 0)", "#640000"}, {"hsl(120 100% 50%)", "#00FF00"},
        {"hsl(120deg, 100%, 25%)", "#008000"}, {"hsl(-240, 100%, 50%)", "#00FF00"},
        {"hsl(0.5turn 100% 50%)", "#00FFFF"}, {"hsl(120, 100, 50)", ""}, {"hsl(50%, 100%, 50%)", ""},
        {"GreenYellow", "#ADFF2F"}, {"DarkSlateGrey", "#2F4F4F"}, {"rebeccapurple", "#663399"}, {"transparent", ""},
        {"red blue", ""}, {"", ""}, {" \t ", ""}};
    for (const auto& [text, colour] : cases)
        QTest::addRow("'%s'", text) << QString::fromUtf8(text) << QString::fromLatin1(colour);
}

void TestReaders::colourForms()
{
    QFETCH(QString, text);
    QFETCH(QString, colour);
    const std::optional<QColor> parsed = ColourText::parse(text);
    QCOMPARE(parsed ? hex(*parsed) : QString(), colour);
}

// Every colour text of the corpus as headless Chromium painted it: the same 8-bit colour, refused when
// the browser painted it transparent or found no colour, and refused by name for currentcolor and the
// system colours. Six hex digits without # are ours alone, and colours-differences.jsonl lists the few
// where CSS Color 4's conversions and Chromium's own part, each with the reason.
void TestReaders::coloursAsTheBrowserPaintsThem()
{
    static const QRegularExpression bareHex(QStringLiteral(R"(^\s*[0-9a-fA-F]{6}\s*$)"));
    const auto rows = browserRecord("colours-browser.jsonl");
    QVERIFY(rows.size() >= 300);
    QHash<QString, QString> differences;
    for (const auto& [text, ours] : browserRecord("colours-differences.jsonl"))
        differences.insert(text, ours);
    QStringList wrong;
    for (auto [text, browser] : rows) {
        browser = differences.value(text, browser);
        const ColourText::Reading reading = ColourText::read(text);
        const QString ours
            = reading.colour ? hex(*reading.colour) : QStringLiteral("refused %1").arg(int(reading.refusal));
        using ColourText::Refusal;
        bool same = false;
        if (reading.refusal == Refusal::SystemColour || reading.refusal == Refusal::CurrentColour)
            same = browser != QLatin1String("invalid");
        else if (browser.startsWith(u'#'))
            same = ours == browser;
        else if (browser.startsWith(QLatin1String("alpha:")))
            same = reading.refusal == Refusal::Transparent || reading.refusal == Refusal::TransparentKeyword;
        else if (bareHex.match(text).hasMatch())
            same = ours == QLatin1Char('#') + text.trimmed().toUpper();
        else
            same = reading.refusal == Refusal::NoColour;
        if (!same)
            wrong << text + QStringLiteral(": browser ") + browser + QStringLiteral(", ours ") + ours;
    }
    QVERIFY2(
        wrong.isEmpty(), qPrintable(QString::number(wrong.size()) + QStringLiteral(" differ:\n") + wrong.join(u'\n')));
}

void TestReaders::everyNamedColour()
{
    const auto names = ColourText::namedColours();
    QCOMPARE(names.size(), 148u);
    QSet<QString> seen;
    for (const ColourText::NamedColour& named : names) {
        const QString name = QLatin1String(named.name);
        QVERIFY2(!seen.contains(name), named.name);
        seen.insert(name);
        QString mixed = name;
        for (qsizetype i = 0; i < mixed.size(); i += 2)
            mixed[i] = mixed[i].toUpper();
        for (const QString& text : {name, name.toUpper(), mixed}) {
            const std::optional<QColor> parsed = ColourText::parse(text);
            QVERIFY2(parsed && parsed->rgb() == (named.rgb | 0xFF000000u), qPrintable(text));
        }
        // Qt's own SVG table agrees on every name it knows (all but rebeccapurple).
        if (QColor::isValidColorName(name))
            QCOMPARE(hex(QColor::fromString(name)), hex(QColor(named.rgb)));
        else
            QCOMPARE(name, QStringLiteral("rebeccapurple"));
    }
}

void TestReaders::coloursRoundTripThroughEveryForm()
{
    QRandomGenerator random(13);
    QList<QColor> colours{Qt::black, Qt::white, QColor(0x80, 0x80, 0x80), QColor(1, 254, 127)};
    for (int i = 0; i < 3000; ++i)
        colours << QColor(random.bounded(256), random.bounded(256), random.bounded(256));
    for (const QColor& colour : colours) {
        const int r = colour.red(), g = colour.green(), b = colour.blue();
        const auto percent = [](int value) { return number(value * 100.0 / 255.0) + QLatin1Char('%'); };
        QStringList forms{hex(colour), hex(colour).toLower().mid(1),
            QStringLiteral("rgb(%1, %2, %3)").arg(r).arg(g).arg(b),
            QStringLiteral("rgb(%1 %2 %3)").arg(r).arg(g).arg(b),
            QStringLiteral("rgb(%1,%2,%3)").arg(percent(r), percent(g), percent(b)),
            QStringLiteral("rgb(%1 %2 %3)").arg(percent(r), percent(g), percent(b)), hslText(colour, true, false),
            hslText(colour, false, true)};
        if (r % 17 == 0 && g % 17 == 0 && b % 17 == 0)
            forms << QStringLiteral("#%1%2%3").arg(r / 17, 0, 16).arg(g / 17, 0, 16).arg(b / 17, 0, 16);
        for (const QString& form : forms) {
            const QString text
                = QString(random.bounded(3), QLatin1Char(' ')) + form + QString(random.bounded(2), u'\n');
            const std::optional<QColor> parsed = ColourText::parse(text);
            QVERIFY2(parsed, qPrintable(text));
            QVERIFY2(parsed->rgb() == colour.rgb(), qPrintable(text + QStringLiteral(" gave ") + hex(*parsed)));
        }
    }
}

// Every tag, page and style sheet of the corpus as headless Chromium showed it: the page background,
// the body's text colour, an unvisited link's colour and the body's margins, each where the text sets
// none as the browser's default. Margins are rounded and kept within 0..50, as the program keeps them.
void TestReaders::pagesAsTheBrowserShowsThem()
{
    static const QRegularExpression shown(
        QStringLiteral(R"(^bg=(\S+) text=(\S+) link=(\S+) left=(-?[0-9.e+-]+)px top=(-?[0-9.e+-]+)px$)"));
    const auto rows = browserRecord("tags-browser.jsonl");
    QVERIFY(rows.size() >= 150);
    QHash<QString, QString> differences;
    for (const auto& [text, ours] : browserRecord("tags-differences.jsonl"))
        differences.insert(text, ours);
    QStringList wrong;
    for (auto [text, browser] : rows) {
        browser = differences.value(text, browser);
        const QRegularExpressionMatch match = shown.match(browser);
        QVERIFY2(match.hasMatch(), qPrintable(browser));
        const auto margin = [](const QString& pixels) {
            return QString::number(std::clamp(std::floor(pixels.toDouble() + 0.5), 0.0, 50.0));
        };
        // A colour the browser shows transparent shows what lies beneath: the white canvas, black text.
        const auto opaque = [&](int field, const char* otherwise) {
            return match.captured(field).startsWith(QLatin1String("alpha")) || match.captured(field) == u"none"
                ? QLatin1String(otherwise)
                : match.captured(field);
        };
        const QString expected = QStringLiteral("bg=%1 text=%2 link=%3 left=%4 top=%5")
                                     .arg(opaque(1, "#FFFFFF"), opaque(2, "#000000"), opaque(3, "#0000EE"),
                                         margin(match.captured(4)), margin(match.captured(5)));
        const TagReader::Found found = TagReader::read(text);
        const auto colour = [&](int slot, const char* otherwise) {
            const auto& value = found.colours[static_cast<std::size_t>(slot)];
            return value ? hex(*value) : QLatin1String(otherwise);
        };
        const QString ours = QStringLiteral("bg=%1 text=%2 link=%3 left=%4 top=%5")
                                 .arg(colour(Slot::Background, "#FFFFFF"), colour(Slot::Text, "#000000"),
                                     colour(Slot::NewLink, "#0000EE"))
                                 .arg(found.leftMargin.value_or(8))
                                 .arg(found.topMargin.value_or(8));
        if (ours != expected)
            wrong << text + QStringLiteral("\n  browser ") + expected + QStringLiteral("\n  ours    ") + ours;
    }
    for (const QString& difference : std::as_const(wrong))
        qWarning().noquote() << difference;
    QVERIFY2(wrong.isEmpty(), qPrintable(QString::number(wrong.size()) + QStringLiteral(" differ from the browser")));
}

// What the user hears when nothing, or not all, can be used: the colour refused by name, the margin
// that was limited, the declarations and attributes found but not usable.
void TestReaders::refusalsSayWhy_data()
{
    QTest::addColumn<bool>("tag");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const auto colour = [](const char* text, const char* message) {
        QTest::addRow("'%s'", text) << false << QString::fromUtf8(text) << QString::fromUtf8(message);
    };
    const auto tag = [](const char* text, const char* message) {
        QTest::addRow("'%s'", text) << true << QString::fromUtf8(text) << QString::fromUtf8(message);
    };
    colour(" Transparent ",
        "“Transparent” is no colour but the page behind showing through, and page colours are "
        "opaque.");
    colour("rgb(0 0 0 / 50%)", "“rgb(0 0 0 / 50%)” is a transparent colour, and page colours are opaque.");
    colour("#ff000080", "“#ff000080” is a transparent colour, and page colours are opaque.");
    colour("currentColor", "“currentColor” has no colour of its own: it repeats the text colour wherever it is used.");
    colour(
        "color-mix(in srgb, ButtonFace, red)", "“ButtonFace” is a system colour, which each reader's desktop decides.");
    colour("nonsense", "");
    colour("rgb(1 2 3                                                            / 0.5)",
        "\u201crgb(1 2 3                                                  \u2026\u201d is a transparent colour, and "
        "page colours "
        "are opaque.");
    tag("<body leftmargin=70 topmargin=+3 marginheight=99>",
        "Margins are kept within 0 to 50 pixels, so margin-left: 70px, margin-top: 99px was limited.");
    tag("body { margin: -4px 2em }", "Margins are kept within 0 to 50 pixels, so margin-top: -4px was limited.");
    tag("<body bgcolor='' text=transparent style='color: red' topmargin=-3 leftmargin=x marginwidth=2>",
        "Found but not usable: bgcolor=\"\"; text=\"transparent\"; topmargin=\"-3\"; leftmargin=\"x\".");
    tag("body { color: currentcolor; background: rgb(0 0 0 / 0.5); margin-left: 10% } a { color: Canvas }",
        "Found but not usable: margin-left: 10%.");
    tag("body { color: ff0000 } p { color: red }", "");
    tag("<body bgcolor='' text='' link='' vlink='' alink='' leftmargin=a topmargin=b>",
        "Found but not usable: bgcolor=\"\"; text=\"\"; link=\"\"; vlink=\"\"; alink=\"\"; leftmargin=\"a\"; \u2026.");
}

void TestReaders::refusalsSayWhy()
{
    QFETCH(bool, tag);
    QFETCH(QString, text);
    QFETCH(QString, message);
    if (!tag) {
        const ColourText::Reading reading = ColourText::read(text);
        QVERIFY(!reading.colour);
        QCOMPARE(ColourText::message(reading), message);
        return;
    }
    const TagReader::Reading reading = TagReader::readExplained(text);
    QCOMPARE(TagReader::limitedMessage(reading) + TagReader::unusableMessage(reading), message);
}

// Every conversion and its inverse: a colour taken into any space and back is the colour it was, so a
// mistyped matrix entry or transfer curve shows at once.
void TestReaders::spacesConvertThereAndBack()
{
    using ColourSpaces::Space;
    QRandomGenerator random(77);
    for (int i = 0; i < 2000; ++i) {
        const ColourSpaces::Triple srgb{random.generateDouble(), random.generateDouble(), random.generateDouble()};
        for (int to = 0; to <= int(Space::Hwb); ++to) {
            const auto there = ColourSpaces::convert(Space::Srgb, Space(to), srgb);
            const auto back = ColourSpaces::convert(Space(to), Space::Srgb, there);
            for (std::size_t c = 0; c < 3; ++c)
                QVERIFY2(std::abs(back[c] - srgb[c]) < 1e-9, qPrintable(QStringLiteral("space %1").arg(to)));
        }
    }
    // White is white in every space, with no chroma in the polar ones.
    const auto white = ColourSpaces::convert(Space::Srgb, Space::Oklch, {1, 1, 1});
    QVERIFY(std::abs(white[0] - 1) < 1e-6 && white[1] < 1e-6);
    QCOMPARE(ColourSpaces::paint(Space::Lab, {100, 0, 0}), qRgb(255, 255, 255));
}

// Any 8-bit colour written in every syntax (other spaces with enough digits, percentages, hue units,
// calc(), none, color-mix() with itself, comments and escapes) reads back as exactly that colour.
void TestReaders::everySpaceWritesTheSameColour()
{
    using ColourSpaces::Space;
    static const std::array<std::pair<Space, const char*>, 8> spaces{{{Space::SrgbLinear, "srgb-linear"},
        {Space::DisplayP3, "display-p3"}, {Space::A98Rgb, "a98-rgb"}, {Space::ProphotoRgb, "prophoto-rgb"},
        {Space::Rec2020, "rec2020"}, {Space::XyzD50, "xyz-d50"}, {Space::XyzD65, "xyz"}, {Space::Srgb, "srgb"}}};
    const auto n = [](double v) { return QString::number(v, 'g', 15); };
    QRandomGenerator random(31);
    for (int i = 0; i < 1500; ++i) {
        const QColor colour(random.bounded(256), random.bounded(256), random.bounded(256));
        const ColourSpaces::Triple srgb{colour.redF(), colour.greenF(), colour.blueF()};
        const auto in = [&](Space space) { return ColourSpaces::convert(Space::Srgb, space, srgb); };
        const auto lab = in(Space::Lab), lch = in(Space::Lch), oklab = in(Space::Oklab), oklch = in(Space::Oklch);
        const auto hue = [&](double h) { return std::isnan(h) ? QStringLiteral("none") : n(h); };
        QStringList forms{QStringLiteral("lab(%1% %2 %3)").arg(n(lab[0]), n(lab[1]), n(lab[2])),
            QStringLiteral("lab(%1 %2% %3%)").arg(n(lab[0]), n(lab[1] / 1.25), n(lab[2] / 1.25)),
            QStringLiteral("lch(%1 %2 %3deg)").arg(n(lch[0]), n(lch[1]), hue(lch[2])),
            QStringLiteral("oklab(%1 %2 %3 / 1)").arg(n(oklab[0]), n(oklab[1]), n(oklab[2])),
            QStringLiteral("OKLCH(%1% %2 calc(%3turn / 360))").arg(n(oklch[0] * 100), n(oklch[1]), n(oklch[2])),
            QStringLiteral("oklch(%1 %2 %3)").arg(n(oklch[0]), n(oklch[1]), hue(oklch[2])),
            QStringLiteral("color-mix(in oklab, %1 30%, %1)").arg(colour.name()),
            QStringLiteral("color-mix(in srgb, %1, %1)").arg(colour.name()),
            QStringLiteral("rgb(%1 /* r */ calc(%2 * 1) %3e0)")
                .arg(colour.red())
                .arg(colour.green())
                .arg(colour.blue()),
            QStringLiteral("\\72 gb(%1, %2, %3)").arg(colour.red()).arg(colour.green()).arg(colour.blue())};
        if (std::isnan(oklch[2]))
            forms.removeAt(4);
        for (const auto& [space, name] : spaces) {
            const auto c = in(space);
            forms << QStringLiteral("color(%1 %2 %3 %4)").arg(QLatin1String(name), n(c[0]), n(c[1]), n(c[2]));
        }
        for (const QString& form : forms) {
            const std::optional<QColor> read = ColourText::parse(form);
            QVERIFY2(read && read->rgb() == colour.rgb(), qPrintable(form + QStringLiteral(" for ") + colour.name()));
        }
    }
}

// Random style sheets of competing body rules, each declaration winning by !important, then
// specificity, then order, with the body's style attribute above every rule of its importance: the
// reader picks the winner a sort over those keys picks.
void TestReaders::cascadeFollowsImportanceSpecificityAndOrder()
{
    static const std::array<std::pair<const char*, int>, 6> selectors{{{"body", 1}, {"html body", 2},
        {":root body", 11}, {":where(html) body", 1}, {"body:is(html > *)", 2}, {"*", 0}}};
    QRandomGenerator random(2024);
    for (int run = 0; run < 500; ++run) {
        QString sheet;
        QList<std::tuple<bool, int, int, int>> candidates; // important, specificity, order, colour index
        const int rules = random.bounded(1, 8);
        for (int rule = 0; rule < rules; ++rule) {
            const auto& [selector, specificity] = selectors[random.bounded(int(selectors.size()))];
            const bool important = random.bounded(3) == 0;
            sheet += QStringLiteral("%1 { color: #%2 %3}\n")
                         .arg(QLatin1String(selector))
                         .arg(rule + 1, 6, 10, QLatin1Char('0'))
                         .arg(important ? QStringLiteral("!important ") : QString());
            candidates.append({important, specificity, rule, rule + 1});
        }
        QString page = QStringLiteral("<style>") + sheet + QStringLiteral("</style><body");
        if (random.bounded(2)) {
            const bool important = random.bounded(2) == 0;
            page += QStringLiteral(" style='color: #000099%1'")
                        .arg(important ? QStringLiteral(" ! important") : QString());
            candidates.append({important, 1000, 0, 99});
        }
        page += QStringLiteral(" text=#000077>");
        const auto winner = *std::max_element(candidates.begin(), candidates.end());
        const TagReader::Found found = TagReader::read(page);
        QVERIFY2(found.colours[Slot::Text], qPrintable(page));
        QCOMPARE(
            hex(*found.colours[Slot::Text]), QStringLiteral("#%1").arg(std::get<3>(winner), 6, 10, QLatin1Char('0')));
    }
}

// A browser cannot be asked for a visited or active link's colour, so here the rules are drawn at
// random and the winner for each state worked out from which selectors match it: an active link is an
// unvisited one being pressed (hovered, active and focused), and the body's link, vlink and alink lose
// to any rule.
void TestReaders::linkStatesTakeTheRulesThatMatchThem()
{
    struct Selector {
        const char* text;
        int specificity;
        const char* states; // of "lva": unvisited, visited, active
    };
    static const std::array<Selector, 10> selectors{{{"a", 1, "lva"}, {"a:link", 11, "la"}, {"a:visited", 11, "v"},
        {"a:active", 11, "a"}, {"a:any-link", 11, "lva"}, {"body a", 2, "lva"}, {"body a:link", 12, "la"},
        {":link", 10, "la"}, {"html body a:visited", 13, "v"}, {"a:hover", 11, "a"}}};
    QRandomGenerator random(99);
    for (int run = 0; run < 500; ++run) {
        QString page = QStringLiteral("<body link=#0000a1 vlink=#0000a2 alink=#0000a3><style>");
        std::array<std::pair<int, int>, 3> best{{{-1, 0xa1}, {-1, 0xa2}, {-1, 0xa3}}}; // rank, colour
        const int rules = random.bounded(0, 6);
        for (int rule = 0; rule < rules; ++rule) {
            const Selector& selector = selectors[random.bounded(int(selectors.size()))];
            page += QStringLiteral("%1 { color: #0000%2 }\n")
                        .arg(QLatin1String(selector.text))
                        .arg(rule + 1, 2, 10, QLatin1Char('0'));
            for (int state = 0; state < 3; ++state) {
                const int rank = selector.specificity * 100 + rule;
                if (QByteArray(selector.states).contains("lva"[state]) && rank > best[std::size_t(state)].first)
                    best[std::size_t(state)] = {rank, (rule + 1) / 10 * 16 + (rule + 1) % 10};
            }
        }
        const TagReader::Found found = TagReader::read(page + QStringLiteral("</style>"));
        for (int state = 0; state < 3; ++state) {
            const auto& colour = found.colours[std::size_t(Slot::NewLink + state)];
            QVERIFY2(colour && colour->blue() == best[std::size_t(state)].second, qPrintable(page));
        }
    }
}

// Identifiers and strings written with random CSS escapes (hex with and without the space after it,
// escaped characters) and comments between the tokens tokenize to exactly what they stand for.
void TestReaders::escapesAndCommentsReadAsWhatTheyStandFor()
{
    QRandomGenerator random(5);
    const auto escaped = [&](char32_t c) {
        const QString hexDigits = QString::number(uint(c), 16);
        switch (random.bounded(3)) {
        case 0:
            return QLatin1Char('\\') + hexDigits + QLatin1Char(' ');
        case 1:
            return QLatin1Char('\\') + QString(6 - hexDigits.size(), QLatin1Char('0')) + hexDigits;
        default:
            return (c >= U'0' && c <= U'9') || (c >= U'a' && c <= U'f')
                ? QLatin1Char('\\') + hexDigits + QLatin1Char('\t')
                : QLatin1Char('\\') + QString::fromUcs4(&c, 1);
        }
    };
    static const QString alphabet = QStringLiteral("abcdefxyz-_0123456789\u00e9\u4e2d") + QChar(0xD83D) + QChar(0xDE00);
    for (int run = 0; run < 2000; ++run) {
        QString name = QStringLiteral("n");
        for (int i = random.bounded(1, 12); i > 0; --i) {
            const qsizetype at = random.bounded(alphabet.size() - 1);
            name += alphabet[at].isHighSurrogate() ? alphabet.mid(at, 2) : QString(alphabet[at]);
        }
        QString written;
        for (const char32_t c : name.toUcs4())
            written += random.bounded(2) ? escaped(c) : QString::fromUcs4(&c, 1);
        const QString comment = random.bounded(2) ? QStringLiteral("/* } ; \" */") : QString();
        const QList<CssToken> tokens
            = CssTokenizer::all(written + comment + QStringLiteral(":'") + written + QStringLiteral("'") + comment);
        QCOMPARE(tokens.size(), 3);
        QVERIFY(tokens[0].is(CssToken::Ident) && tokens[1].is(CssToken::Colon) && tokens[2].is(CssToken::String));
        QCOMPARE(tokens[0].text, name);
        QCOMPARE(tokens[2].text, name);
    }
}

// Nesting far beyond any real text, in colours, style sheets and pages: the readers return rather than
// run out of stack, and what nests deeper than they follow counts for nothing.
void TestReaders::deepNestingNeverExhaustsTheStack()
{
    const int depth = 100000;
    QVERIFY(!ColourText::parse(QStringLiteral("rgb(") + QString(depth, u'(') + QString(depth, u')') + u')'));
    QVERIFY(!ColourText::parse(QStringLiteral("color-mix(in srgb, ").repeated(depth) + QStringLiteral("red")));
    QVERIFY(!ColourText::parse(QStringLiteral("rgb(calc(") + QString(depth, u'(') + QStringLiteral("1 0 0)")));
    QVERIFY(TagReader::read(QStringLiteral("body{color:rgb(") + QString(depth, u'[') + QStringLiteral(")}")).isEmpty());
    QVERIFY(TagReader::read(QStringLiteral("@media screen{").repeated(depth) + QStringLiteral("body{color:red}"))
                .isEmpty());
    QVERIFY(TagReader::read(QStringLiteral(":is(").repeated(depth) + QStringLiteral("body{color:red}")).isEmpty());
    const TagReader::Found page
        = TagReader::read(QStringLiteral("<div>").repeated(3000) + QStringLiteral("<body bgcolor=red>"));
    QCOMPARE(page.colours[Slot::Background], QColor(Qt::red));
    // The HTML parser's work grows with the square of the depth: a box full of <div> (the tag box holds
    // 4 Mi characters) would keep it busy for many minutes, so the page is read only as deep as real
    // pages go.
    const TagReader::Found deepPage = TagReader::read(QStringLiteral("<body text=blue><style>a{color:red}</style>")
        + QStringLiteral("<div>").repeated(800000) + QStringLiteral("<style>a{color:green}</style>"));
    QCOMPARE(deepPage.colours[Slot::Text], QColor(Qt::blue));
    QCOMPARE(deepPage.colours[Slot::NewLink], QColor(Qt::red));
}

void TestReaders::tagsAndStyleSheets_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("found");
    static const char* const cases[][2] = {
        {R"(<body bgcolor=white text='#000' LINK="FF0000">)", "bg=#FFFFFF text=#000000 link=#FF0000"},
        {R"(<BODY TEXT="#111111" text="#222222" vlink=bogus vlink=red>)", "text=#111111 vlink=#B00000"},
        {R"(<body leftmargin=70 topmargin="-3">)", "left=50"},
        {R"(<body topmargin="12px" leftmargin="1.2.3">)", "left=1 top=12"},
        {R"(<body onload="a>b" class=x data-y bgcolor = "#fff" />)", "bg=#FFFFFF"},
        {"<body alink=#00ff00", ""},
        {"<body>", ""},
        {"<bodyx bgcolor=red>", ""},
        {"hello world", ""},
        {"", ""},
        {"body{background:url(a.png) no-repeat #123456;color:red!important}",
            "bg=#123456 text=#FF0000 link=#0000EE vlink=#551A8B alink=#FF0000"},
        {"a:link, A:Visited { color: blue } a:active{color:lime}",
            "bg=#FFFFFF text=#000000 link=#0000FF vlink=#0000FF alink=#00FF00"},
        {"a:hover, p { color: red } body.dark { color: blue }",
            "bg=#FFFFFF text=#000000 link=#0000EE vlink=#551A8B alink=#FF0000"},
        {"body { margin: 5px 12px; }", "left=12 top=5"},
        {"body { margin: 1px 2px 3px 4px }", "left=4 top=1"},
        {"body { margin-left: 2em; margin-top: 0; margin-right: 7 }", "left=32 top=0"},
        {"body { margin-left: 7 }", ""},
        {"body { margin-left: 7.5px; margin-top: 99px }", "left=8 top=50"},
        {"body { color: red !important; color: blue }",
            "bg=#FFFFFF text=#FF0000 link=#0000EE vlink=#551A8B alink=#FF0000"},
        {"body { color: red; } body { color: blue; }",
            "bg=#FFFFFF text=#0000FF link=#0000EE vlink=#551A8B alink=#FF0000"},
        {"body { color: red; color: inherit }", "bg=#FFFFFF text=#000000 link=#0000EE vlink=#551A8B alink=#FF0000"},
        {"/* body { color: red } */ a:visited { color: #abc /* } */ }",
            "bg=#FFFFFF text=#000000 link=#0000EE vlink=#AABBCC alink=#FF0000"},
        {"@media print { body { color: red } } a:active { color: red }",
            "bg=#FFFFFF text=#000000 link=#0000EE vlink=#551A8B alink=#FF0000"},
        {R"(@charset "utf-8"; body { color: red })",
            "bg=#FFFFFF text=#FF0000 link=#0000EE vlink=#551A8B alink=#FF0000"},
        {R"(body { background: url("data:image/png;base64,AA") rgb(1, 2, 3) })",
            "bg=#010203 text=#000000 link=#0000EE vlink=#551A8B alink=#FF0000"},
        {"body { color: red", "bg=#FFFFFF text=#FF0000 link=#0000EE vlink=#551A8B alink=#FF0000"},
        {"<html><style>\nbody { color: navy }\n</style><body text=red link=lime>",
            "bg=#FFFFFF text=#000080 link=#00FF00 vlink=#551A8B alink=#FF0000"},
    };
    for (const auto& [text, found] : cases)
        QTest::addRow("'%s'", text) << QString::fromUtf8(text) << QString::fromLatin1(found);
}

void TestReaders::tagsAndStyleSheets()
{
    QFETCH(QString, text);
    QFETCH(QString, found);
    const TagReader::Found result = TagReader::read(text);
    QCOMPARE(described(result), found);
    QCOMPARE(result.isEmpty(), found.isEmpty());
    // Nothing usable leaves everything as it was.
    ColourScheme scheme = ColourScheme::defaults();
    Margins margins;
    QCOMPARE(FoundText::apply(result, scheme, margins), !found.isEmpty());
}

// Apply Tag on anything the program wrote, as written or as a person would retype it, changes nothing;
// and on another scheme it gives back every colour and the margins in use.
void TestReaders::writtenTextReadsBackUnchanged()
{
    QRandomGenerator random(1313);
    for (int i = 0; i < 2500; ++i) {
        const ColourScheme scheme = randomScheme(random);
        const Margins margins = randomMargins(random);
        TagReader::Found expected;
        for (int slot = 0; slot < Slot::Count; ++slot)
            expected.colours[static_cast<std::size_t>(slot)] = scheme.colour(slot);
        if (margins.useLeft())
            expected.leftMargin = margins.left();
        if (margins.useTop())
            expected.topMargin = margins.top();

        const QString tag = BodyTag::compose(scheme, margins);
        const QString css = CssText::compose(scheme, margins);
        for (const QString& text : {tag, css, dressedTag(tag, random), dressedCss(css, margins, random)}) {
            const TagReader::Found found = TagReader::read(text);
            QVERIFY2(found == expected, qPrintable(text + QStringLiteral("\ngave ") + described(found)));

            ColourScheme same = scheme;
            Margins sameMargins = margins;
            QVERIFY(!FoundText::apply(found, same, sameMargins));
            QVERIFY(same == scheme && sameMargins == margins);

            ColourScheme other = randomScheme(random);
            Margins otherMargins = randomMargins(random);
            const Margins otherBefore = otherMargins;
            FoundText::apply(found, other, otherMargins);
            QVERIFY(other == scheme);
            QCOMPARE(otherMargins.useLeft(), margins.useLeft() || otherBefore.useLeft());
            QCOMPARE(otherMargins.useTop(), margins.useTop() || otherBefore.useTop());
            QCOMPARE(otherMargins.left(), margins.useLeft() ? margins.left() : otherBefore.left());
            QCOMPARE(otherMargins.top(), margins.useTop() ? margins.top() : otherBefore.top());
        }
    }
}

// Random text built from the pieces both readers look for: nothing crashes, and whatever is found is a
// plain opaque 8-bit colour and a margin within 0..50.
void TestReaders::randomTextNeverGivesImpossibleValues()
{
    static const char* const pieces[] = {"<body ", "bgcolor=", "TEXT=", "leftmargin=", "topmargin", "body{", "a:link",
        "color:", "background:", "margin:", "margin-left:", "rgb(", "hsl(", "rgba(", "#", "deg", "turn", "px", "%",
        "!important", "/*", "*/", "red", "grey", "99999999999999999999", "-", ".", "e5", "@media"};
    QRandomGenerator random(4242);
    for (int i = 0; i < 20000; ++i) {
        QString text;
        const int length = random.bounded(1, 24);
        for (int j = 0; j < length; ++j) {
            if (random.bounded(3) == 0)
                text += QLatin1String(pieces[random.bounded(int(std::size(pieces)))]);
            else
                text += QChar(static_cast<char16_t>(random.bounded(0x20, 0x7F)));
        }
        for (const std::optional<QColor> colour : TagReader::read(text).colours) {
            if (colour)
                QVERIFY2(colour->spec() == QColor::Rgb && colour->alpha() == 255, qPrintable(text));
        }
        const TagReader::Found found = TagReader::read(text);
        for (const std::optional<int>& margin : {found.leftMargin, found.topMargin})
            QVERIFY2(!margin || (*margin >= Margins::Minimum && *margin <= Margins::Maximum), qPrintable(text));
        if (const std::optional<QColor> colour = ColourText::parse(text))
            QVERIFY2(colour->spec() == QColor::Rgb && colour->alpha() == 255, qPrintable(text));
    }
}

// A lone body tag is read by its own small reader, which gives only what the tag sets. Whatever it
// gives, the cascade gives too when the same tag is read as a page: random tags built from the
// attributes and declarations both take, the colours in every form.
void TestReaders::loneTagAgreesWithTheCascade()
{
    QRandomGenerator random(2525);
    const auto colour = [&random]() -> QString {
        const QColor c = QColor::fromRgb(random.generate() & 0xFFFFFF);
        switch (random.bounded(4)) {
        case 0:
            return c.name();
        case 1:
            return QStringLiteral("rgb(%1 %2 %3)").arg(c.red()).arg(c.green()).arg(c.blue());
        case 2:
            return QStringLiteral("hsl(%1deg 60% 40%)").arg(random.bounded(360));
        default:
            return QStringList{"red", "navy", "teal", "chucknorris", "transparent", "currentcolor"}.at(
                random.bounded(6));
        }
    };
    const auto pixels = [&random] { return QString::number(random.bounded(-5, 60)); };
    const std::function<QString()> attributes[] = {[&] { return "bgcolor=\"" + colour() + '"'; },
        [&] { return "text=\"" + colour() + '"'; }, [&] { return "link=\"" + colour() + '"'; },
        [&] { return "vlink=\"" + colour() + '"'; }, [&] { return "alink=\"" + colour() + '"'; },
        [&] { return "leftmargin=" + pixels(); }, [&] { return "marginheight=" + pixels(); }};
    const std::function<QString()> declarations[] = {[&] { return "color: " + colour(); },
        [&] { return "background: " + colour(); }, [&] { return "background-color: " + colour() + " !important"; },
        [&] { return "--a: " + colour(); }, [] { return QStringLiteral("color: var(--a)"); },
        [&] { return "background: var(--a, " + colour() + ')'; }, [&] { return "--page-text: " + colour(); },
        [] { return QStringLiteral("color: inherit"); }, [] { return QStringLiteral("background: currentcolor"); },
        [&] { return "margin: " + pixels() + "px " + pixels() + "px"; },
        [&] { return "margin-top: " + pixels() + "px"; }};
    TagReader::Options asPage;
    asPage.kind = TagReader::Options::Kind::Page;
    for (int round = 0; round < 3000; ++round) {
        QString tag = QStringLiteral("<body");
        for (int i = random.bounded(4); i > 0; --i)
            tag += u' ' + attributes[random.bounded(int(std::size(attributes)))]();
        QStringList style;
        for (int i = random.bounded(5); i > 0; --i)
            style << declarations[random.bounded(int(std::size(declarations)))]();
        if (!style.isEmpty())
            tag += QStringLiteral(" style=\"%1\"").arg(style.join(QStringLiteral("; ")));
        tag += u'>';
        const TagReader::Found lone = TagReader::read(tag);
        const TagReader::Found page = TagReader::readExplained(tag, asPage).found;
        for (std::size_t slot = 0; slot < Slot::Count; ++slot) {
            if (lone.colours[slot])
                QVERIFY2(lone.colours[slot] == page.colours[slot], qPrintable(tag + " slot " + QString::number(slot)));
        }
        QVERIFY2(lone.leftMargin == page.leftMargin && lone.topMargin == page.topMargin, qPrintable(tag));
    }
}

// Custom properties declared in a body's style attribute that refer to one another: chains, cycles,
// fallbacks, invalid values, env() and !important. A lone tag and a page holding only that tag must
// resolve them alike: the same colours where the tag gives one (the page's own default where it gives
// none) and the same margins.
void TestReaders::varChainsReadAloneAsInAPage()
{
    QRandomGenerator random(900913);
    const auto pick = [&](const QStringList& from) { return from.at(random.bounded(int(from.size()))); };
    const auto name = [&] {
        return pick({"--a", "--b", "--c", "--d", "--e", "--page-text", "--page-background", "--link"});
    };
    const auto colour = [&] {
        return pick({"red", "navy", "#123456", "rgb(10 200 30)", "hsl(120deg 50% 40%)", "teal"});
    };
    const auto length = [&] { return pick({"0", "3px", "12px", "1em", "calc(2px + 5px)", "45px", "70px"}); };
    // A value that may refer to other properties, nested `depth` deep at most.
    std::function<QString(int, bool)> value = [&](int depth, bool margin) -> QString {
        const int form = random.bounded(depth > 0 ? 9 : 4);
        switch (form) {
        case 0:
        case 1:
            return margin ? length() : colour();
        case 2:
            // Not currentcolor: a lone tag has no inherited colour for it to stand for, a page has.
            return pick({"nonsense", "12", "inherit", "initial", "var(nothing)"});
        case 3:
            return "var(" + name() + ')';
        case 4:
        case 5:
            return "var(" + name() + ", " + value(depth - 1, margin) + ')';
        case 6:
            return "env(safe-area-inset-top, " + value(depth - 1, margin) + ')';
        case 7:
            return margin ? "calc(1px + " + value(depth - 1, margin) + ')' : "env(nothing)";
        default:
            return value(depth - 1, margin) + ' ' + value(depth - 1, margin);
        }
    };
    const auto important = [&] { return random.bounded(6) == 0 ? QStringLiteral(" !important") : QString(); };
    const std::function<QString()> declarations[] = {[&] { return name() + ": " + value(3, false) + important(); },
        [&] { return name() + ": " + value(3, true) + important(); },
        [&] { return "color: " + value(2, false) + important(); },
        [&] { return "background-color: var(" + name() + ')'; },
        [&] { return "background: " + value(2, false) + important(); },
        [&] { return "margin-left: " + value(2, true) + important(); },
        [&] { return "margin: " + value(1, true) + ' ' + value(1, true); },
        [&] { return "margin-top: var(" + name() + ", " + length() + ')'; }};
    TagReader::Options asPage;
    asPage.kind = TagReader::Options::Kind::Page;
    asPage.asShown = true;
    const TagReader::Found defaults = TagReader::readExplained(QStringLiteral("<body>"), asPage).found;
    // After the random styles, the limits of var() from data/var-limits.tsv: a style, or `chain N`
    // (--page-text: var(--vN); --vN: var(--vN-1); … --v0: blue, declared from the far end so that the first
    // one read reaches down the whole chain) or `doubling N` (--g0: red; --gK: var(--gK-1) var(--gK-1) up to
    // --gN, which holds 2^(N+1) - 1 tokens; --page-text: var(--gN, blue)), and the text colour the tag gives.
    const auto expanded = [](const QString& row) {
        const int n = row.section(u' ', 1).toInt();
        QStringList parts;
        if (row.startsWith("chain ")) {
            parts << QStringLiteral("--page-text: var(--v%1)").arg(n);
            for (int at = n; at > 0; --at)
                parts << QStringLiteral("--v%1: var(--v%2)").arg(at).arg(at - 1);
            return (parts << "--v0: blue").join("; ");
        }
        if (!row.startsWith("doubling "))
            return row;
        parts << "--g0: red";
        for (int at = 1; at <= n; ++at)
            parts << QStringLiteral("--g%1: var(--g%2) var(--g%2)").arg(at).arg(at - 1);
        return (parts << QStringLiteral("--page-text: var(--g%1, blue)").arg(n)).join("; ");
    };
    QFile file(QFINDTESTDATA("data/var-limits.tsv"));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList limits
        = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts).filter(QRegularExpression("^[^#]"));
    QVERIFY(!limits.isEmpty());
    int given = 0;
    for (int round = 0; round < 2400 + limits.size(); ++round) {
        const QStringList row = round < 2400 ? QStringList() : limits[round - 2400].split(u'\t');
        QStringList style;
        for (int i = row.isEmpty() ? 1 + random.bounded(8) : 0; i > 0; --i)
            style << declarations[random.bounded(int(std::size(declarations)))]();
        if (!row.isEmpty())
            style << expanded(row[0]);
        const QString tag = QStringLiteral("<body style=\"%1\">").arg(style.join(QStringLiteral("; ")));
        const TagReader::Found lone = TagReader::read(tag);
        const TagReader::Found page = TagReader::readExplained(tag, asPage).found;
        for (std::size_t slot = 0; slot < Slot::Count; ++slot) {
            given += lone.colours[slot] ? 1 : 0;
            const std::optional<Rgb> expected = lone.colours[slot] ? lone.colours[slot] : defaults.colours[slot];
            QVERIFY2(expected == page.colours[slot], qPrintable(tag + " slot " + QString::number(slot)));
        }
        QVERIFY2(lone.leftMargin == page.leftMargin && lone.topMargin == page.topMargin, qPrintable(tag));
        if (!row.isEmpty())
            QVERIFY2((lone.colours[Slot::Text] ? hex(*lone.colours[Slot::Text]) : QStringLiteral("none")) == row[1],
                qPrintable(row[0]));
    }
    // The generator must reach resolved values often, or the agreement says little.
    QVERIFY2(given > 100, qPrintable(QString::number(given)));
}

// How deep the parser may nest a text the reader let through: the limit, with room for the elements
// the parser adds of its own (html, body, a table's tbody and tr for each cell).
constexpr int DeepestTree = 2 * HtmlNesting::MaxDepth + 8;

// Tag soup that once built trees deep enough to end the program (gumbo frees its tree by recursion)
// or kept the parser busy for a minute, each as long as the tag box takes, after a body tag: the
// body's colour is read, and the tree stays within the limit whatever the end tags say.
void TestReaders::tagSoupNestsNoDeeperThanTheLimit_data()
{
    QTest::addColumn<QString>("unit");
    QTest::addColumn<qsizetype>("length");
    // As long as the tag box takes; the rest shorter (a sanitizer build reads slowly), still nesting
    // a hundred times deeper than the limit.
    const qsizetype box = TextLimit::MaxCharacters;
    const qsizetype shorter = 256 * 1024;
    QTest::newRow("<object></x>") << QStringLiteral("<object></x>") << box;
    QTest::newRow("<rb>") << QStringLiteral("<rb>") << box;
    QTest::newRow("<div></x>") << QStringLiteral("<div></x>") << box;
    QTest::newRow("<div>") << QStringLiteral("<div>") << shorter;
    QTest::newRow("<x><div></x>") << QStringLiteral("<x><div></x>") << shorter;
    QTest::newRow("<div><b></div><rb></b>") << QStringLiteral("<div><b></div><rb></b>") << shorter;
    QTest::newRow("<div><b id=n></div>x") << QStringLiteral("<div><b id=%1></div>x") << shorter;
    QTest::newRow("<p><font size=2>") << QStringLiteral("<p><font size=2>text") << shorter;
    QTest::newRow("<table><td>") << QStringLiteral("<table><td>") << shorter;
    QTest::newRow("<td><div></td> outside a table") << QStringLiteral("<td><div></td>") << shorter;
    QTest::newRow("<svg><foreignObject><div/>") << QStringLiteral("<svg><foreignObject><div/>") << shorter;
    QTest::newRow("<svg><font color=red/>") << QStringLiteral("<svg><font color=red/>") << shorter;
    QTest::newRow("<div><select></div><select>") << QStringLiteral("<div><select></div><select>") << shorter;
    QTest::newRow("<select><style></select><div>")
        << QStringLiteral("<select><style></select><div></style>") << shorter;
    QTest::newRow("<!--><div>") << QStringLiteral("<!--><div>") << shorter;
    QTest::newRow("<li><span>") << QStringLiteral("<li><span>") << shorter;
}

void TestReaders::tagSoupNestsNoDeeperThanTheLimit()
{
    QFETCH(QString, unit);
    QFETCH(qsizetype, length);
    const QString body = QStringLiteral("<body bgcolor=red>");
    QString text = body;
    text.reserve(length);
    for (int i = 0; text.size() + unit.size() + 8 <= length; ++i)
        text += unit.contains(QLatin1String("%1")) ? unit.arg(i) : unit;
    const HtmlDocument document(text);
    QVERIFY2(document.depth() <= DeepestTree, qPrintable(QString::number(document.depth())));
    QCOMPARE(TagReader::read(text).colours[Slot::Background], QColor(Qt::red));

    // The deepest text the limit lets through, read whole, and what the limit makes text of.
    const QString deepest = body + QStringLiteral("<div>").repeated(HtmlNesting::MaxDepth - 2)
        + QStringLiteral("<style>body{color:blue}</style>");
    QCOMPARE(TagReader::read(deepest).colours[Slot::Text], QColor(Qt::blue));
    QVERIFY(HtmlDocument(deepest).depth() >= HtmlNesting::MaxDepth);
    // Past the limit the style element is text: the body keeps a browser's black, not the sheet's blue.
    QCOMPARE(TagReader::read(body + QStringLiteral("<div>").repeated(HtmlNesting::MaxDepth)
                 + QStringLiteral("<style>body{color:blue}</style>"))
                 .colours[Slot::Text],
        QColor(Qt::black));
}

// Random tag soup of the elements whose rules differ most: the tree the parser builds is never much
// deeper than the reader counted, so a text that nests deeper than counted would be found here.
void TestReaders::randomTagSoupNestsAsCounted()
{
    static const char* const names[] = {"div", "p", "b", "i", "a", "font size=2", "span", "x", "li", "ul", "td", "tr",
        "table", "object", "select", "option", "svg", "math", "mi", "foreignObject", "rb", "ruby", "form", "button",
        "h1", "h2", "template", "caption", "dd", "dt", "nobr", "style", "textarea", "br", "img"};
    QRandomGenerator random(2412);
    for (int i = 0; i < 2000; ++i) {
        QString text;
        const int length = random.bounded(1, 400);
        for (int j = 0; j < length; ++j) {
            const QString name = QLatin1String(names[random.bounded(int(std::size(names)))]);
            switch (random.bounded(5)) {
            case 0:
                text += QStringLiteral("</%1>").arg(name.section(QLatin1Char(' '), 0, 0));
                break;
            case 1:
                text += QStringLiteral("<%1/>").arg(name);
                break;
            case 2:
                text += QStringLiteral("x");
                break;
            default:
                text += QStringLiteral("<%1>").arg(name);
            }
        }
        QByteArray utf8 = text.toUtf8();
        const HtmlNesting::Scan counted = HtmlNesting::flatten(utf8);
        const int depth = HtmlDocument(text).depth();
        QVERIFY2(depth <= 2 * counted.deepest + 8,
            qPrintable(QStringLiteral("depth %1, counted %2: %3").arg(depth).arg(counted.deepest).arg(text)));
    }
}

// Random tags with repeated names (in any letter case) and values of every form: the body keeps the
// first of each name, as the parser does, and no more than the limit; a value with '>' or a name in it
// is read as a value.
void TestReaders::attributesReadAsTheParserKeepsThem()
{
    static const char* const values[] = {"", "=x", "=\"a b>c\"", "='d=e'", "=f/g", " = h", "=\"class=i\""};
    QRandomGenerator random(2612);
    for (int run = 0; run < 200; ++run) {
        const int count = random.bounded(2) ? random.bounded(12) : random.bounded(100, 2 * HtmlNesting::MaxAttributes);
        const int names = random.bounded(1, 3 * HtmlNesting::MaxAttributes / 2);
        QString text = QStringLiteral("<body");
        HtmlDocument::Attributes expected;
        qsizetype overLimit = 0;
        for (int i = 0; i < count; ++i) {
            const QString name = QStringLiteral("n%1").arg(random.bounded(names));
            const QString value = QLatin1String(values[random.bounded(int(std::size(values)))]);
            text += u' ' + (random.bounded(2) ? name.toUpper() : name) + value;
            const bool seen = std::any_of(
                expected.cbegin(), expected.cend(), [&](const auto& attribute) { return attribute.first == name; });
            if (seen)
                continue;
            if (expected.size() == HtmlNesting::MaxAttributes) {
                ++overLimit;
                continue;
            }
            QString decoded = value.section(u'=', 1).trimmed();
            if (decoded.startsWith(u'"') || decoded.startsWith(u'\''))
                decoded = decoded.mid(1, decoded.size() - 2);
            expected.append({name, decoded});
        }
        // Cut off by the end, the tag is dropped, but the parser reads its attributes all the same.
        QByteArray cutOff = text.toUtf8();
        QCOMPARE(HtmlNesting::flatten(cutOff).droppedAttributes, overLimit);
        static const QRegularExpression name(QStringLiteral("[nN][0-9]+"));
        QCOMPARE(QString::fromUtf8(cutOff).count(name), expected.size());
        text += QStringLiteral("><p>x");
        QByteArray utf8 = text.toUtf8();
        QCOMPARE(HtmlNesting::flatten(utf8).droppedAttributes, overLimit);
        const HtmlDocument document(text);
        QVERIFY2(document.bodyAttributes() == expected, qPrintable(text));
    }
}

// A style attribute is read as far as a style sheet is, CssParser::MaximumTokens, by a lone tag and by a
// page alike: what comes before the cut reads, what comes after does not, and a note says the rest was
// left out. The rows are in web/data/style-attribute-limits.jsonl.
void TestReaders::styleAttributesPastTheMostTokensAreCutWithANote_data()
{
    QTest::addColumn<bool>("page");
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("note");
    QFile file(
        qEnvironmentVariable("HUELOOM_TEST_SOURCE_DIR") + QStringLiteral("/web/data/style-attribute-limits.jsonl"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray& line : lines.mid(1)) {
        const QJsonArray row = QJsonDocument::fromJson(line).array();
        if (row.size() < 4)
            continue;
        QString style = row[1].toString();
        style.replace(QLatin1String("{many}"), QString(qsizetype(CssParser::MaximumTokens), u'!'));
        style.replace(QLatin1String("{few}"), QString(1000, u'!'));
        QTest::newRow(qPrintable(row[0].toString() + u' ' + row[1].toString()))
            << (row[0].toString() == QLatin1String("page")) << style << row[2].toString() << row[3].toBool();
    }
}

void TestReaders::styleAttributesPastTheMostTokensAreCutWithANote()
{
    QFETCH(bool, page);
    QFETCH(QString, style);
    QFETCH(QString, text);
    QFETCH(bool, note);
    TagReader::Options options;
    options.kind = page ? TagReader::Options::Kind::Page : TagReader::Options::Kind::Guess;
    const TagReader::Reading reading
        = TagReader::readExplained(QStringLiteral("<body style=\"%1\">").arg(style), options);
    QCOMPARE(reading.bodyTagAlone, !page);
    const std::optional<Rgb> read = reading.found.colours[Slot::Text];
    QCOMPARE(read ? read->name() : QString(), text);
    QCOMPARE(reading.notes.contains(TagStyle::leftOutNote()), note);
    QCOMPARE(TagReader::limitedMessage(reading).contains(QLatin1String("left out")), note);
}

// The tokenizer reads its text a few thousand characters at a time: a token that straddles where one
// piece ends and the next begins (an escape, a CR LF, a character outside the BMP, a comment, a long
// name) reads as it does on its own, wherever the cut falls.
void TestReaders::tokensReadTheSameWhereverTheTextIsCut()
{
    const QString tokens[] = {QStringLiteral("\\31 23abc"), QStringLiteral("a\r\nb"), QStringLiteral("\r\n\r\n"),
        QStringLiteral("x\U0001F600name"), QStringLiteral("/* a comment */x"), QStringLiteral("url(  a\\)b )"),
        QStringLiteral("url( 'x' )"), QStringLiteral("1.5e+3px"), QStringLiteral("--custom-name"),
        QStringLiteral("<!--"), QStringLiteral("-->"), QStringLiteral("\"string\\\nmore\""), QStringLiteral("#id-name"),
        QStringLiteral("@media"), QStringLiteral("x\\\n"), QStringLiteral("a").repeated(9000) + QStringLiteral("\\41"),
        QStringLiteral("b").repeated(9000), QString(QChar(0)) + QStringLiteral("y"), QString(QChar(0xD800)) + u'z',
        QStringLiteral("\f-.5%"), QStringLiteral("/* unclosed")};
    const auto same = [](const QList<CssToken>& a, const QList<CssToken>& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const CssToken& x, const CssToken& y) {
            return x.type == y.type && x.text == y.text && x.number == y.number && x.idHash == y.idHash;
        });
    };
    for (const QString& text : tokens) {
        const QList<CssToken> alone = CssTokenizer::all(text);
        // Semicolons before it, each a token of its own, move it across the first cut and the next.
        for (const qsizetype before : {4086, 4090, 4093, 4094, 4095, 4096, 4097, 8190, 8191, 8192}) {
            const QList<CssToken> read = CssTokenizer::all(QString(before, u';') + text);
            QVERIFY2(read.size() == before + alone.size() && same(read.mid(before), alone),
                qPrintable(QStringLiteral("%1 after %2 characters").arg(text.left(40)).arg(before)));
        }
    }
}

void TestReaders::textKindIsToldByTokens_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QFile file(qEnvironmentVariable("HUELOOM_TEST_SOURCE_DIR") + QStringLiteral("/web/data/text-kinds.tsv"));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const qsizetype tab = line.indexOf('\t');
        QVERIFY2(tab > 0, line.constData());
        QString text = QString::fromUtf8(line.mid(tab + 1));
        text.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
        QTest::addRow("%s", line.constData()) << QString::fromUtf8(line.first(tab)) << text;
    }
}

// Every reader tells a text's kind by one rule; a kind that is asked for is taken as it is.
void TestReaders::textKindIsToldByTokens()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    static const QHash<QString, TagReader::TextKind> kinds{
        {QStringLiteral("tokens"), TagReader::TextKind::DesignTokens},
        {QStringLiteral("tag"), TagReader::TextKind::BodyTag},
        {QStringLiteral("sheet"), TagReader::TextKind::StyleSheet},
        {QStringLiteral("page"), TagReader::TextKind::Page}};
    QVERIFY(kinds.contains(kind));
    QCOMPARE(TagReader::sniff(text), kinds.value(kind));
    QCOMPARE(TagReader::readExplained(text).kind, kinds.value(kind));
    QCOMPARE(TagReader::sniff(text, TagReader::Options::Kind::Page), TagReader::TextKind::Page);
    QCOMPARE(TagReader::sniff(text, TagReader::Options::Kind::StyleSheet), TagReader::TextKind::StyleSheet);
}

// A text is only tokenized to look for markup when a < in it could open some; that shortcut must
// never change what the tokens alone would decide.
void TestReaders::markupIsFoundWithoutTokensOnlyWhereTokensFindIt()
{
    const QStringList pieces = QStringLiteral("<|<|a|-|3| |/|*|!|\"|'|\\|=|{|}|url(|)|_|\u00e9|\n|\0|--|(").split(u'|');
    QRandomGenerator random(1210);
    for (int round = 0; round < 20000; ++round) {
        QString text;
        for (int count = random.bounded(1, 12); count > 0; --count)
            text += pieces[random.bounded(pieces.size())];
        // A text that is one lone tag is not asked about markup at all.
        const TagReader::TextKind kind = TagReader::sniff(text);
        if (kind == TagReader::TextKind::BodyTag || kind == TagReader::TextKind::DesignTokens)
            continue;
        QVERIFY2((kind == TagReader::TextKind::Page) == TagReader::markupTokens(text), qPrintable(text));
    }
}

// A page's margins reach the tag's rules as the values the cascade gave, not as text read again: both
// ways must give the same, over the body's margin attributes, for any mix of values.
void TestReaders::declarationsGivenAsValuesReadAsTheirText()
{
    const QStringList values = QStringLiteral("12px|0|-3px|1.5em|auto|initial|inherit|var(--m)|var(--n, 4px)|calc(2px "
                                              "+ 3px)|10%||7|70px|bogus|1e1px|12px !important|red|#123")
                                   .split(u'|');
    const QStringList names = QStringLiteral("margin-left|margin-top|margin|--m|color|background").split(u'|');
    const QStringList attributes = QStringLiteral("leftmargin|topmargin|marginwidth|marginheight|bgcolor").split(u'|');
    QRandomGenerator random(20261210);
    for (int round = 0; round < 3000; ++round) {
        HtmlDocument::Attributes body;
        for (const QString& attribute : attributes) {
            if (random.bounded(3) == 0)
                body.append({attribute, QString::number(random.bounded(-5, 80))});
        }
        QString text;
        for (int count = random.bounded(5); count > 0; --count)
            text += names[random.bounded(names.size())] + QStringLiteral(": ") + values[random.bounded(values.size())]
                + QLatin1Char(';');
        const auto read = [](const TagStyle& style) {
            return std::tuple(style.margin(true), style.margin(false), style.background(), style.colour());
        };
        QVERIFY2(read(TagStyle(body, text)) == read(TagStyle(body, CssParser::declarations(CssParser::values(text)))),
            qPrintable(text));
    }
}

QTEST_APPLESS_MAIN(TestReaders)
#include "tst_readers.moc"
