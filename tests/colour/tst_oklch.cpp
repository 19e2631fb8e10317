#include "colour/GamutMapping.h"
#include "colour/OklchPosition.h"

#include <QRandomGenerator>
#include <QTest>

// The OKLCH bars' places and the colours they paint. What CSS makes of each place is held against
// colorjs.io in colorjs.sh; here, that the bars reach every 8-bit colour and come back to it.
class TestOklch : public QObject {
    Q_OBJECT
private slots:
    void everyColourComesBack();
    void greysKeepTheirHue();
    void edges_data();
    void edges();
};

// sRGB to a place and back, over a stratified million: every red and green code with sixteen blues,
// one from each sixteenth of the range (all 16,777,216 with HUELOOM_COLOURS=all).
void TestOklch::everyColourComesBack()
{
    const bool all = qEnvironmentVariable("HUELOOM_COLOURS") == QLatin1String("all");
    QRandomGenerator random(37);
    int checked = 0;
    for (int r = 0; r < 256; ++r)
        for (int g = 0; g < 256; ++g)
            for (int stratum = 0; stratum < 16; ++stratum) {
                const int pick = stratum * 16 + static_cast<int>(random.bounded(16));
                for (int b = stratum * 16; b < (stratum + 1) * 16; ++b) {
                    if (!all && b != pick)
                        continue;
                    const Rgb colour(r, g, b);
                    const OklchPosition place = OklchPosition::of(colour, 1234);
                    if (place.colour() != colour)
                        QFAIL(qPrintable(QStringLiteral("%1 went to L %2 C %3 H %4 and came back as %5")
                                             .arg(colour.name())
                                             .arg(place.lightness)
                                             .arg(place.chroma)
                                             .arg(place.hue)
                                             .arg(place.colour().name())));
                    QVERIFY(place.lightness >= 0 && place.lightness <= OklchPosition::MaxLightness);
                    QVERIFY(place.chroma >= 0 && place.chroma <= OklchPosition::MaxChroma);
                    QVERIFY(place.hue >= 0 && place.hue < OklchPosition::HueSteps);
                    ++checked;
                }
            }
    qInfo("%d colours, each back unchanged", checked);
    QVERIFY(checked >= (all ? 1 << 24 : 1 << 20));
}

void TestOklch::greysKeepTheirHue()
{
    // No place on the steps gives #0105f0: the place taken from it keeps how far it lies off them.
    const OklchPosition blue = OklchPosition::of(Rgb(1, 5, 240));
    QCOMPARE(blue.colour(), Rgb(1, 5, 240));
    QCOMPARE((OklchPosition{blue.lightness, blue.chroma, blue.hue}.colour()), Rgb(2, 5, 240));
    for (int v = 0; v < 256; ++v) {
        const OklchPosition place = OklchPosition::of(Rgb(v, v, v), 2584);
        QCOMPARE(place.chroma, 0);
        QCOMPARE(place.hue, 2584);
        QCOMPARE(place.colour(), Rgb(v, v, v));
    }
}

void TestOklch::edges_data()
{
    QTest::addColumn<int>("lightness");
    QTest::addColumn<int>("chroma");
    QTest::addColumn<int>("hue");
    QTest::addColumn<QString>("colour");
    QTest::addColumn<bool>("mapped");
    QTest::newRow("white") << 1000 << 0 << 0 << "#ffffff" << false;
    QTest::newRow("white, whatever the chroma") << 1000 << 400 << 1500 << "#ffffff" << true;
    QTest::newRow("black") << 0 << 0 << 0 << "#000000" << false;
    QTest::newRow("black, whatever the chroma") << 0 << 250 << 2000 << "#000000" << true;
    QTest::newRow("hue past the circle") << 700 << 100 << 5600 << OklchPosition{700, 100, 2000}.colour().name()
                                         << false;
    QTest::newRow("hue below it") << 700 << 100 << -1600 << OklchPosition{700, 100, 2000}.colour().name() << false;
    QTest::newRow("off the steps") << 434 << 298 << 2642 << "#0205f0" << false;
    QTest::newRow("full chroma") << 628 << 400 << 2584 << OklchPosition{628, 400, 2584}.colour().name() << true;
}

void TestOklch::edges()
{
    QFETCH(int, lightness);
    QFETCH(int, chroma);
    QFETCH(int, hue);
    QFETCH(QString, colour);
    QFETCH(bool, mapped);
    const OklchPosition place{lightness, chroma, hue};
    QCOMPARE(place.colour().name(), colour);
    QCOMPARE(place.mapped(), mapped);
    QCOMPARE(OklchPosition::wrappedHue(hue), ((hue % 3600) + 3600) % 3600);
    // What a mapped colour keeps: its lightness within the JND, and sRGB.
    const ColourSpaces::Triple rgb = GamutMapping::toSrgb(place.oklch());
    for (const double v : rgb)
        QVERIFY(v >= 0 && v <= 1);
}

QTEST_GUILESS_MAIN(TestOklch)
#include "tst_oklch.moc"
