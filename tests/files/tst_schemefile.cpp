#include "app/MainWindow.h"
#include "files/ReadFile.h"
#include "files/SchemeFile.h"
#include "settings/SettingsStore.h"
#include "support/ChildProcess.h"
#include "support/ScriptedDialogs.h"
#include "support/TestApp.h"
#include "support/WindowProbe.h"
#include "support/WindowTestCase.h"

#include <QAction>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

ColourScheme filled(int value)
{
    ColourScheme scheme;
    for (int field = 0; field < ColourScheme::ValueCount; ++field)
        scheme.setValue(field, static_cast<qint16>(value));
    return scheme;
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

const QByteArray DefaultLine = "206,206,255,0,85,170,0,124,0,0,60,0,0,181,0\r\n";
const QByteArray OtherLine = "1,2,3,40,50,60,7,8,9,100,110,120,13,14,15\r\n";

} // namespace

class TestSchemeFile : public WindowTestCase {
    Q_OBJECT
private slots:
    void formatIsByteExact();
    void accepted_data();
    void accepted();
    void refused_data();
    void refused();
    void readingIsBounded();
    void failedWriteKeepsTheOldFile();
    void writeErrorsLeaveNoTrace_data();
    void writeErrorsLeaveNoTrace();
    void fullDiskKeepsTheOldScheme();
    void specialFilesAreRefusedAtOnce_data();
    void specialFilesAreRefusedAtOnce();
    void staleTemporariesOfSavesGoAndNothingElse_data();
    void staleTemporariesOfSavesGoAndNothingElse();
    void savesSyncBeforeAndAfterTheRename();

    void saveWritesTheSchemeOnScreen();
    void saveFailureMessageDependsOnTheTrigger();
    void cancelWritesNothing();
    void openLoadsEveryColourIntoSampleBarsAndTag();
    void refusedFilesChangeNothing_data();
    void refusedFilesChangeNothing();
    void bothDialogsOfferTheLastPath();
    void openSaysTheSystemsReason_data();
    void openSaysTheSystemsReason();
};

void TestSchemeFile::formatIsByteExact()
{
    QCOMPARE(SchemeFile::format(ColourScheme::defaults()), DefaultLine);
    QCOMPARE(SchemeFile::format(ColourScheme::defaults()).size(), 45);
    QCOMPARE(SchemeFile::format(filled(0)).size(), 31);
    QCOMPARE(SchemeFile::format(filled(255)).size(), 61);
    QCOMPARE(SchemeFile::parse(SchemeFile::format(filled(255))), filled(255));
}

void TestSchemeFile::accepted_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("the program's own line") << DefaultLine;
    QTest::newRow("no line end") << DefaultLine.chopped(2);
    QTest::newRow("one value per line") << QByteArray(
        "206\r\n206\r\n255\r\n0\r\n85\r\n170\r\n0\r\n124\r\n0\r\n0\r\n60\r\n0\r\n0\r\n181\r\n0\r\n");
    QTest::newRow("LF and CR line ends") << QByteArray("206,206,255\n0,85,170\r0,124,0\n0,60,0\r\n0,181,0");
    QTest::newRow("blanks, tabs and blank lines")
        << QByteArray("\n\n 206 ,\t206, 255\r\n\r\n0 , 85,170,0,124,0,\n\n0,60,0,0,181, 0 \n\n");
    QTest::newRow("more than fifteen values") << QByteArray("206,206,255,0,85,170,0,124,0,0,60,0,0,181,0,99,98\r\n");
    QTest::newRow("anything after the fifteenth")
        << QByteArray("206,206,255,0,85,170,0,124,0,0,60,0,0,181,0 junk \x01\xff");
    QTest::newRow("leading zeros") << QByteArray("0206,206,255,000,85,170,0,124,0,0,60,0,0,181,00");
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF") + DefaultLine;
}

void TestSchemeFile::accepted()
{
    QFETCH(QByteArray, data);
    const auto scheme = SchemeFile::parse(data);
    QVERIFY(scheme);
    QCOMPARE(*scheme, ColourScheme::defaults());
    QCOMPARE(SchemeFile::problem(data), QString());
}

void TestSchemeFile::refused_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("only line ends") << QByteArray("\r\n\r\n");
    QTest::newRow("ten values") << QByteArray("1,2,3,4,5,6,7,8,9,10\r\n");
    QTest::newRow("fourteen values") << QByteArray("1,2,3,4,5,6,7,8,9,10,11,12,13,14,\r\n");
    QTest::newRow("256") << QByteArray("256,206,255,0,85,170,0,124,0,0,60,0,0,181,0");
    QTest::newRow("huge number") << QByteArray("99999999999999999999,0,0,0,0,0,0,0,0,0,0,0,0,0,0");
    QTest::newRow("minus one") << QByteArray("-1,206,255,0,85,170,0,124,0,0,60,0,0,181,0");
    QTest::newRow("plus sign") << QByteArray("+1,206,255,0,85,170,0,124,0,0,60,0,0,181,0");
    QTest::newRow("fraction") << QByteArray("1.5,206,255,0,85,170,0,124,0,0,60,0,0,181,0");
    QTest::newRow("fraction last") << QByteArray("206,206,255,0,85,170,0,124,0,0,60,0,0,181,0.5");
    QTest::newRow("text") << QByteArray("red,green,blue\r\n");
    QTest::newRow("digits then text") << QByteArray("12abc,206,255,0,85,170,0,124,0,0,60,0,0,181,0");
    QTest::newRow("empty field") << QByteArray("206,,206,255,0,85,170,0,124,0,0,60,0,0,181,0");
    QTest::newRow("leading comma") << QByteArray(",206,206,255,0,85,170,0,124,0,0,60,0,0,181,0");
    QTest::newRow("values split by blanks only") << QByteArray("206 206 255 0 85 170 0 124 0 0 60 0 0 181 0");
    QTest::newRow("quoted") << QByteArray("\"206\",206,255,0,85,170,0,124,0,0,60,0,0,181,0");
    QTest::newRow("binary junk") << QByteArray("\x00\x01\x02\xff\xfe,\x00\x00", 8);
    QTest::newRow("NUL inside a value") << QByteArray("20\x00"
                                                      "6,206,255,0,85,170,0,124,0,0,60,0,0,181,0",
        43);
}

void TestSchemeFile::refused()
{
    QFETCH(QByteArray, data);
    QVERIFY(!SchemeFile::parse(data));
    // The reason given names the line of a value at fault, or says the values ran out.
    const QString why = SchemeFile::problem(data);
    QVERIFY2(why.contains(QLatin1String("line ")) || why.contains(QLatin1String("values")), qPrintable(why));
}

void TestSchemeFile::readingIsBounded()
{
    // Values past the read limit are never reached.
    const QString late = m_dir->filePath(QStringLiteral("late.hlm"));
    put(late, QByteArray(SchemeFile::ReadLimit + 10, ' ') + DefaultLine);
    QVERIFY(!SchemeFile::read(late));

    // A good line followed by a lot of anything is fine.
    const QString long_ = m_dir->filePath(QStringLiteral("long.hlm"));
    put(long_, DefaultLine + QByteArray(4 * SchemeFile::ReadLimit, 'x'));
    QCOMPARE(SchemeFile::read(long_), ColourScheme::defaults());

    // The fifteenth value cut off by the limit does not count as read.
    const QByteArray head = "206,206,255,0,85,170,0,124,0,0,60,0,0,181,";
    QByteArray cut = QByteArray(SchemeFile::ReadLimit - head.size() - 1, '\n') + head + "25";
    const QString boundary = m_dir->filePath(QStringLiteral("boundary.hlm"));
    put(boundary, cut + "5\r\n");
    QVERIFY(!SchemeFile::read(boundary));

    QVERIFY(!SchemeFile::read(m_dir->path()));
    QVERIFY(!SchemeFile::read(m_dir->filePath(QStringLiteral("missing.hlm"))));
}

void TestSchemeFile::failedWriteKeepsTheOldFile()
{
    QVERIFY(!SchemeFile::write(QStringLiteral("/proc/hueloom/x.hlm"), ColourScheme::defaults()));
    QVERIFY(!SchemeFile::write(QStringLiteral("/proc/self/hueloom.hlm"), ColourScheme::defaults()));
    // A device is never replaced by a file, even for root.
    QVERIFY(!SchemeFile::write(QStringLiteral("/dev/null"), ColourScheme::defaults()));
    QVERIFY(QFileInfo(QStringLiteral("/dev/null")).exists());
    QVERIFY(!QFileInfo(QStringLiteral("/dev/null")).isFile());
    QString error;
    QVERIFY(!SchemeFile::write(m_dir->filePath(QStringLiteral("gone/x.hlm")), ColourScheme::defaults(), &error));
    QVERIFY(!error.isEmpty());

    // Writing over a folder fails, and the folder and its content stay.
    const QString folder = m_dir->filePath(QStringLiteral("folder.hlm"));
    QVERIFY(QDir().mkpath(folder));
    put(folder + QStringLiteral("/inside"), "kept");
    QVERIFY(!SchemeFile::write(folder, ColourScheme::defaults()));
    QCOMPARE(contents(folder + QStringLiteral("/inside")), QByteArray("kept"));
}

void TestSchemeFile::writeErrorsLeaveNoTrace_data()
{
    // A file size limit makes every write past it fail with EFBIG, as a full disk fails with ENOSPC.
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("replacing");
    QTest::newRow("nothing fits, new name") << 0 << false;
    QTest::newRow("nothing fits, over a scheme") << 0 << true;
    QTest::newRow("part fits, new name") << 20 << false;
    QTest::newRow("part fits, over a scheme") << 20 << true;
}

void TestSchemeFile::writeErrorsLeaveNoTrace()
{
    QFETCH(int, limit);
    QFETCH(bool, replacing);
    const QString path = m_dir->filePath(QStringLiteral("scheme.HLM"));
    if (replacing)
        put(path, OtherLine);
    const int status = inChild([&] {
        const rlimit size{rlim_t(limit), RLIM_INFINITY};
        std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &size);
        QString error;
        return SchemeFile::write(path, ColourScheme::defaults(), &error) ? 1 : error.isEmpty() ? 2 : 0;
    });
    QCOMPARE(status, 0);
    QCOMPARE(entries(m_dir->path()), replacing ? QStringList{"scheme.HLM"} : QStringList());
    if (replacing)
        QCOMPARE(contents(path), OtherLine);

    // The window's Save reports it with the save message.
    const rlimit before = [] {
        rlimit now{};
        getrlimit(RLIMIT_FSIZE, &now);
        return now;
    }();
    const auto restore = qScopeGuard([&] {
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, SIG_DFL);
    });
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit size{rlim_t(limit), before.rlim_max};
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &size), 0);
    m_dialogs->answerFile(path);
    m_window->findChild<QAction*>(QStringLiteral("ItemSave"))->trigger();
    QCOMPARE(m_dialogs->messages.size(), 1);
    QVERIFY(m_dialogs->messages.first().startsWith(QStringLiteral("There was an error saving your file.")));
    QCOMPARE(entries(m_dir->path()), replacing ? QStringList{"scheme.HLM"} : QStringList());
}

void TestSchemeFile::fullDiskKeepsTheOldScheme()
{
    if (geteuid() != 0)
        QSKIP("mounting a small file system needs root");
    const QString disk = m_dir->filePath(QStringLiteral("disk"));
    QVERIFY(QDir().mkpath(disk));
    if (mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", 0, "size=16k") != 0)
        QSKIP("tmpfs cannot be mounted here");
    const auto unmount = qScopeGuard([&] { umount2(QFile::encodeName(disk).constData(), MNT_DETACH); });
    const QString old = disk + QStringLiteral("/old.HLM");
    QVERIFY(SchemeFile::write(old, filled(255)));
    QFile filler(disk + QStringLiteral("/filler"));
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (filler.write(QByteArray(512, 'x')) > 0) { }
    filler.close();

    QVERIFY(!SchemeFile::write(old, ColourScheme::defaults()));
    QVERIFY(!SchemeFile::write(disk + QStringLiteral("/new.HLM"), ColourScheme::defaults()));
    m_dialogs->answerFile(old);
    m_window->findChild<QAction*>(QStringLiteral("ItemSave"))->trigger();
    QCOMPARE(m_dialogs->messages.size(), 1);
    QCOMPARE(contents(old), SchemeFile::format(filled(255)));
    QCOMPARE(entries(disk), (QStringList{"filler", "old.HLM"}));
}

void TestSchemeFile::specialFilesAreRefusedAtOnce_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("FIFO with no writer") << "fifo";
    QTest::newRow("link to a FIFO") << "link";
    QTest::newRow("pipe that never ends, as /dev/stdin") << "pipe";
    QTest::newRow("socket") << "socket";
    QTest::newRow("device") << "device";
    QTest::newRow("FIFO put in the file's place just before the open") << "swapped";
}

void TestSchemeFile::specialFilesAreRefusedAtOnce()
{
    QFETCH(QString, kind);
    QString path = m_dir->filePath(QStringLiteral("special.hlm"));
    const QByteArray name = QFile::encodeName(path);
    int ends[2] = {-1, -1};
    const auto closePipe = qScopeGuard([&] {
        for (const int end : ends)
            if (end >= 0)
                ::close(end);
    });
    if (kind == QLatin1String("fifo") || kind == QLatin1String("link")) {
        QCOMPARE(mkfifo(name.constData(), 0600), 0);
        if (kind == QLatin1String("link")) {
            path = m_dir->filePath(QStringLiteral("link.hlm"));
            QVERIFY(QFile::link(QFile::decodeName(name), path));
        }
    } else if (kind == QLatin1String("pipe")) {
        // A writer that never writes: reading would wait for ever.
        QCOMPARE(pipe(ends), 0);
        path = QStringLiteral("/proc/self/fd/%1").arg(ends[0]);
    } else if (kind == QLatin1String("socket")) {
        const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, name.constData(), sizeof address.sun_path);
        QCOMPARE(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        QCOMPARE(listen(listener, 1), 0);
        ends[0] = listener;
    } else if (kind == QLatin1String("swapped")) {
        put(path, DefaultLine);
        ReadFile::setOpenHook([](const QByteArray& encoded) {
            ::unlink(encoded.constData());
            ::mkfifo(encoded.constData(), 0600);
        });
    } else {
        path = QStringLiteral("/dev/zero");
    }
    const auto noHook = qScopeGuard([] { ReadFile::setOpenHook({}); });
    // 0: refused at once; 1: read as a scheme; -1: still waiting when the alarm went off.
    QCOMPARE(inChild([&] { return SchemeFile::read(path) ? 1 : 0; }), 0);
}

void TestSchemeFile::staleTemporariesOfSavesGoAndNothingElse_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("ageSeconds");
    QTest::addColumn<bool>("removed");
    QTest::newRow("the scheme's own, old") << "sea.hlm.qWeRtY" << 3600 << true;
    QTest::newRow("another scheme's, old") << "other.HLM.ABC123" << 120 << true;
    QTest::newRow("another scheme's, too new") << "other.hlm.ABC123" << 5 << false;
    QTest::newRow("a backup") << "sea.hlm.backup" << 3600 << false;
    QTest::newRow("not a scheme's") << "notes.txt.qWeRtY" << 3600 << false;
    QTest::newRow("seven letters") << "sea.hlm.qWeRtYu" << 3600 << false;
    QTest::newRow("punctuation") << "sea.hlm.qW-RtY" << 3600 << false;
    QTest::newRow("a bare suffix") << ".hlm.qWeRtY" << 3600 << false;
    QTest::newRow("a link") << "link" << 3600 << false;
}

// A save killed between writing its new file and the rename leaves "NAME.hlm.XXXXXX" for good. The next
// save in that folder removes such files; a save still running (a young file), a link, and anything not
// named as the saver names them stay.
void TestSchemeFile::staleTemporariesOfSavesGoAndNothingElse()
{
    QFETCH(QString, name);
    QFETCH(int, ageSeconds);
    QFETCH(bool, removed);
    QString path = m_dir->filePath(name);
    if (name == QLatin1String("link")) {
        put(m_dir->filePath(QStringLiteral("target")), "kept");
        path = m_dir->filePath(QStringLiteral("link.hlm.qWeRtY"));
        QVERIFY(QFile::link(m_dir->filePath(QStringLiteral("target")), path));
    } else {
        put(path, "half a save");
    }
    const timespec old[2] = {{::time(nullptr) - ageSeconds, 0}, {::time(nullptr) - ageSeconds, 0}};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), old, AT_SYMLINK_NOFOLLOW), 0);

    const QString scheme = m_dir->filePath(QStringLiteral("sea.hlm"));
    QVERIFY(SchemeFile::write(scheme, filled(3)));
    QCOMPARE(QFileInfo::exists(path) || QFileInfo(path).isSymLink(), !removed);
    QCOMPARE(contents(scheme), SchemeFile::format(filled(3)));
    if (name == QLatin1String("link"))
        QCOMPARE(contents(m_dir->filePath(QStringLiteral("target"))), QByteArray("kept"));
}

// Both kinds of save, seen from outside by strace: the new file's data is synced before the rename that
// puts it in place, and the folder is synced after it, so a power cut keeps the old file or the new one.
void TestSchemeFile::savesSyncBeforeAndAfterTheRename()
{
    const QString folder = qEnvironmentVariable("HUELOOM_TRACED_SAVE");
    if (!folder.isEmpty()) {
        // The traced run: each kind of save twice, once making the file and once replacing it.
        for (int round = 0; round < 2; ++round) {
            QVERIFY(SchemeFile::write(folder + QStringLiteral("/sea.hlm"), filled(round)));
            QVERIFY(SettingsStore(folder + QStringLiteral("/hueloom.ini"))
                        .write(QStringLiteral("HLM"), QStringLiteral("Settings"), QStringLiteral("TitleText"),
                            QString::number(round)));
        }
        return;
    }
    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    if (strace.isEmpty())
        QSKIP("strace is not installed");
    const QString log = m_dir->filePath(QStringLiteral("trace"));
    QProcess traced;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HUELOOM_TRACED_SAVE"), m_dir->path());
    traced.setProcessEnvironment(environment);
    traced.start(strace,
        {QStringLiteral("-f"), QStringLiteral("-o"), log, QStringLiteral("-e"),
            QStringLiteral("trace=openat,fdatasync,fsync,rename,renameat,renameat2,link,linkat"),
            QCoreApplication::applicationFilePath(), QStringLiteral("savesSyncBeforeAndAfterTheRename")});
    QVERIFY(traced.waitForFinished(60000));
    if (traced.exitCode() != 0 && traced.readAllStandardError().contains("ptrace"))
        QSKIP("strace cannot trace here");
    QCOMPARE(traced.exitCode(), 0);
    QVERIFY(QFileInfo::exists(m_dir->filePath(QStringLiteral("hueloom.ini"))));

    const QList<QByteArray> calls = contents(log).split('\n');
    const QByteArray folderName = '"' + QFile::encodeName(m_dir->path()) + '"';
    // A new file is put in place by a link, a replacing one by a rename; either way its data comes first.
    for (const char* target : {"/sea.hlm\"", "/hueloom.ini\""}) {
        int placements = 0;
        for (qsizetype placed = 0; placed < calls.size(); ++placed) {
            const QByteArray& call = calls.at(placed);
            if (!(call.contains("rename") || call.contains("link")) || !call.contains(target) || !call.contains("= 0"))
                continue;
            ++placements;
            // The last sync before it is the new file's data.
            qsizetype synced = placed - 1;
            while (synced >= 0 && !calls.at(synced).contains("sync("))
                --synced;
            QVERIFY2(synced >= 0 && calls.at(synced).contains("fdatasync(") && calls.at(synced).contains("= 0"),
                call.constData());
            // After it, the folder is opened and synced.
            qsizetype opened = placed + 1;
            while (opened < calls.size()
                && !(calls.at(opened).contains("O_DIRECTORY") && calls.at(opened).contains(folderName)))
                ++opened;
            QVERIFY2(opened < calls.size(), call.constData());
            const QByteArray descriptor = calls.at(opened).mid(calls.at(opened).lastIndexOf('=') + 1).trimmed();
            bool folderSynced = false;
            for (qsizetype i = opened + 1; i < calls.size() && !folderSynced; ++i)
                folderSynced = calls.at(i).contains("fsync(" + descriptor + ")") && calls.at(i).contains("= 0");
            QVERIFY2(folderSynced, call.constData());
        }
        QVERIFY2(placements == 2, target);
    }
}

void TestSchemeFile::saveWritesTheSchemeOnScreen()
{
    const QString path = m_dir->filePath(QStringLiteral("default.HLM"));
    m_dialogs->answerFile(path);
    m_window->findChild<QAction*>(QStringLiteral("ItemSave"))->trigger();
    QCOMPARE(contents(path), DefaultLine);
    QVERIFY(m_dialogs->messages.isEmpty());
    const FileDialogRequest& request = m_dialogs->fileRequests.first();
    QCOMPARE(request.title, QStringLiteral("Hueloom Save File Dialog"));
    QCOMPARE(request.filter, QStringLiteral("Schemes(*.HLM)|*.HLM|ALL_FIles(*.*)|*.*"));
    QCOMPARE(request.filterIndex, 1);
    QCOMPARE(request.defaultExtension, QStringLiteral("*.HLM"));
    QCOMPARE(request.flags, 0x8806u);

    // Unsaved edits on screen are what is saved, through the button too.
    QTest::mouseClick(m_probe->option(4), Qt::LeftButton);
    m_probe->bar(2)->setValue(255);
    const QString edited = m_dir->filePath(QStringLiteral("edited.HLM"));
    m_dialogs->answerFile(edited);
    QTest::mouseClick(m_probe->child<QPushButton>(QStringLiteral("Command3")), Qt::LeftButton);
    QCOMPARE(contents(edited), QByteArray("206,206,255,0,85,170,0,124,0,0,60,0,0,181,255\r\n"));
}

void TestSchemeFile::saveFailureMessageDependsOnTheTrigger()
{
    // The folder disappears between the dialog and the write.
    const QString folder = m_dir->filePath(QStringLiteral("vanishing"));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(QDir(folder).removeRecursively());
    m_dialogs->answerFile(folder + QStringLiteral("/scheme.HLM"));
    QTest::mouseClick(m_probe->child<QPushButton>(QStringLiteral("Command3")), Qt::LeftButton);
    // An existing file under /proc cannot be replaced; it stays as it was.
    m_dialogs->answerFile(QStringLiteral("/proc/self/comm"));
    const QByteArray comm = contents(QStringLiteral("/proc/self/comm"));
    m_window->findChild<QAction*>(QStringLiteral("ItemSave"))->trigger();
    QCOMPARE(contents(QStringLiteral("/proc/self/comm")), comm);

    QCOMPARE(m_dialogs->messages.size(), 2);
    QCOMPARE(m_dialogs->messageCaptions, (QStringList{"Hueloom", "Hueloom"}));
    QVERIFY(m_dialogs->messages.at(0).contains(
        QStringLiteral("email that information to the author to the email address found in the about box.")));
    QVERIFY(m_dialogs->messages.at(1).contains(
        QStringLiteral("email that information to the author at the email address found in the about box.")));
    QVERIFY(m_dialogs->messages.at(0).startsWith(QStringLiteral("There was an error saving your file.  Please try")));
    QVERIFY(m_dialogs->messages.at(0).contains(QStringLiteral("occuring")));
    QCOMPARE(m_window->scheme(), ColourScheme::defaults());
}

void TestSchemeFile::cancelWritesNothing()
{
    const QString path = m_dir->filePath(QStringLiteral("kept.HLM"));
    m_dialogs->answerFile(path);
    m_window->findChild<QAction*>(QStringLiteral("ItemSave"))->trigger();
    put(path, "unchanged");
    m_probe->bar(0)->setValue(1);
    m_dialogs->answerCancel();
    m_window->findChild<QAction*>(QStringLiteral("ItemSave"))->trigger();
    QCOMPARE(contents(path), QByteArray("unchanged"));
    m_dialogs->answerCancel();
    const QString tag = m_probe->taglineText();
    m_window->findChild<QAction*>(QStringLiteral("ItemOpen"))->trigger();
    QCOMPARE(m_probe->taglineText(), tag);
    QVERIFY(m_dialogs->messages.isEmpty());
}

void TestSchemeFile::openLoadsEveryColourIntoSampleBarsAndTag()
{
    const QString path = m_dir->filePath(QStringLiteral("other.hlm"));
    put(path, OtherLine);
    QTest::mouseClick(m_probe->option(3), Qt::LeftButton);
    QTest::mouseClick(m_probe->box(0), Qt::LeftButton);
    m_dialogs->answerFile(path);
    QTest::mouseClick(m_probe->child<QPushButton>(QStringLiteral("Command1")), Qt::LeftButton);
    QCOMPARE(m_window->selectedSlot(), 0);
    QCOMPARE(m_probe->bars(), (QList<int>{1, 2, 3}));
    QCOMPARE(m_probe->valueTexts(), (QStringList{" 1", " 2", " 3"}));
    QCOMPARE(m_probe->fore(QStringLiteral("visitedlink")), QColor(100, 110, 120));
    QCOMPARE(m_probe->taglineText(),
        QStringLiteral(
            R"(<BODY BGCOLOR="#010203" TEXT="#28323C" LINK="#070809" VLINK="#646E78" ALINK="#0D0E0F" LEFTMARGIN="10">)"));
    QCOMPARE(m_probe->brokenInvariant(), QString());
    QCOMPARE(m_dialogs->fileRequests.first().title, QStringLiteral("Hueloom Open File Dialog"));
    QCOMPARE(m_dialogs->fileRequests.first().flags, 0x8804u);

    // Saving and opening it again, with another slot selected, shows the same scheme.
    const QString again = m_dir->filePath(QStringLiteral("again.hlm"));
    m_dialogs->answerFile(again);
    m_window->findChild<QAction*>(QStringLiteral("ItemSave"))->trigger();
    QCOMPARE(contents(again), OtherLine);
    QTest::mouseClick(m_probe->option(2), Qt::LeftButton);
    m_dialogs->answerFile(again);
    m_window->findChild<QAction*>(QStringLiteral("ItemOpen"))->trigger();
    QCOMPARE(m_window->selectedSlot(), 0);
    QCOMPARE(m_probe->brokenInvariant(), QString());
}

void TestSchemeFile::refusedFilesChangeNothing_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("kind");
    QTest::newRow("empty") << QByteArray() << "file";
    QTest::newRow("ten values") << QByteArray("1,2,3,4,5,6,7,8,9,10\r\n") << "file";
    QTest::newRow("256") << QByteArray("1,2,3,4,5,6,7,8,9,10,11,12,13,14,256\r\n") << "file";
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 11) << "file";
    QTest::newRow("a folder") << QByteArray() << "folder";
    QTest::newRow("a name that does not exist") << QByteArray() << "missing";
}

void TestSchemeFile::refusedFilesChangeNothing()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, kind);
    QTest::mouseClick(m_probe->option(1), Qt::LeftButton);
    m_probe->bar(0)->setValue(77);
    m_probe->tagline()->setPlainText(QStringLiteral("typed by the user"));
    const ColourScheme scheme = m_window->scheme();
    const QList<int> bars = m_probe->bars();
    const QStringList labels = m_probe->valueTexts();
    const QString tag = m_window->tag().text();
    const QColor text = m_probe->fore(QStringLiteral("Normal"));

    QString path = m_dir->filePath(QStringLiteral("bad.hlm"));
    if (kind == QLatin1String("file"))
        put(path, data);
    else if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(path));
    m_dialogs->answerFile(path);
    m_window->findChild<QAction*>(QStringLiteral("ItemOpen"))->trigger();

    QCOMPARE(m_dialogs->messages,
        QStringList{
            "There was an error opening your file.  Please make sure that it is a Hueloom file and try again."});
    QCOMPARE(m_window->scheme(), scheme);
    QCOMPARE(m_window->selectedSlot(), 1);
    QCOMPARE(m_probe->bars(), bars);
    QCOMPARE(m_probe->valueTexts(), labels);
    QCOMPARE(m_window->tag().text(), tag);
    QCOMPARE(m_probe->taglineText(), QStringLiteral("typed by the user"));
    QCOMPARE(m_probe->fore(QStringLiteral("Normal")), text);
}

void TestSchemeFile::bothDialogsOfferTheLastPath()
{
    const QString path = m_dir->filePath(QStringLiteral("remembered.HLM"));
    m_dialogs->answerFile(path);
    m_window->findChild<QAction*>(QStringLiteral("ItemSave"))->trigger();
    m_dialogs->answerCancel();
    m_window->findChild<QAction*>(QStringLiteral("ItemOpen"))->trigger();
    m_dialogs->answerCancel();
    m_window->findChild<QAction*>(QStringLiteral("ItemSave"))->trigger();
    QCOMPARE(m_dialogs->fileRequests.at(0).fileName, QString());
    QCOMPARE(m_dialogs->fileRequests.at(1).fileName, path);
    QCOMPARE(m_dialogs->fileRequests.at(2).fileName, path);
}

void TestSchemeFile::openSaysTheSystemsReason_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("unreadable") << "mode 000"
                                << "Permission denied";
    QTest::newRow("a link to itself") << "loop"
                                      << "Too many levels of symbolic links";
    QTest::newRow("gone") << "missing"
                          << "No such file or directory";
}

// A file that cannot be opened is not "not a Hueloom file": the message keeps its words and says why
// below them. Root reads any file, so the unreadable one is opened as nobody for the moment.
void TestSchemeFile::openSaysTheSystemsReason()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    const QString path = m_dir->filePath(QStringLiteral("closed.hlm"));
    if (kind == QLatin1String("mode 000")) {
        put(path, DefaultLine);
        QVERIFY(QFile::setPermissions(path, {}));
    } else if (kind == QLatin1String("loop")) {
        QVERIFY(QFile::link(path, path));
    }
    const ColourScheme before = m_window->scheme();
    m_dialogs->answerFile(path);
    {
        const bool asNobody = ::geteuid() == 0 && kind == QLatin1String("mode 000");
        if (asNobody)
            QVERIFY(::setegid(65534) == 0 && ::seteuid(65534) == 0);
        const auto back = qScopeGuard([&] {
            if (asNobody && !(::seteuid(0) == 0 && ::setegid(0) == 0))
                qFatal("could not become root again");
        });
        m_window->findChild<QAction*>(QStringLiteral("ItemOpen"))->trigger();
    }
    QCOMPARE(m_dialogs->messages,
        QStringList{
            "There was an error opening your file.  Please make sure that it is a Hueloom file and try again."});
    // The line below names the file as well as the system's reason.
    QCOMPARE(m_dialogs->messageReasons.size(), 1);
    QVERIFY2(m_dialogs->messageReasons.first().contains(reason), qPrintable(m_dialogs->messageReasons.first()));
    QVERIFY2(m_dialogs->messageReasons.first().contains(path), qPrintable(m_dialogs->messageReasons.first()));
    QCOMPARE(m_window->scheme(), before);
}

HUELOOM_TEST_MAIN(TestSchemeFile)
#include "tst_schemefile.moc"
