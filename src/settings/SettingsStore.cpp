#include "SettingsStore.h"

#include "IniLines.h"
#include "files/DurableSave.h"
#include "files/LeftoverFiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A store this big is not one this program wrote; it is neither parsed nor written.
constexpr qint64 LargestStore = 16 * 1024 * 1024;

// Stores found unreadable in this run. QSettings keeps parsed files in a cache shared by every
// instance in the process, so only the first instance sees a parse error: it has to be remembered,
// or a later write would replace the user's file with whatever part of it QSettings understood.
QSet<QString>& heldStores()
{
    static QSet<QString> held;
    return held;
}

QString storeKey(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}

void hold(const QString& path)
{
    heldStores().insert(storeKey(path));
}

bool isHeld(const QString& path)
{
    return heldStores().contains(storeKey(path));
}

// The raw text of `fullKey` ("HLM/Settings/TitleText") in an INI file, as QSettings lays it out:
// "[HLM]" then "Settings\TitleText=...". Nothing when the key is not there.
std::optional<QString> rawValue(const QByteArray& data, const QString& fullKey)
{
    std::optional<QString> found;
    QString section;
    for (const QByteArray& rawLine : data.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = line.mid(1, line.size() - 2).trimmed();
            if (section.compare(QStringLiteral("General"), Qt::CaseInsensitive) == 0)
                section.clear();
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (line.startsWith(u';') || equals <= 0)
            continue;
        QString key = line.left(equals).trimmed().replace(u'\\', u'/');
        if (!section.isEmpty())
            key.prepend(section + u'/');
        if (key == fullKey)
            // QSettings split the value at its commas; read whole, with the escapes QSettings reads.
            found = IniLines::decodeValue(QStringView(line).mid(equals + 1).trimmed());
    }
    return found;
}

// The name in `names` that equals `wanted` but for letter case, or `wanted` itself when none does.
QString matching(const QStringList& names, const QString& wanted)
{
    for (const QString& name : names)
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return name;
    return wanted;
}

// Enters the groups for application and section, in whatever case they were first written.
void enterSection(QSettings& settings, const QString& application, const QString& section)
{
    settings.beginGroup(matching(settings.childGroups(), application));
    settings.beginGroup(matching(settings.childGroups(), section));
}

} // namespace

namespace {

// The program's own store tells no one.
StoreSteps& unheard()
{
    static StoreSteps steps;
    return steps;
}

} // namespace

SettingsStore::SettingsStore(StoreSteps* steps)
    : SettingsStore(defaultFilePath(), steps)
{
}

SettingsStore::SettingsStore(QString filePath, StoreSteps* steps)
    : m_filePath(std::move(filePath))
    , m_steps(steps ? steps : &unheard())
{
}

QString SettingsStore::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Hueloom/hueloom.ini");
}

QString SettingsStore::read(
    const QString& application, const QString& section, const QString& key, const QString& fallback) const
{
    const QFileInfo info(m_filePath);
    if (!info.isFile() || !info.isReadable() || isHeld(m_filePath))
        return fallback;
    if (info.size() > LargestStore) {
        hold(m_filePath);
        return fallback;
    }
    QSettings settings(m_filePath, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        hold(m_filePath);
        return fallback;
    }
    enterSection(settings, application, section);
    const QString storedKey = matching(settings.childKeys(), key);
    const QVariant value = settings.value(storedKey);
    if (!value.isValid())
        return fallback;
    if (value.typeId() == QMetaType::QString)
        return value.toString();
    if (value.typeId() == QMetaType::QStringList) {
        // A hand-written text with commas in it.
        QFile file(m_filePath);
        const auto raw = file.open(QIODevice::ReadOnly) ? rawValue(file.readAll(), settings.group() + u'/' + storedKey)
                                                        : std::nullopt;
        if (raw)
            return *raw;
    } else if (value.canConvert<QString>()) {
        return value.toString();
    }
    // Something that is not a text: kept as it is, not replaced behind the user's back.
    hold(m_filePath);
    return fallback;
}

SettingsStore::Entries SettingsStore::readSection(const QString& application, const QString& section) const
{
    const QFileInfo info(m_filePath);
    if (!info.isFile() || !info.isReadable() || isHeld(m_filePath) || info.size() > LargestStore)
        return {};
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return IniLines(file.readAll()).section(application, section);
}

bool SettingsStore::write(const QString& application, const QString& section, const QString& key, const QString& value)
{
    return update(application, section, [&](Entries entries) {
        // The first spelling the store knows stays; any other spelling goes, so one name means one value.
        bool placed = false;
        for (qsizetype i = 0; i < entries.size();) {
            if (entries.at(i).first.compare(key, Qt::CaseInsensitive) != 0) {
                ++i;
            } else if (!placed) {
                entries[i].second = value;
                placed = true;
                ++i;
            } else {
                entries.removeAt(i);
            }
        }
        if (!placed)
            entries.append({key, value});
        return entries;
    });
}

namespace {

// Whether a lock file could be made in the folder of `lockPath` at all. Another writer's lock left in a
// read-only folder can neither be taken over nor released by this program, so it is not waited for.
bool folderTakesFiles(const QString& lockPath)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(lockPath).absolutePath());
    return ::access(folder.constData(), W_OK | X_OK) == 0;
}

// Holds the store's lock for one change. A running holder is waited for (it needs milliseconds), in
// short steps, so that a writer that keeps coming back cannot starve this one; a holder that has gone
// is QLockFile's to judge. An empty lock names no one (its maker was killed before it wrote its name),
// so it is taken over within a tenth of a second rather than after half a minute. Only a lock held by
// someone is worth waiting for: when the lock file cannot be made (a read-only or full disk, a folder
// that is not ours) no retry will make it, and the change fails at once instead of freezing the window.
class StoreLock {
    // Longer than a waiting instance sleeps between two looks at the lock.
    static constexpr qint64 TurnGapMs = 8;
    static constexpr int EmptyLockStaleMs = 100;
    static QElapsedTimer& lastRelease()
    {
        static QElapsedTimer timer;
        return timer;
    }

public:
    StoreLock(const QString& path, StoreSteps& steps)
        : m_lock(path + QStringLiteral(".lock"))
    {
        const QString lockPath = path + QStringLiteral(".lock");
        // Taking the lock again at once after letting it go would starve another instance that is
        // waiting for it (it looks every few milliseconds): a writer that has just written leaves a gap.
        if (const qint64 since = lastRelease().isValid() ? lastRelease().elapsed() : TurnGapMs; since < TurnGapMs)
            QThread::msleep(static_cast<unsigned long>(TurnGapMs - since));
        QDeadlineTimer deadline(SettingsStore::LockWaitMs);
        const QByteArray lockName = QFile::encodeName(lockPath);
        for (;;) {
            // One look at the lock, since the other writer makes and removes it between any two looks.
            // A FIFO would block the lock's own read of it; a folder can never be taken over; a link
            // that leads nowhere can never be made.
            struct stat lockStat { };
            const bool present = ::stat(lockName.constData(), &lockStat) == 0;
            if (present ? !S_ISREG(lockStat.st_mode)
                        : ::lstat(lockName.constData(), &lockStat) == 0 && S_ISLNK(lockStat.st_mode))
                return;
            // An empty lock is a killed writer's, or a running one's between making it and writing its
            // name, which a busy machine may stretch to milliseconds: it is taken over once older than that.
            m_lock.setStaleLockTime(present && lockStat.st_size == 0 ? EmptyLockStaleMs : 30000);
            steps.lockAttempt();
            if (m_lock.tryLock(0)) {
                m_held = true;
                return;
            }
            if (m_lock.error() != QLockFile::LockFailedError || !folderTakesFiles(lockPath) || deadline.hasExpired())
                return;
            QThread::usleep(1000 + QRandomGenerator::global()->bounded(4000));
        }
    }
    bool held() const { return m_held; }
    void release()
    {
        if (std::exchange(m_held, false)) {
            m_lock.unlock();
            lastRelease().start();
        }
    }

private:
    QLockFile m_lock;
    bool m_held = false;
};

} // namespace

bool SettingsStore::update(
    const QString& application, const QString& section, const std::function<Entries(const Entries&)>& edit)
{
    const QFileInfo info(m_filePath);
    if ((info.exists() && !info.isFile()) || isHeld(m_filePath))
        return false;
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    StoreLock lock(m_filePath, *m_steps);
    if (!lock.held())
        return false;
    m_steps->stepTaken();
    // Under the lock no one else writes, so any temporary beside the file is a killed writer's.
    LeftoverFiles::removeStale(m_filePath, 0);
    QByteArray before;
    if (QFileInfo::exists(m_filePath)) {
        QFile file(m_filePath);
        if (QFileInfo(m_filePath).size() > LargestStore) {
            hold(m_filePath);
            return false;
        }
        if (!file.open(QIODevice::ReadOnly))
            return false;
        before = file.readAll();
    }
    IniLines lines(before);
    // A file that does not parse, or holds something other than a text where this change goes, is left
    // alone for the rest of the run rather than overwritten with the part of it that could be read.
    if (!lines.isWellFormed() || !lines.sectionIsText(application, section)) {
        hold(m_filePath);
        return false;
    }
    lines.replaceSection(application, section, edit(lines.section(application, section)));
    const QByteArray after = lines.bytes();
    if (after == before && info.exists())
        return true;
    // Unbuffered, so that a full disk fails write() itself instead of a commit that renames a cut file.
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(after) != after.size()
        || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    m_steps->stepTaken();
    if (!DurableSave::commitWithoutFolderSync(file))
        return false;
    m_steps->stepTaken();
    lock.release();
    DurableSave::syncFolderOf(m_filePath);
    return true;
}

void SettingsStore::removeLeftovers()
{
    if (!QFileInfo(m_filePath).absoluteDir().exists())
        return;
    const StoreLock lock(m_filePath, *m_steps);
    if (lock.held())
        LeftoverFiles::removeStale(m_filePath, 0);
}
