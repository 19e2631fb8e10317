#include "colour/Rgb.h"

#include <QColor>
#include <QRandomGenerator>
#include <QTest>
#include <bit>
#include <cstdint>

// The libraries' colour stands where QColor stood, and what they print must not change: every way
// the libraries read an Rgb is held against QColor's own answer for the same colour.
class TestRgb : public QObject {
    Q_OBJECT
private slots:
    void agreesWithQColor();
    void packedValues();
};

// QCOMPARE takes floats as equal within a margin; the texts printed from them need every bit.
std::uint32_t bits(float value)
{
    return std::bit_cast<std::uint32_t>(value);
}

void TestRgb::agreesWithQColor()
{
    QRandomGenerator random(7);
    QList<Rgb> colours;
    for (int v = 0; v < 256; ++v) // every code in each channel, the others at random
        colours << Rgb(v, random.bounded(256), random.bounded(256)) << Rgb(random.bounded(256), v, random.bounded(256))
                << Rgb(random.bounded(256), random.bounded(256), v);
    for (int i = 0; i < 20000; ++i)
        colours << Rgb::fromArgb(random.generate());
    for (const Rgb& colour : colours) {
        const QColor qt(colour.red(), colour.green(), colour.blue());
        QCOMPARE(colour.name(), qt.name());
        QCOMPARE(colour.argb(), qt.rgb());
        // Bit for bit: the contrast figures and the HSL and OKLCH texts are computed from these.
        QCOMPARE(bits(colour.redF()), bits(qt.redF()));
        QCOMPARE(bits(colour.greenF()), bits(qt.greenF()));
        QCOMPARE(bits(colour.blueF()), bits(qt.blueF()));
        QVERIFY(colour == qt && qt == colour);
        QCOMPARE(Rgb(qt), colour);
        QCOMPARE(QColor(colour), qt);
    }
    // A translucent or non-RGB colour from the windows keeps its 8-bit RGB channels.
    QCOMPARE(Rgb(QColor(10, 20, 30, 40)), Rgb(10, 20, 30));
    QCOMPARE(Rgb(QColor::fromHsv(120, 255, 255)), Rgb(0, 255, 0));
    QVERIFY(!(Rgb(10, 20, 30) == QColor(10, 20, 30, 40)));
}

void TestRgb::packedValues()
{
    QRandomGenerator random(11);
    for (int i = 0; i < 20000; ++i) {
        const int r = random.bounded(256), g = random.bounded(256), b = random.bounded(256), a = random.bounded(256);
        const Argb packed = argb(r, g, b, a);
        QCOMPARE(packed, qRgba(r, g, b, a));
        QCOMPARE(argb(r, g, b), qRgb(r, g, b));
        QCOMPARE(redOf(packed), qRed(packed));
        QCOMPARE(greenOf(packed), qGreen(packed));
        QCOMPARE(blueOf(packed), qBlue(packed));
        QCOMPARE(alphaOf(packed), qAlpha(packed));
        // A packed colour's alpha is dropped as QColor(QRgb) drops it.
        QCOMPARE(QColor(Rgb::fromArgb(packed)), QColor(packed));
    }
}

QTEST_GUILESS_MAIN(TestRgb)
#include "tst_rgb.moc"
