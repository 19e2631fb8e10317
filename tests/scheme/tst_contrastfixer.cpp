#include "scheme/ColorScheme.h"
#include "scheme/ContrastFixer.h"

#include <QRandomGenerator>
#include <QTest>
#include <cmath>
#include <numbers>
#include <vector>

using ContrastFixer::Target;
Q_DECLARE_METATYPE(ContrastFixer::Target)

namespace {

// The checks below use their own luminance, ratio and Oklab (by way of CIE XYZ), so a fault in the
// program's versions cannot hide behind a shared helper.
double channelLight(double v)
{
    return v > 0.04045 ? std::pow((v + 0.055) / 1.055, 2.4) : v / 12.92;
}

double relativeLuminance(const QColor& c)
{
    return 0.2126 * channelLight(c.redF()) + 0.7152 * channelLight(c.greenF()) + 0.0722 * channelLight(c.blueF());
}

double contrast(double y1, double y2)
{
    return y1 > y2 ? (y1 + 0.05) / (y2 + 0.05) : (y2 + 0.05) / (y1 + 0.05);
}

struct Lab {
    double L, a, b;
    double chroma() const { return std::sqrt(a * a + b * b); }
    double hue() const { return std::atan2(b, a); }
};

Lab toOklab(const QColor& c)
{
    const double r = channelLight(c.redF()), g = channelLight(c.greenF()), b = channelLight(c.blueF());
    const double x = 0.4124564 * r + 0.3575761 * g + 0.1804375 * b;
    const double y = 0.2126729 * r + 0.7151522 * g + 0.0721750 * b;
    const double z = 0.0193339 * r + 0.1191920 * g + 0.9503041 * b;
    const double l = std::cbrt(0.8189330101 * x + 0.3618667424 * y - 0.1288597137 * z);
    const double m = std::cbrt(0.0329845436 * x + 0.9293118715 * y + 0.0361456387 * z);
    const double s = std::cbrt(0.0482003018 * x + 0.2643662691 * y + 0.6338517070 * z);
    return {0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
        1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s, 0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s};
}

double oklabDistance(const QColor& x, const QColor& y)
{
    const Lab p = toOklab(x), q = toOklab(y);
    return std::sqrt((p.L - q.L) * (p.L - q.L) + (p.a - q.a) * (p.a - q.a) + (p.b - q.b) * (p.b - q.b));
}

double hueTurnDegrees(const Lab& x, const Lab& y)
{
    double turn = std::abs(x.hue() - y.hue());
    if (turn > std::numbers::pi)
        turn = 2 * std::numbers::pi - turn;
    return turn * 180.0 / std::numbers::pi;
}

constexpr int Links[] = {Slot::NewLink, Slot::VisitedLink, Slot::ActiveLink};
constexpr int Foreground[] = {Slot::Text, Slot::NewLink, Slot::VisitedLink, Slot::ActiveLink};

void setColour(ColorScheme& scheme, int slot, const QColor& c)
{
    scheme.setChannel(slot, Channel::Red, static_cast<qint16>(c.red()));
    scheme.setChannel(slot, Channel::Green, static_cast<qint16>(c.green()));
    scheme.setChannel(slot, Channel::Blue, static_cast<qint16>(c.blue()));
}

QColor randomColour(QRandomGenerator& random, int kind)
{
    const auto channel = [&](int low, int high) { return low + static_cast<int>(random.bounded(high - low + 1)); };
    switch (kind) {
    case 1: { // near-grey: hue barely defined
        const int v = channel(0, 255);
        return QColor(std::clamp(v + channel(-6, 6), 0, 255), std::clamp(v + channel(-6, 6), 0, 255),
            std::clamp(v + channel(-6, 6), 0, 255));
    }
    case 2: { // grey
        const int v = channel(0, 255);
        return QColor(v, v, v);
    }
    default:
        return QColor(channel(0, 255), channel(0, 255), channel(0, 255));
    }
}

// Every colour a slot could take by lightness alone, on a grid of 1/128, and the colour itself.
struct Options {
    std::vector<QColor> colours;
    std::vector<double> luminances;
    std::vector<double> costs;
};

Options optionsFor(const QColor& original)
{
    Options options;
    const auto add = [&](const QColor& c) {
        options.colours.push_back(c);
        options.luminances.push_back(relativeLuminance(c));
        options.costs.push_back(oklabDistance(c, original));
    };
    add(original);
    for (int k = 0; k <= 128; ++k) {
        const QColor c = ContrastFixer::atLightness(original, k / 128.0);
        if (c.isValid())
            add(c);
    }
    return options;
}

// The least total cost (Oklab distance) of text and link options on a background of luminance
// `back`, by trying every text option; infinity when none meets the rules.
double bruteForce(const std::vector<Options>& fore, double back, double needed, bool apart)
{
    double best = std::numeric_limits<double>::infinity();
    const Options& text = fore[0];
    for (std::size_t t = 0; t < text.colours.size(); ++t) {
        if (contrast(text.luminances[t], back) < needed)
            continue;
        double total = text.costs[t];
        for (std::size_t i = 1; i < fore.size() && total < best; ++i) {
            double cheapest = std::numeric_limits<double>::infinity();
            for (std::size_t k = 0; k < fore[i].colours.size(); ++k) {
                if (contrast(fore[i].luminances[k], back) >= needed
                    && (!apart || contrast(fore[i].luminances[k], text.luminances[t]) >= 3.0))
                    cheapest = std::min(cheapest, fore[i].costs[k]);
            }
            total += cheapest;
        }
        best = std::min(best, total);
    }
    return best;
}

} // namespace

class TestContrastFixer : public QObject {
    Q_OBJECT
private slots:
    void randomSchemes_data();
    void randomSchemes();
    void knownSchemes_data();
    void knownSchemes();
};

void TestContrastFixer::randomSchemes_data()
{
    QTest::addColumn<Target>("target");
    QTest::addColumn<bool>("underlined");
    QTest::newRow("AA, links not underlined") << Target::AA << false;
    QTest::newRow("AA, links underlined") << Target::AA << true;
    QTest::newRow("AAA, links not underlined") << Target::AAA << false;
    QTest::newRow("AAA, links underlined") << Target::AAA << true;
}

void TestContrastFixer::randomSchemes()
{
    QFETCH(Target, target);
    QFETCH(bool, underlined);
    const double needed = target == Target::AAA ? 7.0 : 4.5;
    const bool apart = !underlined;
    // With 7:1 against the page, no two 8-bit colours both reach it and stand 3:1 apart (that needs a
    // luminance of exactly 0.1 or 0.3 beside black or white), so that case meets the page rules only.
    const bool solvable = !(target == Target::AAA && apart);
    QRandomGenerator random(1400 + static_cast<int>(target) * 2 + (underlined ? 1 : 0));

    int moved = 0;
    // Sanitizer builds run a tenth of the schemes (they are many times slower), as CTest tells them.
    const int schemes
        = qEnvironmentVariableIsSet("HUELOOM_SCHEMES") ? qEnvironmentVariableIntValue("HUELOOM_SCHEMES") : 2000;
    const int searched = schemes * 150 / 2000;
    for (int n = 0; n < schemes; ++n) {
        ColorScheme scheme;
        for (int slot = 0; slot < Slot::Count; ++slot)
            setColour(scheme, slot, randomColour(random, static_cast<int>(random.bounded(4))));
        const ContrastFixer::Proposal p = ContrastFixer::propose(scheme, target, underlined);
        const ColorScheme& s = p.scheme;
        const QString where = QStringLiteral("scheme %1: %2").arg(n).arg([&] {
            QStringList names;
            for (int slot = 0; slot < Slot::Count; ++slot)
                names << scheme.colour(slot).name();
            return names.join(QLatin1Char(' '));
        }());
        QVERIFY2(p.solved == solvable, qPrintable(where));

        // Every rule, by the independent ratio, on the rounded colours.
        const double back = relativeLuminance(s.colour(Slot::Background));
        const double text = relativeLuminance(s.colour(Slot::Text));
        for (int slot : Foreground)
            QVERIFY2(contrast(relativeLuminance(s.colour(slot)), back) >= needed, qPrintable(where));
        if (apart && solvable) {
            for (int slot : Links)
                QVERIFY2(contrast(relativeLuminance(s.colour(slot)), text) >= 3.0, qPrintable(where));
        }

        // Hue holds wherever there is colour to hold it.
        for (int slot = 0; slot < Slot::Count; ++slot) {
            const Lab before = toOklab(scheme.colour(slot));
            const Lab after = toOklab(s.colour(slot));
            if (s.colour(slot) != scheme.colour(slot) && after.chroma() > 0.02)
                QVERIFY2(
                    hueTurnDegrees(before, after) <= 2.0, qPrintable(where + QStringLiteral(" slot %1").arg(slot)));
        }

        // A colour that already meets its rules against the proposed others stays exactly.
        QCOMPARE(p.backgroundMoved, s.colour(Slot::Background) != scheme.colour(Slot::Background));
        for (int slot : Foreground) {
            const double y = relativeLuminance(scheme.colour(slot));
            bool fine = contrast(y, back) >= needed;
            if (apart && solvable && slot == Slot::Text) {
                for (int link : Links)
                    fine = fine && contrast(y, relativeLuminance(s.colour(link))) >= 3.0;
            } else if (apart && solvable) {
                fine = fine && contrast(y, text) >= 3.0;
            }
            if (fine)
                QVERIFY2(
                    s.colour(slot) == scheme.colour(slot), qPrintable(where + QStringLiteral(" slot %1").arg(slot)));
        }

        std::vector<Options> fore;
        const bool checkSearch = p.backgroundMoved || n < searched;
        if (checkSearch) {
            for (int slot : Foreground)
                fore.push_back(optionsFor(scheme.colour(slot)));
        }
        const bool rulesApart = apart && solvable;
        if (p.backgroundMoved) {
            // Moving the background is the last resort: nothing on the grid works with it.
            ++moved;
            const double original = relativeLuminance(scheme.colour(Slot::Background));
            QVERIFY2(std::isinf(bruteForce(fore, original, needed, rulesApart)), qPrintable(where));
            // ... and it moves the least: no background on the grid nearer in lightness has a solution.
            if (moved <= 25) {
                const QColor from = scheme.colour(Slot::Background);
                const double shift = std::abs(toOklab(s.colour(Slot::Background)).L - toOklab(from).L);
                for (int k = 0; k <= 128; ++k) {
                    const QColor nearer = ContrastFixer::atLightness(from, k / 128.0);
                    if (nearer.isValid() && std::abs(toOklab(nearer).L - toOklab(from).L) < shift - 1e-3) {
                        QVERIFY2(std::isinf(bruteForce(fore, relativeLuminance(nearer), needed, rulesApart)),
                            qPrintable(where + QStringLiteral(": nearer background ") + nearer.name()));
                    }
                }
            }
        }
        if (n < searched) {
            // The least total change: nothing on the grid does better on the proposed background.
            double total = 0.0;
            for (int slot : Foreground)
                total += oklabDistance(s.colour(slot), scheme.colour(slot));
            QVERIFY2(total <= bruteForce(fore, back, needed, rulesApart) + 1e-6, qPrintable(where));
        }
    }
    qInfo("%d of %d proposals moved the background", moved, schemes);
}

void TestContrastFixer::knownSchemes_data()
{
    QTest::addColumn<QStringList>("colours");
    QTest::addColumn<Target>("target");
    QTest::addColumn<bool>("underlined");
    QTest::addColumn<bool>("backgroundMoves");
    QTest::addColumn<QString>("unchanged"); // slot digits that must stay exactly

    const QStringList defaults{"#ceceff", "#0055aa", "#007c00", "#003c00", "#00b500"};
    QTest::newRow("default, AA underlined: text and visited link already pass")
        << defaults << Target::AA << true << false << "013";
    QTest::newRow("default, AA not underlined: only the text can make room")
        << defaults << Target::AA << false << false << "0";
    const QStringList blackOnWhite{"#ffffff", "#000000", "#000000", "#000000", "#000000"};
    QTest::newRow("black on white, AAA underlined") << blackOnWhite << Target::AAA << true << false << "01234";
    const QStringList plain{"#ffffff", "#000000", "#0000ee", "#551a8b", "#ee0000"};
    QTest::newRow("browser colours, AA underlined") << plain << Target::AA << true << false << "01234";
    QTest::newRow("browser colours, AA not underlined: blue and purple too close to black text")
        << plain << Target::AA << false << false << "014";
    const QStringList grey{"#808080", "#000000", "#000000", "#000000", "#000000"};
    QTest::newRow("mid-grey, AA underlined: black text passes") << grey << Target::AA << true << false << "01234";
    QTest::newRow("mid-grey, AA not underlined: no room for both; one text move beats three link moves")
        << grey << Target::AA << false << true << "234";
    const QStringList darkGrey{"#777777", "#000000", "#ffffff", "#ffffff", "#ffffff"};
    QTest::newRow("#777777, AAA: neither black nor white reaches 7:1; lighter is the shorter way")
        << darkGrey << Target::AAA << true << true << "1";
}

void TestContrastFixer::knownSchemes()
{
    QFETCH(QStringList, colours);
    QFETCH(Target, target);
    QFETCH(bool, underlined);
    QFETCH(bool, backgroundMoves);
    QFETCH(QString, unchanged);
    ColorScheme scheme;
    for (int slot = 0; slot < Slot::Count; ++slot)
        setColour(scheme, slot, QColor(colours.at(slot)));
    const ContrastFixer::Proposal p = ContrastFixer::propose(scheme, target, underlined);
    QVERIFY(p.solved);
    QCOMPARE(p.backgroundMoved, backgroundMoves);
    for (int slot = 0; slot < Slot::Count; ++slot) {
        const bool same = p.scheme.colour(slot) == scheme.colour(slot);
        QCOMPARE(same, unchanged.contains(QString::number(slot)));
    }
    if (backgroundMoves)
        QVERIFY(p.backgroundShift != 0.0);
}

QTEST_GUILESS_MAIN(TestContrastFixer)
#include "tst_contrastfixer.moc"
