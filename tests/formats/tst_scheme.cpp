#include "colour/ColourScheme.h"
#include "colour/Contrast.h"
#include "formats/BodyTag.h"
#include "formats/CssText.h"
#include "formats/Margins.h"
#include "formats/ValueText.h"

#include <QRandomGenerator>
#include <QTest>

class TestScheme : public QObject {
    Q_OBJECT
private slots:
    void valueTexts_data();
    void valueTexts();
    void defaultTagIsTheDefaultScheme();
    void tagLayoutPerMarginState_data();
    void tagLayoutPerMarginState();
    void channelPositionsAddressTheirPair();
    void marginClampsAndPreview();
    void colourValuePacksRedGreenBlue();
    void contrastRatios_data();
    void contrastRatios();
    void contrastFigureNeverOverstates();
    void cssText_data();
    void cssText();
};

void TestScheme::valueTexts_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("valueText");
    QTest::addColumn<QString>("hexPair");
    QTest::newRow("zero") << 0 << " 0"
                          << "00";
    QTest::newRow("below sixteen") << 10 << " 10"
                                   << "0A";
    QTest::newRow("nine has no leading zero") << 9 << " 9"
                                              << "09";
    QTest::newRow("85") << 85 << " 85"
                        << "55";
    QTest::newRow("171") << 171 << " 171"
                         << "AB";
    QTest::newRow("206") << 206 << " 206"
                         << "CE";
    QTest::newRow("255") << 255 << " 255"
                         << "FF";
}

void TestScheme::valueTexts()
{
    QFETCH(int, value);
    QFETCH(QString, valueText);
    QFETCH(QString, hexPair);
    QCOMPARE(ValueText::value(value), valueText);
    QCOMPARE(ValueText::hexPair(value), hexPair);
}

void TestScheme::defaultTagIsTheDefaultScheme()
{
    const QString tag = BodyTag::compose(ColourScheme::defaults(), Margins{});
    QCOMPARE(tag,
        QStringLiteral(R"(<BODY BGCOLOR="#CECEFF" TEXT="#0055AA" LINK="#007C00" VLINK="#003C00" ALINK="#00B500">)"));
    QCOMPARE(tag.size(), 86);
}

void TestScheme::tagLayoutPerMarginState_data()
{
    QTest::addColumn<bool>("useLeft");
    QTest::addColumn<bool>("useTop");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("tail");
    QTest::addColumn<int>("leftAt");
    QTest::addColumn<int>("topAt");
    QTest::newRow("none") << false << false << 86 << ">" << 0 << 0;
    QTest::newRow("left") << true << false << 102 << R"( LEFTMARGIN="12">)" << 99 << 0;
    QTest::newRow("top") << false << true << 101 << R"( TOPMARGIN="07">)" << 0 << 98;
    QTest::newRow("both") << true << true << 117 << R"( LEFTMARGIN="12" TOPMARGIN="07">)" << 99 << 114;
}

void TestScheme::tagLayoutPerMarginState()
{
    QFETCH(bool, useLeft);
    QFETCH(bool, useTop);
    QFETCH(int, length);
    QFETCH(QString, tail);
    QFETCH(int, leftAt);
    QFETCH(int, topAt);
    Margins margins;
    margins.setLeft(12);
    margins.setTop(7);
    margins.setUseLeft(useLeft);
    margins.setUseTop(useTop);
    const QString tag = BodyTag::compose(ColourScheme::defaults(), margins);
    QCOMPARE(tag.size(), length);
    QCOMPARE(tag.mid(BodyTag::ColourPartLength), tail);
    QCOMPARE(BodyTag::leftMarginPosition(margins), leftAt);
    QCOMPARE(BodyTag::topMarginPosition(margins), topAt);
    if (leftAt)
        QCOMPARE(tag.mid(leftAt - 1, 2), QStringLiteral("12"));
    if (topAt)
        QCOMPARE(tag.mid(topAt - 1, 2), QStringLiteral("07"));
}

void TestScheme::channelPositionsAddressTheirPair()
{
    const int expected[5][3] = {{17, 19, 21}, {32, 34, 36}, {47, 49, 51}, {63, 65, 67}, {79, 81, 83}};
    for (int slot = 0; slot < Slot::Count; ++slot) {
        for (int channel = 0; channel < Channel::Count; ++channel)
            QCOMPARE(BodyTag::channelPosition(slot, channel), expected[slot][channel]);
    }
    // Whatever the scheme and margins, each channel's pair and each margin's digits stand where the
    // positions say, and only the margins in use change the tag's length.
    QRandomGenerator random(5);
    for (int round = 0; round < 2000; ++round) {
        ColourScheme scheme;
        for (int slot = 0; slot < Slot::Count; ++slot) {
            for (int channel = 0; channel < Channel::Count; ++channel)
                scheme.setChannel(slot, channel, qint16(random.bounded(256)));
        }
        Margins margins;
        margins.setUseLeft(random.bounded(2));
        margins.setUseTop(random.bounded(2));
        margins.setLeft(random.bounded(51));
        margins.setTop(random.bounded(51));
        const QString tag = BodyTag::compose(scheme, margins);
        for (int slot = 0; slot < Slot::Count; ++slot) {
            for (int channel = 0; channel < Channel::Count; ++channel) {
                QCOMPARE(tag.mid(BodyTag::channelPosition(slot, channel) - 1, 2),
                    ValueText::hexPair(scheme.channel(slot, channel)));
            }
        }
        if (const int at = BodyTag::leftMarginPosition(margins))
            QCOMPARE(tag.mid(at - 1, 2), ValueText::marginPair(margins.left()));
        if (const int at = BodyTag::topMarginPosition(margins))
            QCOMPARE(tag.mid(at - 1, 2), ValueText::marginPair(margins.top()));
        QCOMPARE(tag.size(), BodyTag::ColourPartLength + BodyTag::tail(margins).size());
        QVERIFY(tag.startsWith(QLatin1Char('<')) && tag.endsWith(QLatin1Char('>')));
    }
}

void TestScheme::marginClampsAndPreview()
{
    Margins margins;
    for (int i = 0; i < 60; ++i)
        margins.stepLeft(+1);
    for (int i = 0; i < 60; ++i)
        margins.stepTop(-1);
    QCOMPARE(margins.left(), 50);
    QCOMPARE(margins.top(), 0);
    QCOMPARE(ValueText::marginPair(7), QStringLiteral("07"));
    QCOMPARE(ValueText::marginPair(50), QStringLiteral("50"));
}

void TestScheme::colourValuePacksRedGreenBlue()
{
    ColourScheme scheme = ColourScheme::defaults();
    QCOMPARE(scheme.colourValue(Slot::Background), 206u + 256u * 206u + 65536u * 255u);
    QCOMPARE(scheme.colour(Slot::NewLink), QColor(0, 124, 0));
    scheme.setChannel(Slot::Text, Channel::Blue, 15);
    QCOMPARE(scheme.colour(Slot::Text), QColor(0, 85, 15));
}

void TestScheme::contrastRatios_data()
{
    QTest::addColumn<QColor>("fore");
    QTest::addColumn<QColor>("back");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("passesAa");
    QTest::newRow("black on white") << QColor(0, 0, 0) << QColor(255, 255, 255) << "21.00" << true;
    QTest::newRow("white on black, either order") << QColor(255, 255, 255) << QColor(0, 0, 0) << "21.00" << true;
    QTest::newRow("#777777 fails AA") << QColor(0x77, 0x77, 0x77) << QColor(255, 255, 255) << "4.47" << false;
    QTest::newRow("#767676 passes AA") << QColor(0x76, 0x76, 0x76) << QColor(255, 255, 255) << "4.54" << true;
    QTest::newRow("same colour") << QColor(10, 20, 30) << QColor(10, 20, 30) << "1.00" << false;
    const ColourScheme scheme = ColourScheme::defaults();
    const QColor page = scheme.colour(Slot::Background);
    QTest::newRow("default text") << QColor(scheme.colour(Slot::Text)) << page << "4.82" << true;
    QTest::newRow("default new link") << QColor(scheme.colour(Slot::NewLink)) << page << "3.57" << false;
    QTest::newRow("default visited link") << QColor(scheme.colour(Slot::VisitedLink)) << page << "8.44" << true;
    QTest::newRow("default active link") << QColor(scheme.colour(Slot::ActiveLink)) << page << "1.82" << false;
    // Pairs just under a level (found by searching all 8-bit colours) show the figure below it.
    QTest::newRow("4.49999993 is cut, not rounded") << QColor(0x45, 0x83, 0x01) << QColor(0, 0, 0) << "4.49" << false;
    QTest::newRow("a hair under 4.5") << QColor(0x89, 0x8C, 0xB8) << QColor(0x3E, 0x22, 0x17) << "4.49" << false;
    QTest::newRow("a hair under 3") << QColor(0x89, 0xBB, 0x09) << QColor(0x82, 0x12, 0xDB) << "2.99" << false;
    QTest::newRow("a hair under 7") << QColor(0x63, 0xD2, 0xAD) << QColor(0x01, 0x37, 0x40) << "6.99" << true;
}

void TestScheme::contrastRatios()
{
    QFETCH(QColor, fore);
    QFETCH(QColor, back);
    QFETCH(QString, shown);
    QFETCH(bool, passesAa);
    const double ratio = Contrast::ratio(fore, back);
    QCOMPARE(Contrast::ratioText(ratio), shown);
    // The verdict uses the unrounded ratio: 4.478 fails 4.5 even though it is near it.
    QCOMPARE(ratio >= Contrast::AaNormal, passesAa);
    QVERIFY(ratio >= 1.0 && ratio <= 21.0);
    QCOMPARE(Contrast::levelReached(21.0), QStringLiteral("AAA"));
    QCOMPARE(Contrast::levelReached(3.58), QStringLiteral("AA large text only"));
    QCOMPARE(Contrast::levelReached(1.83), QStringLiteral("none"));
}

void TestScheme::contrastFigureNeverOverstates()
{
    // Whatever the pair, the figure is the ratio cut to hundredths: at most the ratio, less than 0.01
    // under it, so a figure at a level's value means the level is reached.
    QRandomGenerator random(11);
    for (int i = 0; i < 20000; ++i) {
        const QColor fore = QColor::fromRgb(random.generate() & 0xFFFFFF);
        const QColor back = QColor::fromRgb(random.generate() & 0xFFFFFF);
        const double ratio = Contrast::ratio(fore, back);
        const QString text = Contrast::ratioText(ratio);
        bool ok = false;
        const double shown = text.toDouble(&ok);
        QVERIFY2(ok && text.size() - text.indexOf(QLatin1Char('.')) == 3, qPrintable(text));
        QVERIFY2(shown <= ratio && ratio - shown < 0.01, qPrintable(QStringLiteral("%1 for %2").arg(text).arg(ratio)));
        for (const double level : {Contrast::AaLarge, Contrast::AaNormal, Contrast::AaaNormal})
            QCOMPARE(shown >= level, ratio >= level);
    }
}

void TestScheme::cssText_data()
{
    QTest::addColumn<bool>("useLeft");
    QTest::addColumn<bool>("useTop");
    QTest::addColumn<QString>("body");
    QTest::newRow("no margins") << false << false << "body { background-color: #CECEFF; color: #0055AA; }\n";
    QTest::newRow("left margin") << true << false
                                 << "body { background-color: #CECEFF; color: #0055AA; margin-left: 7px; }\n";
    QTest::newRow("both margins")
        << true << true << "body { background-color: #CECEFF; color: #0055AA; margin-left: 7px; margin-top: 10px; }\n";
}

void TestScheme::cssText()
{
    QFETCH(bool, useLeft);
    QFETCH(bool, useTop);
    QFETCH(QString, body);
    Margins margins;
    margins.setLeft(7);
    margins.setUseLeft(useLeft);
    margins.setUseTop(useTop);
    QCOMPARE(CssText::compose(ColourScheme::defaults(), margins),
        body
            + QStringLiteral("a:link { color: #007C00; }\na:visited { color: #003C00; }\n"
                             "a:active { color: #00B500; }\n"));
}

QTEST_APPLESS_MAIN(TestScheme)
#include "tst_scheme.moc"
