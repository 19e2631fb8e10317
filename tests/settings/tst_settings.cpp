#include "app/MainWindow.h"
#include "app/NoteLine.h"
#include "app/SampleTitle.h"
#include "dialogs/TitleDialog.h"
#include "settings/SettingsStore.h"
#include "support/Modal.h"
#include "support/ScriptedDialogs.h"
#include "support/StoreProbe.h"
#include "support/TestApp.h"

#include <QAction>
#include <QDir>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

// Answers the title dialog the next time it opens: types `text`, then presses OK (or closes it).
void answerTitleDialog(ScriptedDialogs& dialogs, const QString& text, bool pressOk = true)
{
    dialogs.answerTitleInDialog();
    whenModal<TitleDialog>([text, pressOk](TitleDialog* dialog) {
        auto* entry = dialog->findChild<QLineEdit*>(QStringLiteral("Text1"));
        QVERIFY(entry->text().isEmpty());
        QCOMPARE(dialog->focusWidget(), entry);
        QTest::keyClicks(entry, text);
        if (pressOk)
            QTest::keyClick(entry, Qt::Key_O, Qt::AltModifier);
        else
            dialog->close();
    });
}

// Frees a stuck run: unless disarmed within a few seconds, removes `lockPath` so whatever waits for it
// goes on, and remembers that it had to.
class LockWatchdog {
public:
    explicit LockWatchdog(QString lockPath)
        : m_thread([this, path = std::move(lockPath)] {
            std::unique_lock lock(m_mutex);
            if (!m_done.wait_for(lock, std::chrono::seconds(5), [this] { return m_disarmed; })) {
                m_fired = true;
                QFile::remove(path);
            }
        })
    {
    }
    ~LockWatchdog() { disarm(); }

    // True when the program was still waiting and the watchdog had to free it.
    bool disarm()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_disarmed = true;
        }
        m_done.notify_all();
        if (m_thread.joinable())
            m_thread.join();
        return m_fired;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_disarmed = false;
    std::atomic<bool> m_fired = false;
    std::thread m_thread;
};

// The text of the window's note line; empty while the line is hidden.
QString noteOf(MainWindow* window)
{
    const auto* line = window->findChild<NoteLine*>(QStringLiteral("NoteLine"));
    return line && line->isVisible() ? line->text() : QString();
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& data, qint64 size = -1)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(data), data.size());
    if (size > data.size())
        QVERIFY(file.resize(size));
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void namesMatchWithoutRegardToCase();
    void unreadableStoresGiveTheFallback_data();
    void unreadableStoresGiveTheFallback();

    void firstStartWritesTheDefaultThenReadsIt();
    void emptyStoredTitleIsReplaced();
    void confirmedTitleShowsAndPersists();
    void emptyOkRightAfterStartWritesNothing();
    void pendingTitleIsWrittenAgain();
    void titleIsShownAsPlainText_data();
    void titleIsShownAsPlainText();
    void titleTooLongForItsLineEndsInAnEllipsis_data();
    void titleTooLongForItsLineEndsInAnEllipsis();
    void titleDialogLayout();
    void unwritableStoreKeepsTheTitleAndSaysSoOnce();
    void storeThatCannotBeReadIsNeverWritten_data();
    void storeThatCannotBeReadIsNeverWritten();
    void handEditedTitleIsReadAsWritten_data();
    void handEditedTitleIsReadAsWritten();
    void staleLockIsTakenOver_data();
    void staleLockIsTakenOver();
    void readOnlySettingsFolderHoldsNothingUp_data();
    void readOnlySettingsFolderHoldsNothingUp();
    void longTitleSurvivesDialogAndStore();

private:
    MainWindow* startWindow(StoreSteps* storeSteps = nullptr);
    QString storedValue(const QString& key) const;

    std::unique_ptr<QTemporaryDir> m_config;
    QList<MainWindow*> m_windows;
    QList<ScriptedDialogs*> m_dialogs;
};

void TestSettings::init()
{
    m_config = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", m_config->path().toLocal8Bit());
}

void TestSettings::cleanup()
{
    qDeleteAll(m_windows);
    m_windows.clear();
    m_dialogs.clear();
    m_config.reset();
}

MainWindow* TestSettings::startWindow(StoreSteps* storeSteps)
{
    auto* dialogs = new ScriptedDialogs;
    auto* window
        = new MainWindow(std::unique_ptr<DialogBackend>(dialogs), nullptr, MainWindow::Start::Hidden, storeSteps);
    m_windows << window;
    m_dialogs << dialogs;
    window->show();
    return window;
}

QString TestSettings::storedValue(const QString& key) const
{
    QSettings raw(SettingsStore::defaultFilePath(), QSettings::IniFormat);
    return raw.value(QStringLiteral("HLM/Settings/") + key).toString();
}

void TestSettings::namesMatchWithoutRegardToCase()
{
    SettingsStore store(m_config->filePath(QStringLiteral("a/store.ini")));
    QCOMPARE(store.read(QStringLiteral("HLM"), QStringLiteral("Settings"), QStringLiteral("TitleText")), QString());
    QVERIFY(store.write(
        QStringLiteral("HLM"), QStringLiteral("Settings"), QStringLiteral("Titletext"), QStringLiteral("one")));
    QCOMPARE(store.read(QStringLiteral("hlm"), QStringLiteral("SETTINGS"), QStringLiteral("TitleText")),
        QStringLiteral("one"));
    QVERIFY(store.write(
        QStringLiteral("Hlm"), QStringLiteral("settings"), QStringLiteral("TITLETEXT"), QStringLiteral("two")));
    QCOMPARE(store.read(QStringLiteral("HLM"), QStringLiteral("Settings"), QStringLiteral("Titletext")),
        QStringLiteral("two"));

    // Two spellings left by hand collapse into one on the next write.
    {
        QSettings raw(store.filePath(), QSettings::IniFormat);
        raw.setValue(QStringLiteral("HLM/Settings/TitleText"), QStringLiteral("stray"));
    }
    QVERIFY(store.write(
        QStringLiteral("HLM"), QStringLiteral("Settings"), QStringLiteral("titletext"), QStringLiteral("three")));
    QSettings raw(store.filePath(), QSettings::IniFormat);
    raw.beginGroup(QStringLiteral("HLM/Settings"));
    QCOMPARE(raw.childKeys().size(), 1);
    QCOMPARE(store.read(QStringLiteral("HLM"), QStringLiteral("Settings"), QStringLiteral("TitleText")),
        QStringLiteral("three"));
}

void TestSettings::unreadableStoresGiveTheFallback_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("a folder where the file should be") << "folder";
    QTest::newRow("binary junk") << "junk";
    QTest::newRow("a path under /proc") << "proc";
}

void TestSettings::unreadableStoresGiveTheFallback()
{
    QFETCH(QString, kind);
    QString path = m_config->filePath(QStringLiteral("store.ini"));
    if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(path));
    } else if (kind == QLatin1String("junk")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QByteArray junk;
        for (int i = 0; i < 4096; ++i)
            junk.append(static_cast<char>((i * 7919) % 256));
        file.write("[HLM\x01\xff\n\0\0\0=\"\n", 12);
        file.write(junk);
    } else {
        path = QStringLiteral("/proc/hueloom-none/store.ini");
    }
    SettingsStore store(path);
    QCOMPARE(store.read(QStringLiteral("HLM"), QStringLiteral("Settings"), QStringLiteral("TitleText"),
                 QStringLiteral("fallback")),
        QStringLiteral("fallback"));
    if (kind != QLatin1String("junk"))
        QVERIFY(!store.write(
            QStringLiteral("HLM"), QStringLiteral("Settings"), QStringLiteral("TitleText"), QStringLiteral("x")));
}

void TestSettings::firstStartWritesTheDefaultThenReadsIt()
{
    MainWindow* first = startWindow();
    QCOMPARE(first->titleCaption(), QStringLiteral("Hueloom"));
    QCOMPARE(storedValue(QStringLiteral("Titletext")), QStringLiteral("Hueloom"));
    const QDateTime written = QFileInfo(SettingsStore::defaultFilePath()).lastModified();

    QTest::qWait(20);
    MainWindow* second = startWindow();
    QCOMPARE(second->titleCaption(), QStringLiteral("Hueloom"));
    QCOMPARE(QFileInfo(SettingsStore::defaultFilePath()).lastModified(), written); // read, not written again
    QVERIFY(m_dialogs.last()->messages.isEmpty());
}

void TestSettings::emptyStoredTitleIsReplaced()
{
    SettingsStore().write(QStringLiteral("HLM"), QStringLiteral("Settings"), QStringLiteral("TitleText"), QString());
    MainWindow* window = startWindow();
    QCOMPARE(window->titleCaption(), QStringLiteral("Hueloom"));
    QCOMPARE(SettingsStore().read(QStringLiteral("HLM"), QStringLiteral("Settings"), QStringLiteral("TitleText")),
        QStringLiteral("Hueloom"));
}

void TestSettings::confirmedTitleShowsAndPersists()
{
    MainWindow* window = startWindow();
    answerTitleDialog(*m_dialogs.last(), QStringLiteral("  My page  "));
    window->findChild<QAction*>(QStringLiteral("ItemChange"))->trigger();
    QCOMPARE(window->titleCaption(), QStringLiteral("  My page  "));
    QCOMPARE(startWindow()->titleCaption(), QStringLiteral("  My page  "));

    // Default Colors leaves the title alone.
    window->findChild<QAction*>(QStringLiteral("ItemDefault"))->trigger();
    QCOMPARE(window->titleCaption(), QStringLiteral("  My page  "));
}

void TestSettings::emptyOkRightAfterStartWritesNothing()
{
    MainWindow* window = startWindow();
    const QDateTime before = QFileInfo(SettingsStore::defaultFilePath()).lastModified();
    QTest::qWait(20);
    answerTitleDialog(*m_dialogs.last(), QString());
    window->findChild<QAction*>(QStringLiteral("ItemChange"))->trigger();
    answerTitleDialog(*m_dialogs.last(), QStringLiteral("closed, not confirmed"), false);
    window->findChild<QAction*>(QStringLiteral("ItemChange"))->trigger();
    QCOMPARE(window->titleCaption(), QStringLiteral("Hueloom"));
    QCOMPARE(QFileInfo(SettingsStore::defaultFilePath()).lastModified(), before);
}

void TestSettings::pendingTitleIsWrittenAgain()
{
    MainWindow* window = startWindow();
    answerTitleDialog(*m_dialogs.last(), QStringLiteral("First"));
    window->findChild<QAction*>(QStringLiteral("ItemChange"))->trigger();
    // Someone else changes the store; an empty OK writes the confirmed title back.
    SettingsStore().write(
        QStringLiteral("HLM"), QStringLiteral("Settings"), QStringLiteral("TitleText"), QStringLiteral("Other"));
    answerTitleDialog(*m_dialogs.last(), QString());
    window->findChild<QAction*>(QStringLiteral("ItemChange"))->trigger();
    QCOMPARE(window->titleCaption(), QStringLiteral("First"));
    // One value under the spelling the store was created with.
    QCOMPARE(storedValue(QStringLiteral("Titletext")), QStringLiteral("First"));
}

void TestSettings::titleIsShownAsPlainText_data()
{
    QTest::addColumn<QString>("title");
    QTest::newRow("image markup") << R"(<img src="/etc/passwd">)";
    QTest::newRow("bold markup") << "<b>x</b>";
    QTest::newRow("spaces only") << "   ";
    QTest::newRow("non-Latin") << QStringLiteral("Farben \u00fcber \u4e16\u754c");
}

void TestSettings::titleIsShownAsPlainText()
{
    QFETCH(QString, title);
    SettingsStore().write(QStringLiteral("HLM"), QStringLiteral("Settings"), QStringLiteral("TitleText"), title);
    MainWindow* window = startWindow();
    auto* label = window->findChild<QLabel*>(QStringLiteral("Title"));
    QCOMPARE(label->text(), title);
    QCOMPARE(label->textFormat(), Qt::PlainText);
}

void TestSettings::titleTooLongForItsLineEndsInAnEllipsis_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("cut");
    QTest::newRow("short") << QStringLiteral("My page") << false;
    QTest::newRow("long") << QStringLiteral("A title of many words ").repeated(12) << true;
    QTest::newRow("long, no spaces, non-Latin") << QStringLiteral("\u4e16\u754c").repeated(200) << true;
}

// A title wider than its line reads from its start and ends in "…" inside the line; its tool tip
// gives it whole, with the contrast note. A title that fits shows as it is, with the note alone.
void TestSettings::titleTooLongForItsLineEndsInAnEllipsis()
{
    QFETCH(QString, title);
    QFETCH(bool, cut);
    SettingsStore().write(QStringLiteral("HLM"), QStringLiteral("Settings"), QStringLiteral("TitleText"), title);
    MainWindow* window = startWindow();
    auto* label = window->findChild<SampleTitle*>(QStringLiteral("Title"));
    QVERIFY(label);
    QCOMPARE(label->text(), title);
    const QString shown = label->shownText();
    QCOMPARE(shown != title, cut);
    QVERIFY(label->fontMetrics().horizontalAdvance(shown) <= label->contentsRect().width());
    if (cut) {
        QVERIFY(shown.endsWith(QChar(0x2026)));
        QVERIFY(title.startsWith(shown.chopped(1)));
        QVERIFY(shown.size() > 10);
    }
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), label->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(label, &help);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text().contains(title), cut);
    QVERIFY(QToolTip::text().contains(QStringLiteral("Contrast against the background")));
    QToolTip::hideText();
}

void TestSettings::titleDialogLayout()
{
    TitleDialog dialog;
    QCOMPARE(dialog.objectName(), QStringLiteral("NewTitle"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("New Title Dialog Box"));
    QCOMPARE(dialog.size(), QSize(389, 109));
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("Label1"))->geometry(), QRect(16, 16, 361, 33));
    QCOMPARE(dialog.findChild<QLineEdit*>(QStringLiteral("Text1"))->geometry(), QRect(16, 56, 361, 19));
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("Command1"));
    QCOMPARE(ok->geometry(), QRect(136, 80, 105, 25));
    QCOMPARE(ok->text(), QStringLiteral("&Ok"));
    QVERIFY(ok->isDefault());
    QCOMPARE(dialog.font().pixelSize(), 11); // 8.25 pt at 96 dpi
    QVERIFY(dialog.font().bold());
    // Enter in the box presses OK.
    dialog.show();
    QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("Text1")), QStringLiteral("Enter"));
    QTest::keyClick(dialog.findChild<QLineEdit*>(QStringLiteral("Text1")), Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.confirmedTitle(), QStringLiteral("Enter"));
}

// A folder where the settings file should be: nothing can be read or written. Said in the window's note
// line, not in a box that would take the first click or key. The settings folder's name is long and holds
// a right-to-left override: the note reads left to right all the same, and the window keeps its width, the
// line showing what fits and its tooltip the whole note.
void TestSettings::unwritableStoreKeepsTheTitleAndSaysSoOnce()
{
    const int width = startWindow()->width();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config->filePath(u"sea\u202Eblue/"_qs + QString(200, u'd'))));
    QVERIFY(QDir().mkpath(SettingsStore::defaultFilePath()));
    MainWindow* window = startWindow();
    QCOMPARE(window->titleCaption(), QStringLiteral("Hueloom"));
    const QString said
        = QStringLiteral("The sample title could not be stored in %1.  It is used for this session only.")
              .arg(SettingsStore::defaultFilePath().replace(QChar(0x202E), QStringLiteral("\\u{202E}")));
    QCOMPARE(noteOf(window), said);
    QCOMPARE(window->width(), width);
    const auto* line = window->findChild<QLabel*>(QStringLiteral("NoteText"));
    QVERIFY(line->text().contains(QChar(0x2026)));
    QVERIFY(line->text().endsWith(QStringLiteral("It is used for this session only.")));
    QVERIFY(line->fontMetrics().horizontalAdvance(line->text()) <= line->width());
    QCOMPARE(line->toolTip(), said);
    QTest::qWait(20);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);

    answerTitleDialog(*m_dialogs.last(), QStringLiteral("Kept for now"));
    window->findChild<QAction*>(QStringLiteral("ItemChange"))->trigger();
    QCOMPARE(window->titleCaption(), QStringLiteral("Kept for now"));
    QTest::qWait(20);
    QVERIFY(m_dialogs.last()->messages.isEmpty());
    QCOMPARE(noteOf(window), said);
}

void TestSettings::storeThatCannotBeReadIsNeverWritten_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<qint64>("size");
    QByteArray junk("[HLM\nSettings\\TitleText=Mine\n");
    for (int i = 0; i < 4096; ++i)
        junk.append(static_cast<char>((i * 7919) % 256));
    QTest::newRow("section without its bracket, then junk") << junk << qint64(-1);
    QTest::newRow("a title that is not text")
        << QByteArray("[HLM]\nSettings\\TitleText=@Rect(1 2 3 4)\n") << qint64(-1);
    // Far too big to be a settings file: 20 MiB of zero bytes after a binary head.
    QTest::newRow("huge binary file") << QByteArray("\x7f"
                                                    "ELF\x02\x01\x01")
                                      << qint64(20) * 1024 * 1024;
}

void TestSettings::storeThatCannotBeReadIsNeverWritten()
{
    QFETCH(QByteArray, data);
    QFETCH(qint64, size);
    const QString path = SettingsStore::defaultFilePath();
    writeFile(path, data, size);
    const QByteArray before = contents(path);

    MainWindow* window = startWindow();
    QCOMPARE(window->titleCaption(), QStringLiteral("Hueloom"));
    answerTitleDialog(*m_dialogs.last(), QStringLiteral("Typed later"));
    window->findChild<QAction*>(QStringLiteral("ItemChange"))->trigger();
    QCOMPARE(window->titleCaption(), QStringLiteral("Typed later"));
    // A second window of the same run must not write either.
    startWindow();

    QVERIFY(noteOf(m_windows.first()).contains(QStringLiteral("for this session only")));
    QTest::qWait(20);
    QVERIFY(m_dialogs.first()->messages.isEmpty());
    QVERIFY(contents(path) == before);
}

void TestSettings::handEditedTitleIsReadAsWritten_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("title");
    QTest::newRow("commas") << QByteArray("Red, Green and Blue") << QStringLiteral("Red, Green and Blue");
    QTest::newRow("commas without spaces") << QByteArray("1,2,,3") << QStringLiteral("1,2,,3");
    QTest::newRow("non-ASCII and a comma") << QByteArray("Farben, \xc3\xbc") << QStringLiteral("Farben, \u00fc");
    QTest::newRow("quoted part and a comma") << QByteArray("\"a, b\", c") << QStringLiteral("a, b, c");
    QTest::newRow("escapes and a comma") << QByteArray("\\x41\\x42, \\\\c") << QStringLiteral("AB, \\c");
    QTest::newRow("doubled at and a comma") << QByteArray("@@one, two") << QStringLiteral("@one, two");
}

void TestSettings::handEditedTitleIsReadAsWritten()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, title);
    const QString path = SettingsStore::defaultFilePath();
    writeFile(path, "[HLM]\nSettings\\TitleText=" + line + "\n");
    const QByteArray before = contents(path);
    MainWindow* window = startWindow();
    QCOMPARE(window->titleCaption(), title);
    QTest::qWait(20);
    QVERIFY(m_dialogs.last()->messages.isEmpty());
    QVERIFY(contents(path) == before);
}

void TestSettings::staleLockIsTakenOver_data()
{
    QTest::addColumn<bool>("atStartUp");
    QTest::newRow("start-up") << true;
    QTest::newRow("Change Title") << false;
}

void TestSettings::staleLockIsTakenOver()
{
    QFETCH(bool, atStartUp);
    const QString lockPath = SettingsStore::defaultFilePath() + QStringLiteral(".lock");
    MainWindow* window = atStartUp ? nullptr : startWindow();
    // What a killed process leaves behind: an empty lock file, just made.
    writeFile(lockPath, {});
    LockWatchdog watchdog(lockPath);
    if (atStartUp) {
        window = startWindow();
    } else {
        answerTitleDialog(*m_dialogs.last(), QStringLiteral("After the lock"));
        window->findChild<QAction*>(QStringLiteral("ItemChange"))->trigger();
    }
    QVERIFY2(!watchdog.disarm(), "the store waited for the stale lock until the watchdog removed it");
    const QString expected = atStartUp ? QStringLiteral("Hueloom") : QStringLiteral("After the lock");
    QCOMPARE(window->titleCaption(), expected);
    QCOMPARE(
        SettingsStore().read(QStringLiteral("HLM"), QStringLiteral("Settings"), QStringLiteral("TitleText")), expected);
    QVERIFY(m_dialogs.last()->messages.isEmpty());
}

void TestSettings::readOnlySettingsFolderHoldsNothingUp_data()
{
    QTest::addColumn<bool>("lockLeft");
    QTest::newRow("no store yet") << false;
    // Made on another machine, so not known to be stale: without the folder it can never be released.
    QTest::newRow("another machine's lock in it") << true;
}

// A settings folder on a read-only disk: no change can be stored, and none may keep the window waiting
// for a lock that can never be made. Each change tries the lock once; the failure is said once a run.
void TestSettings::readOnlySettingsFolderHoldsNothingUp()
{
    if (::geteuid() != 0)
        QSKIP("a read-only mount needs root");
    // The mount lives in a namespace of this process's own, so it goes with the process whatever happens.
    static const bool ownNamespace
        = ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    if (!ownNamespace)
        QSKIP("no mount namespace of its own here");
    QFETCH(bool, lockLeft);
    const QString folder = QFileInfo(SettingsStore::defaultFilePath()).absolutePath();
    QVERIFY(QDir().mkpath(folder));
    if (lockLeft)
        writeFile(SettingsStore::defaultFilePath() + QStringLiteral(".lock"), "1\nhueloom\nelsewhere.example\n");
    const QByteArray path = QFile::encodeName(folder);
    QCOMPARE(::mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr), 0);
    const auto unmount = qScopeGuard([&] { ::umount2(path.constData(), MNT_DETACH); });
    QCOMPARE(::mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr), 0);
    int attempts = 0;
    StoreProbe probe;
    probe.onLockAttempt = [&] { ++attempts; };
    // The window goes before the probe it tells.
    const auto closeFirst = qScopeGuard([this] {
        qDeleteAll(std::exchange(m_windows, {}));
        m_dialogs.clear();
    });

    // Start-up makes two changes: the leftovers of killed writers, and the default title.
    MainWindow* window = startWindow(&probe);
    QVERIFY2(attempts >= 1 && attempts <= 2, qPrintable(QString::number(attempts)));
    QCOMPARE(window->titleCaption(), QStringLiteral("Hueloom"));

    // Each Open Scheme stores the recent list.
    const QString scheme = m_config->filePath(QStringLiteral("sea.hlm"));
    writeFile(scheme, "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15\r\n");
    constexpr int Opens = 3;
    const int beforeOpens = attempts;
    for (int i = 0; i < Opens; ++i) {
        m_dialogs.last()->answerFile(scheme);
        window->findChild<QAction*>(QStringLiteral("ItemOpen"))->trigger();
    }
    QVERIFY2(attempts - beforeOpens <= Opens, qPrintable(QString::number(attempts - beforeOpens)));
    QCOMPARE(window->scheme().value(14), 15);

    QTest::qWait(20);
    QVERIFY(m_dialogs.last()->messages.isEmpty());
    QVERIFY(noteOf(window).contains(QStringLiteral("could not be stored")));
}

void TestSettings::longTitleSurvivesDialogAndStore()
{
    QString title;
    for (int i = 0; i < 40000; ++i)
        title.append(QChar(u'a' + i % 26));
    title.replace(39990, 1, QStringLiteral(","));
    MainWindow* window = startWindow();
    m_dialogs.last()->answerTitleInDialog();
    whenModal<TitleDialog>([title](TitleDialog* dialog) {
        auto* entry = dialog->findChild<QLineEdit*>(QStringLiteral("Text1"));
        entry->insert(title); // as a paste does
        QTest::keyClick(entry, Qt::Key_O, Qt::AltModifier);
    });
    window->findChild<QAction*>(QStringLiteral("ItemChange"))->trigger();
    QCOMPARE(window->titleCaption().size(), title.size());
    QCOMPARE(window->titleCaption(), title);
    QCOMPARE(startWindow()->titleCaption(), title);
}

HUELOOM_TEST_MAIN(TestSettings)
#include "tst_settings.moc"
