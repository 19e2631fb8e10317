#include "files/LinkedSheets.h"
#include "web/PageColours.h"
#include "web/ReadingNotes.h"

#include <QColor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <unistd.h>

// The style sheets a page links and imports, read from files with the program's own loader. Where their
// addresses lead, from the cases in data/sheet-addresses.tsv: relative to the page's folder (file: URLs
// too), file://localhost/ on this computer, never the working folder, never past a NUL. How they are
// read, from data/sheet-readings.json: each file once, within the most sheets applied, in cascade order,
// and whenever the reading stops short it says why, in a few lines.
class TestSheetReading : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void addressesLead_data();
    void addressesLead();
    void pagesOfLinksAndImports_data();
    void pagesOfLinksAndImports();
    void aStopEndsAReadingOfManyLinks();
    void notesStayFewWhateverIsAdded();

private:
    QTemporaryDir m_root;
    QTemporaryDir m_elsewhere; // the working folder, with decoys of every name
    QString m_previous;
};

namespace {

void put(const QString& path, const QString& text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}

// A file's text in the data: a string, or a list of strings and [string, count] pairs, one after another.
QString textOf(const QJsonValue& value)
{
    if (value.isString())
        return value.toString();
    QString text;
    for (const QJsonValue& part : value.toArray())
        text += part.isString() ? part.toString() : part[0].toString().repeated(part[1].toInt());
    return text;
}

QString hex(Argb colour)
{
    return QColor(colour).name().toUpper();
}

// Any warning, such as Qt's "Broken filename passed to function", fails the test that caused it.
void failOnWarning(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        QFAIL(qPrintable(QStringLiteral("warning: ") + message));
}

} // namespace

void TestSheetReading::initTestCase()
{
    const QString names = QStringLiteral("site/ok.css|site/ok two.css|site/sub/deep.css|up.css|site/100%.css|"
                                         "site/%zz%2.css|site/A%42.css");
    for (const QString& name : names.split(u'|')) {
        put(m_root.filePath(name), QStringLiteral("/* %1 */").arg(name));
        put(m_elsewhere.filePath(name), QStringLiteral("/* decoy */"));
        put(m_elsewhere.filePath(QFileInfo(name).fileName()), QStringLiteral("/* decoy */"));
    }
    m_previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_elsewhere.filePath(QStringLiteral("site"))));
    qInstallMessageHandler(failOnWarning);
}

void TestSheetReading::cleanupTestCase()
{
    qInstallMessageHandler(nullptr);
    QDir::setCurrent(m_previous);
}

void TestSheetReading::addressesLead_data()
{
    QTest::addColumn<QString>("href");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("expected");
    QFile cases(QFINDTESTDATA("data/sheet-addresses.tsv"));
    QVERIFY(cases.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString root = QDir(m_root.path()).canonicalPath();
    for (int line = 1; !cases.atEnd(); ++line) {
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

void TestSheetReading::addressesLead()
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
    QCOMPARE(place.file, QDir(m_root.path()).canonicalPath() + u'/' + expected);
    // And the file read is that one, not a decoy of the same name.
    const LoadedSheet sheet = LocalSheets::read(place.file);
    QVERIFY2(sheet.text.has_value(), qPrintable(sheet.note));
    QCOMPARE(*sheet.text, QStringLiteral("/* %1 */").arg(expected));
}

void TestSheetReading::pagesOfLinksAndImports_data()
{
    QTest::addColumn<QJsonObject>("entry");
    QFile cases(QFINDTESTDATA("data/sheet-readings.json"));
    QVERIFY(cases.open(QIODevice::ReadOnly));
    const QJsonArray entries = QJsonDocument::fromJson(cases.readAll()).array();
    QVERIFY(!entries.isEmpty());
    for (const QJsonValue& entry : entries)
        QTest::newRow(qPrintable(entry[QLatin1String("name")].toString())) << entry.toObject();
}

void TestSheetReading::pagesOfLinksAndImports()
{
    QFETCH(QJsonObject, entry);
    QTemporaryDir dir;
    const QJsonObject files = entry[QLatin1String("files")].toObject();
    for (auto it = files.begin(); it != files.end(); ++it)
        put(dir.filePath(it.key()), textOf(it.value()));
    const QString pagePath = dir.filePath(QStringLiteral("index.html"));
    const QString page = textOf(files[QLatin1String("index.html")]);

    // The real loader, each file it reads counted.
    QHash<QString, int> reads;
    SheetLoader loader = LocalSheets::loader();
    loader.read = [&reads](const QString& file) {
        ++reads[file];
        return LocalSheets::read(file);
    };
    // Both colour schemes, sharing what they read, as --check reads a page.
    const auto shared = std::make_shared<PageColours::Shared>();
    for (const bool dark : {false, true}) {
        const PageColours colours = PageColours::read(
            page, PageColours::Kind::Page, PageColours::Options{dark, pagePath, loader, {}, shared});
        for (auto it = reads.cbegin(); it != reads.cend(); ++it)
            QVERIFY2(it.value() == 1, qPrintable(QStringLiteral("%1 read %2 times").arg(it.key()).arg(it.value())));
        for (const auto& [field, slot] : {std::pair{"text", Slot::Text}, {"background", Slot::Background}})
            if (entry.contains(QLatin1String(field)))
                QCOMPARE(hex(colours.colours[slot]), entry[QLatin1String(field)].toString());
        QStringList reasons;
        for (const ReadingNotes::Reason reason : colours.shortfalls)
            reasons << ReadingNotes::code(reason);
        QCOMPARE(reasons, entry[QLatin1String("reasons")].toVariant().toStringList());
        // Every note is a shortfall: a reading read in full says nothing.
        QCOMPARE(colours.notes.isEmpty(), reasons.isEmpty());
        const QString notes = colours.notes.join(u'\n');
        for (const QJsonValue& words : entry[QLatin1String("notes")].toArray())
            QVERIFY2(notes.contains(words.toString()), qPrintable(notes));
        if (entry.contains(QLatin1String("lines")))
            QCOMPARE(colours.notes.size(), entry[QLatin1String("lines")].toInt());
        QVERIFY2(colours.notes.size() <= ReadingNotes::MaximumNamed + 1 + 4, qPrintable(notes));
    }
}

// A page of many links to a file of 2 GB (sparse: it takes no room), read on a thread told to stop
// soon after it starts: it ends within half a second, however far it had got.
void TestSheetReading::aStopEndsAReadingOfManyLinks()
{
    QTemporaryDir dir;
    const QString huge = dir.filePath(QStringLiteral("huge.css"));
    put(huge, {});
    QVERIFY(::truncate(QFile::encodeName(huge).constData(), qint64(2) << 30) == 0);
    put(dir.filePath(QStringLiteral("a.css")), QStringLiteral("a { color: red }\n").repeated(20000));
    QString page;
    for (int i = 0; i < 131065; ++i)
        page += i % 2 ? QStringLiteral("<link rel=stylesheet href=huge.css?%1>").arg(i)
                      : QStringLiteral("<link rel=stylesheet href=a.css?%1>").arg(i);
    const QString pagePath = dir.filePath(QStringLiteral("index.html"));
    for (const int after : {0, 20, 200}) {
        std::stop_source stop;
        QElapsedTimer stopped;
        QThread* reader = QThread::create([&] {
            PageColours::read(page, PageColours::Kind::Page,
                PageColours::Options{false, pagePath, LocalSheets::loader(), stop.get_token(), {}});
        });
        reader->start();
        QThread::msleep(after);
        stop.request_stop();
        stopped.start();
        // A hang is a failure, not a wait.
        QVERIFY2(reader->wait(5000), "the reading did not stop");
        QVERIFY2(
            stopped.elapsed() < 500, qPrintable(QStringLiteral("stopped %1 ms after the stop").arg(stopped.elapsed())));
        delete reader;
    }
}

// Thousands of random notes of every reason: a few lines at most, each note said once, and the count
// of those not named is exactly the rest of the distinct notes that name a sheet.
void TestSheetReading::notesStayFewWhateverIsAdded()
{
    QRandomGenerator random(7);
    for (int round = 0; round < 200; ++round) {
        ReadingNotes notes;
        QSet<QString> sheets;
        QSet<QString> fixedAdded;
        QList<ReadingNotes::Reason> reasons;
        const int count = int(random.bounded(2000));
        for (int i = 0; i < count; ++i) {
            const auto reason = ReadingNotes::Reason(random.bounded(4));
            const bool oneSheet = random.bounded(2) == 0;
            const bool namesSheet = oneSheet || reason == ReadingNotes::Reason::SheetNotRead;
            const QString note = namesSheet ? QStringLiteral("sheet %1").arg(random.bounded(300))
                                            : QStringLiteral("fixed %1").arg(int(reason));
            notes.add(reason, note, oneSheet);
            if (namesSheet)
                sheets.insert(note);
            else
                fixedAdded.insert(note);
            if (!reasons.contains(reason))
                reasons.append(reason);
        }
        const QStringList lines = notes.lines();
        QCOMPARE(notes.reasons(), reasons);
        // The notes of the whole reading are always said: here one for each reason.
        QVERIFY(lines.size() <= ReadingNotes::MaximumNamed + 1 + 4);
        for (const ReadingNotes::Reason reason : std::as_const(reasons)) {
            const QString fixed = QStringLiteral("fixed %1").arg(int(reason));
            if (fixedAdded.contains(fixed))
                QVERIFY2(lines.contains(fixed), qPrintable(fixed));
        }
        QCOMPARE(QSet<QString>(lines.begin(), lines.end()).size(), lines.size());
        const qsizetype named = std::min<qsizetype>(sheets.size(), ReadingNotes::MaximumNamed);
        const qsizetype more = sheets.size() - named;
        if (more == 0)
            QVERIFY(!lines.join(u' ').contains(QLatin1String("more style sheet")));
        else
            QVERIFY2(lines.last().startsWith(QString::number(more) + u' '), qPrintable(lines.last()));
    }
}

QTEST_GUILESS_MAIN(TestSheetReading)
#include "tst_sheetreading.moc"
