#include "colour/Apca.h"

#include <QFile>
#include <QTest>

class TestApca : public QObject {
    Q_OBJECT
private slots:
    void publishedExamples_data();
    void publishedExamples();
    void independentPairs();
};

void TestApca::publishedExamples_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("background");
    QTest::addColumn<double>("lc");
    // The reference's own keystone values: they exercise every constant and both polarities; #123 on
    // #444 sits just above the low-contrast clip. (Its list also gives #234 on #444 as -7.53, a pair
    // whose raw contrast, 0.07 either way round, the published formula clips to 0.)
    QTest::newRow("#888 on #fff") << "#888888"
                                  << "#ffffff" << 63.056469930209424;
    QTest::newRow("#fff on #888") << "#ffffff"
                                  << "#888888" << -68.54146436644962;
    QTest::newRow("#000 on #aaa") << "#000000"
                                  << "#aaaaaa" << 58.146262578561334;
    QTest::newRow("#aaa on #000") << "#aaaaaa"
                                  << "#000000" << -56.24113336839742;
    QTest::newRow("#123 on #def") << "#112233"
                                  << "#ddeeff" << 91.66830811481631;
    QTest::newRow("#def on #123") << "#ddeeff"
                                  << "#112233" << -93.06770049484275;
    QTest::newRow("#123 on #444") << "#112233"
                                  << "#444444" << 8.32326136957393;
    // The program's default text on its default page: AA by WCAG 2, short of Lc 60.
    QTest::newRow("default text") << "#0055aa"
                                  << "#ceceff" << 58.4;
}

void TestApca::publishedExamples()
{
    QFETCH(QString, text);
    QFETCH(QString, background);
    QFETCH(double, lc);
    QVERIFY2(std::abs(Apca::lightnessContrast(QColor(text), QColor(background)) - lc) < 0.05,
        qPrintable(QString::number(Apca::lightnessContrast(QColor(text), QColor(background)))));
}

void TestApca::independentPairs()
{
    // Pairs worked out by data/apca_pairs.py, an implementation of its own.
    QFile file(qEnvironmentVariable("HUELOOM_TEST_SOURCE_DIR") + QStringLiteral("/colour/data/apca_pairs.tsv"));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    int pairs = 0;
    int clipped = 0;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QStringLiteral("# ")))
            continue;
        const QStringList fields = line.split(QLatin1Char('\t'));
        QCOMPARE(fields.size(), 3);
        const double expected = fields[2].toDouble();
        const double lc = Apca::lightnessContrast(QColor(fields[0]), QColor(fields[1]));
        QVERIFY2(std::abs(lc - expected) < 0.1, qPrintable(line + QStringLiteral(": ") + QString::number(lc)));
        // Zero exactly where the reference clips, never a small figure of either sign.
        QCOMPARE(lc == 0.0, expected == 0.0);
        ++pairs;
        clipped += expected == 0.0 ? 1 : 0;
    }
    QCOMPARE(pairs, 400);
    QVERIFY(clipped > 10);
}

QTEST_GUILESS_MAIN(TestApca)
#include "tst_apca.moc"
