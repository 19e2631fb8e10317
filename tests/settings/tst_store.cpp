#include "files/LeftoverFiles.h"
#include "settings/RecentSchemes.h"
#include "settings/SettingsStore.h"
#include "settings/StoredTitle.h"
#include "support/StoreProbe.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QStringList dataLines(const QString& name)
{
    QFile file(qEnvironmentVariable("HUELOOM_TEST_SOURCE_DIR") + QStringLiteral("/settings/data/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing test data");
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

// A text of any characters an INI line has to escape, and some it need not.
QString randomText(QRandomGenerator& random)
{
    static const QString pool = QStringLiteral("aZ09 ,;=\"\\@%/\t\n\r\x01#[]\u00fc\u65e5\U0001F600x");
    QString text;
    const int length = random.bounded(12);
    for (int i = 0; i < length; ++i) {
        const qsizetype at = random.bounded(pool.size());
        // A surrogate pair is one character.
        if (pool.at(at).isHighSurrogate())
            text += pool.mid(at, 2);
        else if (!pool.at(at).isLowSurrogate())
            text += pool.at(at);
    }
    return text;
}

// Runs `work` in a child process and returns how it ended (waitpid's status).
int inChild(const std::function<void()>& work)
{
    const pid_t child = ::fork();
    if (child == 0) {
        work();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

void put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Makes `path` look `seconds` old.
void age(const QString& path, int seconds)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-seconds), QFileDevice::FileModificationTime));
}

QStringList temporariesBeside(const QString& path)
{
    QStringList found;
    for (const QString& name : QFileInfo(path).absoluteDir().entryList(QDir::Files))
        if (LeftoverFiles::isTemporaryOf(name, QFileInfo(path).fileName()))
            found << name;
    return found;
}

} // namespace

class TestStore : public QObject {
    Q_OBJECT
private slots:
    void init();
    void textsReadBackByQSettingsAndBack();
    void killedAtEveryStepLosesNothing();
    void twoInstancesInterleavedKeepBothLists();
    void twoWritersAtFullSpeedNeverFail();
    void aWriterSlowToNameItsLockKeepsIt();
    void excessKeysGoAndOthersStay();
    void unwritableStoreKeepsTheSessionList();
    void onlyOwnTemporariesAreRemoved();
    void onlyDeadWritersLeftoversAreRemoved_data();
    void onlyDeadWritersLeftoversAreRemoved();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

void TestStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_path = m_dir->filePath(QStringLiteral("hueloom.ini"));
}

// Differential: what the store writes, QSettings reads as the same text, and the other way round.
void TestStore::textsReadBackByQSettingsAndBack()
{
    QRandomGenerator random(17);
    QStringList texts = dataLines(QStringLiteral("texts.txt"));
    for (int i = 0; i < 400; ++i)
        texts << randomText(random);
    for (int i = 0; i < texts.size(); ++i) {
        const QString path = m_dir->filePath(QStringLiteral("round%1.ini").arg(i));
        const QString text = texts.at(i);
        SettingsStore store(path);
        QVERIFY(store.write(QStringLiteral("HLM"), QStringLiteral("Recent Schemes"), QStringLiteral("File1"), text));
        QSettings settings(path, QSettings::IniFormat);
        QCOMPARE(settings.value(QStringLiteral("HLM/Recent Schemes/File1")).toString(), text);
        const QString other = m_dir->filePath(QStringLiteral("back%1.ini").arg(i));
        {
            QSettings writer(other, QSettings::IniFormat);
            writer.setValue(QStringLiteral("HLM/Settings/TitleText"), text);
        }
        const SettingsStore::Entries read
            = SettingsStore(other).readSection(QStringLiteral("hlm"), QStringLiteral("SETTINGS"));
        QCOMPARE(read.size(), 1);
        QCOMPARE(read.first().second, text);
    }
}

// A counted SIGKILL: the writer dies at its n-th step, for every n until it gets through. Each time the
// file is the old one or the new one, nothing stored earlier is gone, and the next change takes over
// the dead writer's lock and removes its temporary.
void TestStore::killedAtEveryStepLosesNothing()
{
    const QStringList before{QStringLiteral("/c.hlm"), QStringLiteral("/b.hlm"), QStringLiteral("/a.hlm")};
    const QList<QStringList> states{before, QStringList{QStringLiteral("/d.hlm")} + before,
        QStringList{QStringLiteral("/e.hlm"), QStringLiteral("/d.hlm")} + before};
    bool finished = false;
    int kills = 0;
    for (int killAt = 1; !finished && killAt < 100; ++killAt) {
        QFile::remove(m_path);
        SettingsStore store(m_path);
        RecentSchemes seed(store);
        for (auto it = before.crbegin(); it != before.crend(); ++it)
            QVERIFY(seed.remember(*it));
        QVERIFY(StoredTitle(store).write(QStringLiteral("Before")));

        const int status = inChild([&] {
            int steps = 0;
            StoreProbe probe;
            probe.onStep = [&] {
                if (++steps == killAt)
                    ::raise(SIGKILL);
            };
            SettingsStore own(m_path, &probe);
            RecentSchemes recent(own);
            recent.remember(QStringLiteral("/d.hlm"));
            StoredTitle(own).write(QStringLiteral("After"));
            recent.remember(QStringLiteral("/e.hlm"));
        });
        finished = WIFEXITED(status);
        QVERIFY(finished || (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL));
        kills += !finished;

        RecentSchemes recent(store);
        recent.load();
        QVERIFY2(states.contains(recent.files()), qPrintable(recent.files().join(u' ')));
        const QString title = StoredTitle(store).read();
        QVERIFY(title == QStringLiteral("Before") || title == QStringLiteral("After"));
        QVERIFY(recent.remember(QStringLiteral("/f.hlm")));
        QVERIFY(temporariesBeside(m_path).isEmpty());
        QVERIFY(!QFile::exists(m_path + QStringLiteral(".lock")));
    }
    QVERIFY(finished);
    // Three steps for each of the three changes: a writer that got through untouched was never stopped.
    QCOMPARE(kills, 9);
}

// Two running instances, each with the list it read at start: every change starts from the stored
// list, so neither instance's files vanish from the other's.
void TestStore::twoInstancesInterleavedKeepBothLists()
{
    SettingsStore storeA(m_path);
    SettingsStore storeB(m_path);
    RecentSchemes a(storeA);
    RecentSchemes b(storeB);
    a.load();
    b.load();
    QStringList expected;
    for (int i = 0; i < 6; ++i) {
        const QString fileA = QStringLiteral("/a%1.hlm").arg(i);
        const QString fileB = QStringLiteral("/b%1.hlm").arg(i);
        QVERIFY(a.remember(fileA));
        expected.prepend(fileA);
        QVERIFY(b.remember(fileB));
        expected.prepend(fileB);
        QCOMPARE(b.files(), expected.mid(0, RecentSchemes::Count));
        QVERIFY(StoredTitle(storeA).write(fileA));
    }
    QVERIFY(a.forget(QStringLiteral("/b5.hlm")));
    expected.removeAll(QStringLiteral("/b5.hlm"));
    QCOMPARE(a.files(), expected.mid(0, 4));
    b.load();
    QCOMPARE(b.files(), a.files());
}

// Two processes changing the list and the title as fast as they can: no change fails, and each
// process's files stand in the final list newest first.
void TestStore::twoWritersAtFullSpeedNeverFail()
{
    constexpr int Changes = 150;
    const auto writer = [this](QChar who) {
        return [this, who] {
            SettingsStore store(m_path);
            RecentSchemes recent(store);
            for (int i = 0; i < Changes; ++i) {
                const QString file = QStringLiteral("/%1/%2.hlm").arg(who).arg(i, 3, 10, QLatin1Char('0'));
                if (!recent.remember(file) || recent.files().first() != file || !StoredTitle(store).write(file))
                    ::_exit(1);
            }
        };
    };
    const pid_t first = ::fork();
    if (first == 0) {
        writer(u'x')();
        ::_exit(0);
    }
    const int second = inChild(writer(u'y'));
    int status = 0;
    ::waitpid(first, &status, 0);
    QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    QVERIFY(WIFEXITED(second) && WEXITSTATUS(second) == 0);
    SettingsStore store(m_path);
    RecentSchemes recent(store);
    recent.load();
    QCOMPARE(recent.files().size(), RecentSchemes::Count);
    for (const QChar who : {u'x', u'y'}) {
        QStringList own;
        for (const QString& file : recent.files())
            if (file.at(1) == who)
                own << file;
        QStringList sorted = own;
        std::sort(sorted.begin(), sorted.end(), std::greater<>());
        QCOMPARE(own, sorted);
    }
    QVERIFY(recent.files().contains(QStringLiteral("/x/%1.hlm").arg(Changes - 1))
        || recent.files().contains(QStringLiteral("/y/%1.hlm").arg(Changes - 1)));
}

// 100,000 keys in the recent section: the first change drops all but five; other programs' sections,
// comments and keys stay byte for byte.
// Another writer held up between making its lock and writing its name in it, as a busy machine does,
// and letting it go for a moment now and then: every change here still gets the lock in turn, and
// never takes it from under the other, which checks that its lock is still there before letting go.
void TestStore::aWriterSlowToNameItsLockKeepsIt()
{
    const QString lockPath = m_path + QStringLiteral(".lock");
    const QString done = m_dir->filePath(QStringLiteral("done"));
    const pid_t other = ::fork();
    if (other == 0) {
        // What QLockFile writes of this process, to write late into a lock made by hand.
        QLockFile model(m_dir->filePath(QStringLiteral("model.lock")));
        model.lock();
        QFile modelFile(m_dir->filePath(QStringLiteral("model.lock")));
        const QByteArray name = modelFile.open(QIODevice::ReadOnly) ? modelFile.readAll() : QByteArray();
        const QByteArray path = QFile::encodeName(lockPath);
        while (!QFile::exists(done)) {
            const int fd = ::open(path.constData(), O_CREAT | O_EXCL | O_WRONLY, 0644);
            if (fd >= 0) {
                ::usleep(5000);
                struct stat held { };
                const bool kept = ::write(fd, name.constData(), size_t(name.size())) == name.size()
                    && (::usleep(1000), ::fstat(fd, &held) == 0) && held.st_nlink > 0;
                ::unlink(path.constData());
                ::close(fd);
                if (!kept)
                    ::_exit(1);
            }
            ::usleep(3000);
        }
        ::_exit(0);
    }
    SettingsStore store(m_path);
    RecentSchemes recent(store);
    int failed = 0;
    for (int i = 0; i < 100; ++i)
        failed += recent.remember(QStringLiteral("/%1.hlm").arg(i)) ? 0 : 1;
    put(done, {});
    int status = 0;
    ::waitpid(other, &status, 0);
    QCOMPARE(failed, 0);
    QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, "the other writer's lock was taken from it");
}

void TestStore::excessKeysGoAndOthersStay()
{
    const QByteArray foreign = "[Other]\n; a comment\nodd%20key=\"kept, as is\"\n\n";
    QByteArray data = foreign + "[HLM]\n";
    for (int i = 1; i <= 100000; ++i)
        data += "Recent%20Schemes\\File" + QByteArray::number(i) + "=/f" + QByteArray::number(i) + "\n";
    data += "Settings\\TitleText=Mine\n";
    QFile file(m_path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
    file.close();
    SettingsStore store(m_path);
    RecentSchemes recent(store);
    recent.load();
    QCOMPARE(recent.files(), (QStringList{"/f1", "/f2", "/f3", "/f4", "/f5"}));
    QVERIFY(recent.remember(QStringLiteral("/new")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray after = file.readAll();
    QVERIFY(after.startsWith(foreign + "[HLM]\n"));
    QCOMPARE(after.count('\n'), foreign.count('\n') + 1 + RecentSchemes::Count + 1);
    QCOMPARE(StoredTitle(store).read(), QStringLiteral("Mine"));
    QCOMPARE(QSettings(m_path, QSettings::IniFormat).value(QStringLiteral("Other/odd key")).toString(),
        QStringLiteral("kept, as is"));
}

// A store whose folder cannot be made: every change says it failed, and the list holds for the session.
void TestStore::unwritableStoreKeepsTheSessionList()
{
    QFile blocker(m_dir->filePath(QStringLiteral("not-a-folder")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SettingsStore store(blocker.fileName() + QStringLiteral("/hueloom.ini"));
    RecentSchemes recent(store);
    QVERIFY(!recent.remember(QStringLiteral("/a.hlm")));
    QVERIFY(!recent.remember(QStringLiteral("/b.hlm")));
    QCOMPARE(recent.files(), (QStringList{"/b.hlm", "/a.hlm"}));
    QVERIFY(!recent.forget(QStringLiteral("/a.hlm")));
    QCOMPARE(recent.files(), QStringList{"/b.hlm"});
    QVERIFY(!StoredTitle(store).write(QStringLiteral("T")));
}

void TestStore::onlyOwnTemporariesAreRemoved()
{
    const QString scheme = m_dir->filePath(QStringLiteral("Mine.hlm"));
    const QStringList names = dataLines(QStringLiteral("leftovers.tsv"));
    for (const QString& row : names) {
        const QString name = row.section(u'\t', 0, 0);
        QFile file(m_dir->filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        // Old enough to be stale.
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-120), QFileDevice::FileModificationTime));
        file.close();
    }
    LeftoverFiles::removeStale(scheme);
    for (const QString& row : names) {
        const QString name = row.section(u'\t', 0, 0);
        const bool removed = row.section(u'\t', 1, 1) == QStringLiteral("removed");
        QVERIFY2(QFile::exists(m_dir->filePath(name)) != removed, qPrintable(name));
    }
}

void TestStore::onlyDeadWritersLeftoversAreRemoved_data()
{
    QTest::addColumn<QStringList>("row"); // holder, lock's age, temporary's age, lock after, temporary after
    for (const QString& row : dataLines(QStringLiteral("writerleftovers.tsv")))
        if (!row.startsWith(u'#'))
            QTest::newRow(qPrintable(row)) << row.split(u'\t');
}

// The file dialog's settings are every Qt program's: a lock or temporary there is only removed when the
// writer that made it has gone, and nothing else in the folder is touched.
void TestStore::onlyDeadWritersLeftoversAreRemoved()
{
    QFETCH(QStringList, row);
    QCOMPARE(row.size(), 5);
    const QString settings = m_dir->filePath(QStringLiteral("QtProject.conf"));
    const QString lockPath = settings + QStringLiteral(".lock");
    const QString temporary = settings + QStringLiteral(".aB3dE9");
    const QStringList bystanders{QStringLiteral("QtProject.conf"), QStringLiteral("QtProject.conf.backup"),
        QStringLiteral("QtProject.conf.lock.old"), QStringLiteral("Other.conf.aB3dE9"),
        QStringLiteral("Other.conf.lock")};
    for (const QString& name : bystanders) {
        put(m_dir->filePath(name), "[General]\n");
        age(m_dir->filePath(name), 3600);
    }
    // A live writer is this process, holding the lock as QSettings does; a dead one a child killed
    // while it held it.
    QLockFile held(lockPath);
    if (row[0] == u"dead")
        QCOMPARE(WTERMSIG(inChild([&] {
            QLockFile lock(lockPath);
            if (lock.tryLock(0))
                ::raise(SIGKILL);
        })),
            SIGKILL);
    else if (row[0] == u"live")
        QVERIFY(held.tryLock(0));
    else if (row[0] == u"reused")
        put(lockPath,
            QByteArray::number(::getpid()) + "\nnot-this-program\n" + QSysInfo::machineHostName().toUtf8() + '\n');
    else if (row[0] == u"elsewhere")
        put(lockPath, "1\nhueloom\nelsewhere.example\n");
    else if (row[0] == u"empty")
        put(lockPath, {});
    if (row[0] != u"none")
        age(lockPath, row[1].toInt());
    put(temporary, "[General]\nhalf");
    age(temporary, row[2].toInt());

    const int removed = LeftoverFiles::removeDeadWriters(settings);
    QCOMPARE(QFile::exists(lockPath), row[3] == u"kept");
    QCOMPARE(QFile::exists(temporary), row[4] == u"kept");
    QCOMPARE(removed, int(row[3] == u"removed") + int(row[4] == u"removed"));
    for (const QString& name : bystanders)
        QVERIFY2(QFile::exists(m_dir->filePath(name)), qPrintable(name));
    QVERIFY(!QFile::exists(lockPath + QStringLiteral(".rmlock")));
}

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
