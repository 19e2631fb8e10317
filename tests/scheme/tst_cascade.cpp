#include "scheme/PageColours.h"

#include <QColor>
#include <QRandomGenerator>
#include <QTest>
#include <functional>
#include <numeric>

// The cascade over real shapes of text: every shape is read in time linear in its length (counted in
// work steps, never in seconds), and layers and importance rank as CSS Cascade 5 ranks them.
class TestCascade : public QObject {
    Q_OBJECT

private slots:
    void hostileShapesStayLinear_data();
    void hostileShapesStayLinear();
    void layersAndImportanceRank();
};

namespace {

using Shape = std::function<QString(int)>;

QString repeated(const QString& text, int count)
{
    return text.repeated(count);
}

QString hex(QRgb rgb)
{
    return QColor(rgb).name().toUpper();
}

} // namespace

void TestCascade::hostileShapesStayLinear_data()
{
    QTest::addColumn<Shape>("shape");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("page");
    QTest::newRow("<rb> repeated") << Shape([](int n) { return repeated(QStringLiteral("<rb>"), n); }) << 4000 << true;
    QTest::newRow("<div></x> repeated") << Shape([](int n) { return repeated(QStringLiteral("<div></x>"), n); }) << 2000
                                        << true;
    QTest::newRow("one class many times") << Shape([](int n) {
        return QStringLiteral("<style>") + repeated(QStringLiteral(".x"), n)
            + QStringLiteral("{color:red}</style><body class=\"") + repeated(QStringLiteral("x "), n)
            + QStringLiteral("\"><a href=y>y</a>");
    }) << 2000 << true;
    QTest::newRow("many nested & rules") << Shape([](int n) {
        return QStringLiteral("body{") + repeated(QStringLiteral("&{color:red}&{}"), n) + QStringLiteral("}");
    }) << 2000 << false;
    QTest::newRow(":has() over a deep tree") << Shape([](int n) {
        return QStringLiteral("<style>") + repeated(QStringLiteral("body:has(div div a) a:has(~ b), :has(> p) "), 8)
            + QStringLiteral("p {color:red}</style>") + repeated(QStringLiteral("<div>"), n)
            + QStringLiteral("<a href=x>x</a>");
    }) << 1000 << true;
    QTest::newRow("var() chain") << Shape([](int n) {
        QString css = QStringLiteral(":root{--v0:red;");
        for (int i = 1; i < n; ++i)
            css += QStringLiteral("--v%1:var(--v%2);").arg(i).arg(i - 1);
        return css + QStringLiteral("} body{color:var(--v%1)}").arg(n - 1);
    }) << 100 << false;
    QTest::newRow("var() fan-out") << Shape([](int n) {
        QString css = QStringLiteral(":root{--v0:red;");
        for (int i = 1; i < n; ++i)
            css += QStringLiteral("--v%1:var(--v%2) var(--v%2);").arg(i).arg(i - 1);
        return css + QStringLiteral("} body{background:var(--v%1, blue)}").arg(n - 1);
    }) << 400 << false;
    QTest::newRow("deep nesting of rules") << Shape([](int n) {
        return repeated(QStringLiteral("a{"), n) + QStringLiteral("color:red") + repeated(QStringLiteral("}"), n);
    }) << 30 << false;
}

// Twice the text takes at most three times the work, and the reading finishes within its allowance.
void TestCascade::hostileShapesStayLinear()
{
    QFETCH(Shape, shape);
    QFETCH(int, size);
    QFETCH(bool, page);
    const auto kind = page ? PageColours::Kind::Page : PageColours::Kind::StyleSheet;
    const PageColours small = PageColours::read(shape(size), kind, {});
    const PageColours large = PageColours::read(shape(size * 2), kind, {});
    QVERIFY2(small.notes.isEmpty() && large.notes.isEmpty(), qPrintable(large.notes.join(u' ')));
    QVERIFY2(large.steps <= 3 * std::max<qint64>(small.steps, 1000),
        qPrintable(QStringLiteral("%1 steps, then %2").arg(small.steps).arg(large.steps)));
}

// Random rules for the body's colour, in random layers declared in a random order, some !important:
// normal declarations rank by layer order with unlayered ones last, important ones the other way round,
// and within a rank the later declaration wins.
void TestCascade::layersAndImportanceRank()
{
    QRandomGenerator random(26);
    for (int run = 0; run < 400; ++run) {
        const int layers = random.bounded(1, 5);
        QList<int> order(layers); // the layer each rank has
        std::iota(order.begin(), order.end(), 0);
        std::shuffle(order.begin(), order.end(), random);
        QStringList names;
        for (const int layer : std::as_const(order))
            names << QStringLiteral("l%1").arg(layer);
        QString css = QStringLiteral("@layer ") + names.join(QStringLiteral(", ")) + QStringLiteral(";\n");
        std::tuple<int, int, int> best{-1, 0, 0}; // important, rank, order
        int winner = -1;
        const int rules = random.bounded(1, 9);
        for (int rule = 0; rule < rules; ++rule) {
            const int layer = random.bounded(-1, layers); // -1: unlayered
            const bool important = random.bounded(3) == 0;
            const QString declaration = QStringLiteral("body { color: #0000%1%2 }")
                                            .arg(rule + 1, 2, 10, QLatin1Char('0'))
                                            .arg(important ? QStringLiteral(" !important") : QString());
            css += layer < 0 ? declaration + u'\n' : QStringLiteral("@layer l%1 { %2 }\n").arg(layer).arg(declaration);
            const int rank = layer < 0 ? layers : int(order.indexOf(layer));
            const std::tuple<int, int, int> key{important, important ? layers - rank : rank, rule};
            if (key > best) {
                best = key;
                winner = rule + 1;
            }
        }
        const PageColours colours = PageColours::read(css, PageColours::Kind::StyleSheet, {});
        QVERIFY2(hex(colours.colours[Slot::Text]) == QStringLiteral("#0000%1").arg(winner, 2, 10, QLatin1Char('0')),
            qPrintable(css));
    }
}

QTEST_GUILESS_MAIN(TestCascade)
#include "tst_cascade.moc"
