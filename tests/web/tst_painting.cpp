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
// blends a layer (data/opacity-painted.jsonl, recorded over random colours and opacities), and whole
// texts in both colour schemes (data/painted-browser.jsonl, by record_painted.py from
// data/painted-corpus.jsonl).
class TestPainting : public QObject {
    Q_OBJECT

private slots:
    void opacityBlendsAsTheBrowserBlends();
    void textsAsTheBrowserPaintsThem();
    void slotNamesGiveSlotsInCustomPropertiesAlone();
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

// Each row: the opacity, the link's colour, the colour beneath it, and the colour Chromium showed. The
// blend alone and the whole reading of a sheet that sets them give it.
void TestPainting::opacityBlendsAsTheBrowserBlends()
{
    const QList<QJsonValue> rows = lines("data/opacity-painted.jsonl");
    QVERIFY(rows.size() >= 300);
    for (const QJsonValue& row : rows) {
        const double opacity = row[0].toDouble();
        const QString shown = row[3].toString();
        QCOMPARE(hex(Painting::blended(parsed(row[1]), parsed(row[2]), opacity)), shown);
        const QString sheet = QStringLiteral("body { background: %1 } a { color: %2; opacity: %3 }")
                                  .arg(row[2].toString(), row[1].toString())
                                  .arg(opacity);
        const PageColours colours = PageColours::read(sheet, PageColours::Kind::StyleSheet, {});
        QVERIFY2(hex(colours.colours[Slot::NewLink]) == shown, qPrintable(sheet));
        // Full opacity paints the colour as it is; none leaves what lay beneath.
        QCOMPARE(Painting::blended(parsed(row[1]), parsed(row[2]), 1), parsed(row[1]));
        QCOMPARE(Painting::blended(parsed(row[1]), parsed(row[2]), 0), parsed(row[2]));
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

QTEST_GUILESS_MAIN(TestPainting)
#include "tst_painting.moc"
