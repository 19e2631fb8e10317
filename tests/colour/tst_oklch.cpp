#include "colour/GamutMapping.h"
#include "colour/OklchPosition.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTest>

// The OKLCH bars' places and the colours they paint. What CSS makes of each place is held against
// colorjs.io in colorjs.sh; here, that the bars reach every 8-bit colour and come back to it.
class TestOklch : public QObject {
    Q_OBJECT
private slots:
    void everyColourComesBack();
    void greysKeepTheirHue();
    void edges();
};

// sRGB to a place and back, over a stratified million: every red and green code with sixteen blues,
// one from each sixteenth of the range (all 16,777,216 with HUELOOM_COLOURS=all).
void TestOklch::everyColourComesBack()
{
    const bool all = qEnvironmentVariable("HUELOOM_COLOURS") == QLatin1String("all");
    QRandomGenerator random(37);
    int checked = 0;
    for (int rg = 0; rg < 1 << 16; ++rg)
        for (int b = 0; b < 256; b += all ? 1 : 16, ++checked) {
            const Rgb colour(rg >> 8, rg & 255, all ? b : b + static_cast<int>(random.bounded(16)));
            const OklchPosition place = OklchPosition::of(colour, 1234);
            if (place.colour() != colour || place.lightness < 0 || place.lightness > OklchPosition::MaxLightness
                || place.chroma < 0 || place.chroma > OklchPosition::MaxChroma || place.hue < 0
                || place.hue >= OklchPosition::HueSteps)
                QFAIL(qPrintable(
                    QString::asprintf("%s went to L %d C %d H %d and came back as %s", qPrintable(colour.name()),
                        place.lightness, place.chroma, place.hue, qPrintable(place.colour().name()))));
        }
    qInfo("%d colours, each back unchanged", checked);
    QCOMPARE(checked, all ? 1 << 24 : 1 << 20);
}

void TestOklch::greysKeepTheirHue()
{
    // No place on the steps gives #0105f0: the place taken from it keeps how far it lies off them.
    QCOMPARE(OklchPosition::of(Rgb(1, 5, 240)).colour(), Rgb(1, 5, 240));
    for (int v = 0; v < 256; ++v) {
        const OklchPosition place = OklchPosition::of(Rgb(v, v, v), 2584);
        QVERIFY2(
            place.chroma == 0 && place.hue == 2584 && place.colour() == Rgb(v, v, v), qPrintable(Rgb(v, v, v).name()));
    }
}

// The places of data/oklch_edges.tsv: at the bars' ends, round the hue's circle, off the steps and mapped.
void TestOklch::edges()
{
    QFile file(qEnvironmentVariable("HUELOOM_TEST_SOURCE_DIR") + QStringLiteral("/colour/data/oklch_edges.tsv"));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    int rows = 0;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        const QStringList f = line.split(QLatin1Char('\t'));
        if (line.startsWith(QLatin1Char('#')))
            continue;
        QCOMPARE(f.size(), 7);
        const OklchPosition place{f[0].toInt(), f[1].toInt(), f[2].toInt()};
        QCOMPARE(OklchPosition::wrappedHue(place.hue), f[3].toInt());
        QCOMPARE(
            QStringList({place.colour().name(), QLatin1String(place.mapped() ? "mapped" : "inside"), f[6]}), f.mid(4));
        // What a mapped colour keeps: sRGB.
        for (const double v : GamutMapping::toSrgb(place.oklch()))
            QVERIFY(v >= 0 && v <= 1);
        ++rows;
    }
    QCOMPARE(rows, 9);
}

QTEST_GUILESS_MAIN(TestOklch)
#include "tst_oklch.moc"
