#include "cli/ContrastCommand.h"
#include "files/PrintableText.h"
#include "files/ReadFile.h"
#include "support/ChildProcess.h"
#include "support/LineOrder.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QByteArray Page = "<body bgcolor=white text=black link=#0000EE vlink=#551A8B alink=#EE0000>";

} // namespace

class TestReadFile : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { ReadFile::setOpenHook({}); }
    void fifoSwappedInIsRefusedAtOnce_data();
    void fifoSwappedInIsRefusedAtOnce();
    void readsAtMostTheLimitAndKnowsTheEnd();
    void systemReasonIsSaid();
    void controlCharactersAreEscaped_data();
    void controlCharactersAreEscaped();
    void forgedNameCannotForgeAReportLine();
    void windowTextsKeepTheirOrder();
};

void TestReadFile::fifoSwappedInIsRefusedAtOnce_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("page") << "page.html";
    QTest::newRow("style sheet") << "colours.css";
    QTest::newRow("scheme") << "sea.hlm";
}

// Every look at the name finds an ordinary file; the FIFO takes its place just before the open. A
// blocking open would wait for a writer for ever.
void TestReadFile::fifoSwappedInIsRefusedAtOnce()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    put(path, Page);
    ReadFile::setOpenHook([](const QByteArray& encoded) {
        ::unlink(encoded.constData());
        ::mkfifo(encoded.constData(), 0600);
    });
    const int status = inChild([&] {
        ContrastCommand::Options options;
        options.schemes << QFile::encodeName(path);
        const ContrastCommand::Result result = ContrastCommand::check(options);
        return result.status == ContrastCommand::BadInput && result.notes.contains(QLatin1String("cannot read")) ? 0
                                                                                                                 : 1;
    });
    QCOMPARE(status, 0);
    struct stat info = {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
    QVERIFY(S_ISFIFO(info.st_mode));
}

// Whatever the sizes, the data is the file's first bytes, and `complete` says exactly whether that was all.
void TestReadFile::readsAtMostTheLimitAndKnowsTheEnd()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data"));
    QRandomGenerator random(7);
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(random.bounded(3000), '\0');
        for (char& c : bytes)
            c = static_cast<char>(random.bounded(256));
        put(path, bytes);
        const qsizetype limit = random.bounded(1, 3000);
        const ReadFile::Result result = ReadFile::read(path, limit);
        QVERIFY(result.ok());
        QCOMPARE(result.data, bytes.left(limit));
        QCOMPARE(result.complete, bytes.size() <= limit);
        QCOMPARE(result.size, bytes.size());
    }
    // Standard input, whose size is not known ahead: its buffer grows as the bytes come.
    const int kept = ::dup(STDIN_FILENO);
    for (const qsizetype size : {0, 1, 65535, 65536, 65537, 300000}) {
        QByteArray bytes(size, 'x');
        put(path, bytes);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        ::dup2(file.handle(), STDIN_FILENO);
        const qsizetype limit = size == 300000 ? 200000 : size + 1;
        const ReadFile::Result result = ReadFile::readStandardInput(limit);
        QCOMPARE(result.data, bytes.left(limit));
        QCOMPARE(result.complete, size < limit);
    }
    ::dup2(kept, STDIN_FILENO);
    ::close(kept);
}

void TestReadFile::systemReasonIsSaid()
{
    QTemporaryDir dir;
    QCOMPARE(
        ReadFile::read(dir.filePath(QStringLiteral("none")), 10).reason(), QStringLiteral("No such file or directory"));
    QCOMPARE(ReadFile::read(dir.path(), 10).reason(), QStringLiteral("Not an ordinary file"));
    const QString loop = dir.filePath(QStringLiteral("loop.hlm"));
    QVERIFY(QFile::link(loop, loop));
    QCOMPARE(ReadFile::read(loop, 10).reason(), QStringLiteral("Too many levels of symbolic links"));
}

void TestReadFile::controlCharactersAreEscaped_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("printed");
    QTest::newRow("plain") << "Sea blue.hlm"
                           << "Sea blue.hlm";
    QTest::newRow("non-ASCII kept") << u"Bleu café 日本.hlm"_qs << u"Bleu café 日本.hlm"_qs;
    QTest::newRow("line end") << "x\n  text: 21.00:1, Lc 106.0, pass\ny.hlm"
                              << "x\\n  text: 21.00:1, Lc 106.0, pass\\ny.hlm";
    QTest::newRow("return and tab") << "a\rb\tc"
                                    << "a\\rb\\tc";
    QTest::newRow("escape sequence") << "\x1b[2Jred"
                                     << "\\x1B[2Jred";
    QTest::newRow("NUL, DEL and C1") << QString::fromUtf16(u"a\u0000b\u007F\u009Bc", 6) << "a\\x00b\\x7F\\x9Bc";
    QTest::newRow("backslash cannot forge an escape") << "a\\nb"
                                                      << "a\\\\nb";
    QTest::newRow("bidirectional override") << u"a\u202Eb\u2028c"_qs << "a\\u{202E}b\\u{2028}c";
}

void TestReadFile::controlCharactersAreEscaped()
{
    QFETCH(QString, text);
    QFETCH(QString, printed);
    const QString shown = PrintableText::escaped(text);
    QCOMPARE(shown, printed);
    for (const QChar c : shown)
        QVERIFY(c.unicode() >= 0x20 && c.unicode() != 0x7F);
}

// A file named so that its name holds a passing report line: the text report keeps the name on one line,
// and a missing file's message too.
void TestReadFile::forgedNameCannotForgeAReportLine()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x\n  text: 21.00:1, Lc 106.0, pass\ny.hlm"));
    put(path, "206,206,255,0,85,170,0,124,0,0,60,0,0,181,0\r\n");
    ContrastCommand::Options options;
    options.schemes << QFile::encodeName(path) << QFile::encodeName(path + QStringLiteral("\nmissing"));
    const ContrastCommand::Result result = ContrastCommand::check(options);
    QVERIFY(!result.output.contains(QLatin1String("\n  text: 21.00:1")));
    QVERIFY(result.output.contains(QLatin1String("x\\n  text: 21.00:1, Lc 106.0, pass\\ny.hlm (AA)")));
    QCOMPARE(result.notes.count(u'\n'), 1);
    QVERIFY(result.notes.contains(QLatin1String("y.hlm\\nmissing: no such file")));
}

// Thousands of texts of controls, overrides, backslashes and letters, as the window shows them: nothing
// that reorders a line or breaks it is left, a message keeps its own line breaks, showing is done once
// (what is shown shows as it is), and without backslashes a name reads as the command line prints it.
void TestReadFile::windowTextsKeepTheirOrder()
{
    static const QString pool
        = QStringLiteral("aZ9 \\\n\r\t\x01\x1b\x7f\u0085\u009b\u061c\u200e\u200f\u2028\u2029"
                         "\u202a\u202b\u202c\u202d\u202e\u2066\u2067\u2068\u2069\u05d0\u0627\u00e9");
    QRandomGenerator random(20261210);
    for (int i = 0; i < 5000; ++i) {
        QString text;
        for (int length = random.bounded(16); length > 0; --length)
            text += pool.at(random.bounded(pool.size()));
        const QString name = PrintableText::shown(text);
        const QString message = PrintableText::shown(text, PrintableText::LineEnds::Kept);
        for (const QString& shown : {name, message})
            for (const QChar c : shown)
                QVERIFY2(keepsLineOrder(c), qPrintable(PrintableText::escaped(text)));
        QVERIFY(!name.contains(u'\n'));
        QCOMPARE(message.count(u'\n'), text.count(u'\n'));
        QCOMPARE(PrintableText::shown(name), name);
        QCOMPARE(PrintableText::shown(message, PrintableText::LineEnds::Kept), message);
        if (!text.contains(u'\\'))
            QCOMPARE(name, PrintableText::escaped(text));
    }
}

QTEST_GUILESS_MAIN(TestReadFile)
#include "tst_readfile.moc"
