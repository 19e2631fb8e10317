#include "files/LinkedSheets.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Where the addresses of linked and imported style sheets lead, from the cases in
// data/sheet-addresses.tsv: relative to the page's folder (file: URLs too), file://localhost/ on this
// computer, never the working folder, never past a NUL.
class TestLinkedSheets : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void addressesLead_data();
    void addressesLead();

private:
    QTemporaryDir m_root;
    QTemporaryDir m_elsewhere; // the working folder, with decoys of every name
    QString m_previous;
};

namespace {

void put(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

// Any warning, such as Qt's "Broken filename passed to function", fails the test that caused it.
void failOnWarning(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        QFAIL(qPrintable(QStringLiteral("warning: ") + message));
}

} // namespace

void TestLinkedSheets::initTestCase()
{
    for (const QString& name : {QStringLiteral("site/ok.css"), QStringLiteral("site/ok two.css"),
             QStringLiteral("site/sub/deep.css"), QStringLiteral("up.css")}) {
        put(m_root.filePath(name), "/* " + name.toUtf8() + " */");
        put(m_elsewhere.filePath(name), "/* decoy */");
        put(m_elsewhere.filePath(QFileInfo(name).fileName()), "/* decoy */");
    }
    m_previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_elsewhere.filePath(QStringLiteral("site"))));
    qInstallMessageHandler(failOnWarning);
}

void TestLinkedSheets::cleanupTestCase()
{
    qInstallMessageHandler(nullptr);
    QDir::setCurrent(m_previous);
}

void TestLinkedSheets::addressesLead_data()
{
    QTest::addColumn<QString>("href");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("expected");
    QFile cases(QFINDTESTDATA("data/sheet-addresses.tsv"));
    QVERIFY(cases.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString root = QDir(m_root.path()).canonicalPath();
    int line = 0;
    while (!cases.atEnd()) {
        ++line;
        const QString text = QString::fromUtf8(cases.readLine()).chopped(1);
        if (text.isEmpty() || text.startsWith(u'#'))
            continue;
        const QStringList fields = text.split(u'\t');
        QVERIFY2(fields.size() == 3, qPrintable(QStringLiteral("line %1: %2").arg(line).arg(text)));
        const QString from = fields[1] == QLatin1String("-") ? QString() : root + u'/' + fields[1];
        QTest::addRow("%d: %s from %s", line, qPrintable(fields[0]), qPrintable(fields[1]))
            << QString(fields[0]).replace(QLatin1String("ROOT"), root) << from << fields[2];
    }
}

void TestLinkedSheets::addressesLead()
{
    QFETCH(QString, href);
    QFETCH(QString, from);
    QFETCH(QString, expected);
    const SheetPlace place = LocalSheets::locate(href, from);
    if (expected.startsWith(QLatin1String("refused: "))) {
        QVERIFY2(place.file.isEmpty(), qPrintable(place.file));
        QVERIFY2(place.note.contains(expected.mid(9)), qPrintable(place.note));
        return;
    }
    QVERIFY2(place.note.isEmpty(), qPrintable(place.note));
    const QString root = QDir(m_root.path()).canonicalPath();
    QCOMPARE(place.file, root + u'/' + expected);
    // And the file read is that one, not a decoy of the same name.
    const LoadedSheet sheet = LocalSheets::read(place.file);
    QVERIFY2(sheet.text.has_value(), qPrintable(sheet.note));
    QCOMPARE(*sheet.text, QStringLiteral("/* %1 */").arg(expected));
}

QTEST_GUILESS_MAIN(TestLinkedSheets)
#include "tst_linkedsheets.moc"
