#include "assist/ColourVision.h"
#include "colour/ColourScheme.h"

#include <QTest>
#include <cmath>

using ColourVision::Deficiency;
Q_DECLARE_METATYPE(ColourVision::Deficiency)

namespace {

using Matrix = std::array<std::array<double, 3>, 3>;

// Typed again here from the published severity-1.0 table (Machado, Oliveira and Fernandes 2009), so a
// slip in either copy shows.
const Matrix Protan{
    {{0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216}, {-0.003882, -0.048116, 1.051998}}};
const Matrix Deutan{{{0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413}, {-0.011820, 0.042940, 0.968881}}};
const Matrix Tritan{
    {{1.255528, -0.076749, -0.178779}, {-0.078411, 0.930809, 0.147602}, {0.004733, 0.691367, 0.303900}}};

// sRGB transfer written out from its definition, independently of the program's.
double toLinear(int value)
{
    const double v = value / 255.0;
    if (v > 0.04045)
        return std::pow((v + 0.055) / 1.055, 2.4);
    return v / 12.92;
}

int toByte(double linear)
{
    if (linear <= 0.0)
        return 0;
    if (linear >= 1.0)
        return 255;
    const double v = linear > 0.0031308 ? 1.055 * std::pow(linear, 1 / 2.4) - 0.055 : linear * 12.92;
    return static_cast<int>(std::floor(v * 255.0 + 0.5));
}

QColor expected(Deficiency deficiency, const QColor& colour)
{
    const double r = toLinear(colour.red());
    const double g = toLinear(colour.green());
    const double b = toLinear(colour.blue());
    const Matrix* m = nullptr;
    switch (deficiency) {
    case Deficiency::Protanopia:
        m = &Protan;
        break;
    case Deficiency::Deuteranopia:
        m = &Deutan;
        break;
    case Deficiency::Tritanopia:
        m = &Tritan;
        break;
    case Deficiency::Achromatopsia: {
        const int y = toByte(0.2126 * r + 0.7152 * g + 0.0722 * b);
        return QColor(y, y, y);
    }
    case Deficiency::Normal:
        return colour;
    }
    const auto row = [&](int i) { return toByte((*m)[i][0] * r + (*m)[i][1] * g + (*m)[i][2] * b); };
    return QColor(row(0), row(1), row(2));
}

} // namespace

class TestColourVision : public QObject {
    Q_OBJECT
private slots:
    void knownColours_data();
    void knownColours();
    void greysStayGrey_data();
    void greysStayGrey();
    void wholeSchemeIsSimulatedSlotBySlot();
    void namesForTheUser();
};

void TestColourVision::knownColours_data()
{
    QTest::addColumn<Deficiency>("deficiency");
    QTest::addColumn<QColor>("colour");
    // Pure primaries pick out one column of each matrix; the others mix all of it.
    const QList<QColor> colours{QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255), QColor(0xCE, 0xCE, 0xFF),
        QColor(0x00, 0x55, 0xAA), QColor(0x00, 0x7C, 0x00), QColor(255, 255, 0), QColor(3, 1, 2)};
    for (const Deficiency deficiency : ColourVision::All) {
        for (const QColor& colour : colours) {
            QTest::addRow("%s %s", qPrintable(ColourVision::displayName(deficiency)), qPrintable(colour.name()))
                << deficiency << colour;
        }
    }
}

void TestColourVision::knownColours()
{
    QFETCH(Deficiency, deficiency);
    QFETCH(QColor, colour);
    QCOMPARE(ColourVision::simulate(deficiency, colour).name(), expected(deficiency, colour).name());
}

void TestColourVision::greysStayGrey_data()
{
    QTest::addColumn<Deficiency>("deficiency");
    for (const Deficiency deficiency : ColourVision::All)
        QTest::newRow(qPrintable(ColourVision::displayName(deficiency))) << deficiency;
}

void TestColourVision::greysStayGrey()
{
    // Every row of each matrix sums to 1 within the table's rounding, and a grey has equal
    // luminance to itself: all 256 greys come back unchanged.
    QFETCH(Deficiency, deficiency);
    for (int v = 0; v < 256; ++v)
        QCOMPARE(ColourVision::simulate(deficiency, QColor(v, v, v)), QColor(v, v, v));
}

void TestColourVision::wholeSchemeIsSimulatedSlotBySlot()
{
    const ColourScheme scheme = ColourScheme::defaults();
    for (const Deficiency deficiency : ColourVision::All) {
        const ColourScheme seen = ColourVision::simulate(deficiency, scheme);
        for (int slot = 0; slot < Slot::Count; ++slot)
            QCOMPARE(seen.colour(slot).name(), expected(deficiency, scheme.colour(slot)).name());
    }
}

void TestColourVision::namesForTheUser()
{
    QStringList names;
    for (const Deficiency deficiency : ColourVision::All)
        names << ColourVision::displayName(deficiency);
    QCOMPARE(names, QStringList({"Normal Vision", "Protanopia", "Deuteranopia", "Tritanopia", "Achromatopsia"}));
}

QTEST_GUILESS_MAIN(TestColourVision)
#include "tst_colourvision.moc"
