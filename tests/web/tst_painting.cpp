#include "formats/SchemeFormats.h"
#include "web/PageColours.h"
#include "web/Painting.h"
#include "web/ReadingNotes.h"

#include <QColor>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTest>

// What the reader paints, against what headless Chromium painted: opacity blended as the browser
// composites a layer, nested layers too, and translucent colours as it blits them (data/opacity-painted,
// nested-opacity-painted and translucent-painted.jsonl, recorded by record_blends.py over random
// colours), and whole texts in both colour schemes (data/painted-browser.jsonl, recorded by
// record_painted.py from data/painted-corpus.jsonl).
class TestPainting : public QObject {
    Q_OBJECT

private slots:
    void layersPaintAsTheBrowserPaintsThem();
    void textsAsTheBrowserPaintsThem();
    void slotNamesGiveSlotsInCustomPropertiesAlone();
    void containerQueriesAnswerAsTheBrowserDoes();
};

namespace {

QString hex(Argb colour)
{
    return QColor(colour).name().toUpper();
}

QList<QJsonValue> lines(const char* name)
{
    QFile file(QFINDTESTDATA(QString::fromLatin1(name)));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QList<QJsonValue> result;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (!line.trimmed().isEmpty())
            result << QJsonDocument::fromJson("[" + line + "]").array().at(0);
    }
    return result;
}

Argb parsed(const QJsonValue& value)
{
    return QColor::fromString(value.toString()).rgb();
}

} // namespace

// What Chromium showed of a link's colour over the body's, recorded over random colours, row by row: the
// link's opacity, its colour, the colour beneath and the colour shown (data/opacity-painted.jsonl); the
// alpha of an rgba() link colour, its red, green and blue, the colour beneath and the colour shown
// (translucent-painted.jsonl); the paragraph's opacity, the link's inside it, the link's colour, the colour
// beneath and the colour shown (nested-opacity-painted.jsonl), where the link's layer is composited into
// the paragraph's, which holds nothing else there, and that one over the body.
void TestPainting::layersPaintAsTheBrowserPaintsThem()
{
    // %1... stand for the columns, {rgb} for the red, green and blue of the link's colour.
    const struct {
        const char* file;
        const char* sheet;
    } files[] = {{"data/opacity-painted.jsonl", "body { background: %3 } a { color: %2; opacity: %1 }"},
        {"data/translucent-painted.jsonl", "body { background: %3 } a { color: rgba({rgb}, %1) }"},
        {"data/nested-opacity-painted.jsonl",
            "body { background: %4 } p { opacity: %1 } a { color: %3; opacity: %2 }"}};
    for (const auto& [file, sheet] : files) {
        const QList<QJsonValue> rows = lines(file);
        QVERIFY(rows.size() >= 200);
        for (const QJsonValue& row : rows) {
            const qsizetype shown = row.toArray().size() - 1;
            const Argb link = parsed(row[shown - 2]);
            const Argb beneath = parsed(row[shown - 1]);
            QString text = QString::fromLatin1(sheet).replace(QLatin1String("{rgb}"),
                QStringLiteral("%1, %2, %3").arg(redOf(link)).arg(greenOf(link)).arg(blueOf(link)));
            for (qsizetype i = shown - 1; i >= 0; --i)
                text.replace(u'%' + QString::number(i + 1),
                    row[i].isDouble() ? QString::number(row[i].toDouble()) : row[i].toString());
            const PageColours colours = PageColours::read(text, PageColours::Kind::StyleSheet, {});
            QVERIFY2(hex(colours.colours[Slot::NewLink]) == row[shown].toString(), qPrintable(text));
            // The blend alone gives an opacity's colour too; full opacity paints the colour as it is, none
            // leaves what lay beneath.
            if (file == files[0].file)
                QCOMPARE(hex(Painting::blended(link, beneath, row[0].toDouble())), row[shown].toString());
            QCOMPARE(Painting::blended(link, beneath, 1), link);
            QCOMPARE(Painting::blended(link, beneath, 0), beneath);
        }
    }
}

// Every text of the corpus in light and dark: the five colours as Chromium painted them, but where
// data/painted-differences.jsonl says why the reader differs.
void TestPainting::textsAsTheBrowserPaintsThem()
{
    const QList<QJsonValue> rows = lines("data/painted-browser.jsonl");
    QVERIFY(rows.size() >= 40);
    QHash<QString, QString> differences; // by source and scheme, what the reader gives instead
    for (const QJsonValue& row : lines("data/painted-differences.jsonl"))
        differences.insert(row[0].toString() + u'\n' + row[1].toString(), row[2].toString());
    QStringList wrong;
    for (const QJsonValue& row : rows) {
        const QString source = row[QLatin1String("source")].toString();
        const QString scheme = row[QLatin1String("colorScheme")].toString();
        PageColours::Options options;
        options.dark = scheme == QLatin1String("dark");
        const bool page = row[QLatin1String("kind")].toString() == QLatin1String("page");
        const PageColours colours
            = PageColours::read(source, page ? PageColours::Kind::Page : PageColours::Kind::StyleSheet, options);
        QStringList browser;
        for (const char* field : {"background", "text", "link", "visited", "active"})
            browser << row[QLatin1String(field)].toString();
        QStringList ours;
        for (const Argb colour : colours.colours)
            ours << hex(colour);
        const QString expected = differences.value(source + u'\n' + scheme, browser.join(u' '));
        if (ours.join(u' ') != expected)
            wrong << scheme + u' ' + source + QStringLiteral("\n  browser ") + expected + QStringLiteral("\n  ours    ")
                    + ours.join(u' ');
    }
    for (const QString& difference : std::as_const(wrong))
        qWarning().noquote() << difference;
    QVERIFY2(wrong.isEmpty(), qPrintable(QString::number(wrong.size()) + QStringLiteral(" differ from the browser")));
}

// The program's own shapes of custom properties, copied alone, give the scheme they were written from;
// with any declaration of another property beside them, the page's rules decide, as in a browser.
void TestPainting::slotNamesGiveSlotsInCustomPropertiesAlone()
{
    QRandomGenerator random(2026);
    for (int round = 0; round < 100; ++round) {
        ColourScheme scheme;
        for (int field = 0; field < ColourScheme::ValueCount; ++field)
            scheme.setValue(field, static_cast<qint16>(random.bounded(256)));
        QString rootRule = SchemeFormats::write(SchemeFormats::Shape::CustomProperties, scheme, Margins());
        rootRule = rootRule.first(rootRule.indexOf(u'}') + 1);
        for (const QString& alone : {SchemeFormats::write(SchemeFormats::Shape::Tailwind, scheme, Margins()), rootRule,
                 QStringLiteral("@media screen { %1 }").arg(rootRule)}) {
            const PageColours colours = PageColours::read(alone, PageColours::Kind::StyleSheet, {});
            for (int slot = 0; slot < Slot::Count; ++slot)
                QVERIFY2(colours.colours[std::size_t(slot)] == scheme.colour(slot).argb(), qPrintable(alone));
            // One ordinary declaration that colours nothing the reading shows, and the names are
            // ordinary custom properties.
            const PageColours mixed = PageColours::read(
                alone + QStringLiteral(" nav a { color: #202122 }"), PageColours::Kind::StyleSheet, {});
            QCOMPARE(hex(mixed.colours[Slot::Text]), QStringLiteral("#000000"));
            QCOMPARE(hex(mixed.colours[Slot::NewLink]), QStringLiteral("#0000EE"));
            QCOMPARE(mixed.named, colours.named);
        }
    }
}

// A container whose size the reading cannot tell, and a style() query of more than one custom property,
// leave their rules out with a note; one whose size it tells, a style() query of one custom property,
// or no container at all, leave no note (data/container-queries.jsonl: the container's declarations, the
// query, and whether it is noted). A container of a known width answers a query at its exact edge as the
// browser does: (min-width: W) holds for a width of W and not below; nested containers each answer for
// the nearest of their name.
void TestPainting::containerQueriesAnswerAsTheBrowserDoes()
{
    const QString page = QStringLiteral(
        "<style>.c { %1 } @container %2 { a { color: #c00000 } }</style><div class=c><p><a href=#x>x</a></p></div>");
    const QList<QJsonValue> rows = lines("data/container-queries.jsonl");
    QVERIFY(!rows.isEmpty());
    for (const QJsonValue& row : rows) {
        const QString text = page.arg(row[0].toString(), row[1].toString());
        const PageColours colours = PageColours::read(text, PageColours::Kind::Page, {});
        const bool noted = row[2].toBool();
        QVERIFY2(colours.shortfalls.contains(ReadingNotes::Reason::QueryNotAnswered) == noted, qPrintable(text));
        if (noted)
            QVERIFY2(hex(colours.colours[Slot::NewLink]) == QStringLiteral("#0000EE"), qPrintable(text));
    }
    QRandomGenerator random(1280);
    for (int round = 0; round < 200; ++round) {
        const int width = random.bounded(1, 1400);
        const int asked = width + random.bounded(-2, 3);
        const bool named = random.bounded(2) == 0;
        const QString text
            = QStringLiteral("<style>.outer { container: wide / inline-size; width: %1px } .inner { container-type: "
                             "inline-size; width: 50% } @container %2 (min-width: %3px) { a { color: #c00000 } }"
                             "</style><div class=outer><div class=inner><p><a href=#x>x</a></p></div></div>")
                  .arg(width)
                  .arg(named ? QStringLiteral("wide") : QString())
                  .arg(asked);
        const double box = named ? width : width / 2.0;
        const PageColours colours = PageColours::read(text, PageColours::Kind::Page, {});
        QVERIFY2(hex(colours.colours[Slot::NewLink])
                == (box >= asked ? QStringLiteral("#C00000") : QStringLiteral("#0000EE")),
            qPrintable(text));
        QVERIFY(colours.shortfalls.isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestPainting)
#include "tst_painting.moc"
