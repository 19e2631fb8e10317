#include "files/RecentNames.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>

class TestRecentNames : public QObject {
    Q_OBJECT
private slots:
    void examples_data();
    void examples();
    void namesTellEveryFileApart();
};

void TestRecentNames::examples_data()
{
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("different names") << QStringList{"/home/a/site/one.hlm", "/home/a/two.hlm"}
                                     << QStringList{"one.hlm", "two.hlm"};
    QTest::newRow("same name, parents differ") << QStringList{"/home/a/work/s.hlm", "/home/a/play/s.hlm",
        "/home/a/x.hlm"} << QStringList{"s.hlm (work)", "s.hlm (play)", "x.hlm"};
    QTest::newRow("same name, same parent name") << QStringList{"/srv/one/site/s.hlm", "/srv/two/site/s.hlm"}
                                                 << QStringList{"s.hlm (one/site)", "s.hlm (two/site)"};
    QTest::newRow("one folder ends another")
        << QStringList{"/site/s.hlm", "/old/site/s.hlm"} << QStringList{"s.hlm (/site)", "s.hlm (old/site)"};
}

void TestRecentNames::examples()
{
    QFETCH(QStringList, paths);
    QFETCH(QStringList, shown);
    QCOMPARE(RecentNames::shown(paths), shown);
}

void TestRecentNames::namesTellEveryFileApart()
{
    // Few names and folders, so that names clash often and folders share their ends.
    QRandomGenerator random(5);
    const QStringList parts{"a", "b", "site", "a b"};
    for (int round = 0; round < 5000; ++round) {
        QSet<QString> unique;
        const int count = 1 + random.bounded(5);
        while (unique.size() < count) {
            QString path;
            for (int depth = random.bounded(4); depth >= 0; --depth)
                path += QLatin1Char('/') + parts.at(random.bounded(parts.size()));
            unique.insert(path + QStringLiteral("/s%1.hlm").arg(random.bounded(2)));
        }
        const QStringList paths = unique.values();
        const QStringList shown = RecentNames::shown(paths);
        QCOMPARE(QSet<QString>(shown.cbegin(), shown.cend()).size(), paths.size());
        for (qsizetype i = 0; i < paths.size(); ++i) {
            const QString name = QFileInfo(paths.at(i)).fileName();
            QVERIFY(shown.at(i) == name || shown.at(i).startsWith(name + QStringLiteral(" (")));
            // What is shown of the folder is its end.
            if (shown.at(i) != name)
                QVERIFY2(QFileInfo(paths.at(i)).path().endsWith(shown.at(i).sliced(name.size() + 2).chopped(1)),
                    qPrintable(shown.at(i)));
        }
    }
}

QTEST_GUILESS_MAIN(TestRecentNames)
#include "tst_recentnames.moc"
