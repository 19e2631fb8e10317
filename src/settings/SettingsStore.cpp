#include "SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <optional>

namespace {

// A store this big is not one this program wrote; it is neither parsed nor written.
constexpr qint64 LargestStore = 16 * 1024 * 1024;
// The wait for a lock stays well under a second; a running writer holds it for milliseconds.
constexpr int LockWaitMs = 400;

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

// Clears the way for QSettings' own lock, which would wait up to half a minute for an empty lock file
// left by a killed process. QLockFile is not reentrant, so this lock is given up before QSettings
// takes its own. False when a running writer keeps it, or when the lock is not a plain file.
bool lockIsFree(const QString& path)
{
    const QString lockPath = path + QStringLiteral(".lock");
    const QFileInfo lockInfo(lockPath);
    if (!lockInfo.exists() && !lockInfo.isSymLink())
        return true;
    // A FIFO would block the lock's own read of it; a folder can never be taken over.
    if (!lockInfo.isFile())
        return false;
    QLockFile lock(lockPath);
    // A lock that names its holder is QLockFile's to judge: a holder that has gone makes it stale at
    // once, a running one is waited for. An empty lock names no one (its maker was killed before it
    // wrote its name), so it is taken over at once rather than after half a minute.
    if (lockInfo.size() == 0)
        lock.setStaleLockTime(1);
    if (!lock.tryLock(LockWaitMs))
        return false;
    lock.unlock();
    return true;
}

// The text of a value as the user wrote it by hand, for the values QSettings splits into a list at
// their commas: quotes are dropped and backslash escapes read, commas stay as they are.
QString unquoted(QStringView raw)
{
    QString text;
    text.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c == u'"')
            continue;
        if (c != u'\\' || i + 1 == raw.size()) {
            text.append(c);
            continue;
        }
        const QChar next = raw.at(++i);
        switch (next.unicode()) {
        case u'n':
            text.append(u'\n');
            break;
        case u't':
            text.append(u'\t');
            break;
        case u'r':
            text.append(u'\r');
            break;
        default:
            text.append(next);
        }
    }
    return text;
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
            found = unquoted(QStringView(line).mid(equals + 1).trimmed());
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

// Every name in `names` equal to `wanted` but for letter case.
QStringList allMatching(const QStringList& names, const QString& wanted)
{
    QStringList found;
    for (const QString& name : names)
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            found << name;
    return found;
}

// Enters the groups for application and section, in whatever case they were first written.
void enterSection(QSettings& settings, const QString& application, const QString& section)
{
    settings.beginGroup(matching(settings.childGroups(), application));
    settings.beginGroup(matching(settings.childGroups(), section));
}

} // namespace

SettingsStore::SettingsStore()
    : SettingsStore(defaultFilePath())
{
}

SettingsStore::SettingsStore(QString filePath)
    : m_filePath(std::move(filePath))
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

bool SettingsStore::write(const QString& application, const QString& section, const QString& key, const QString& value)
{
    const QFileInfo info(m_filePath);
    if (info.exists() && !info.isFile())
        return false;
    if (isHeld(m_filePath))
        return false;
    if (info.size() > LargestStore) {
        hold(m_filePath);
        return false;
    }
    if (!QDir().mkpath(info.absolutePath()) || !lockIsFree(m_filePath))
        return false;
    QSettings settings(m_filePath, QSettings::IniFormat);
    // A file QSettings cannot parse is left alone for the rest of the run rather than overwritten
    // with only this value.
    if (settings.status() != QSettings::NoError) {
        hold(m_filePath);
        return false;
    }
    enterSection(settings, application, section);
    const QStringList spellings = allMatching(settings.childKeys(), key);
    // Keep the first spelling the store knows; drop any others, so one name means one value.
    for (qsizetype i = 1; i < spellings.size(); ++i)
        settings.remove(spellings.at(i));
    settings.setValue(spellings.isEmpty() ? key : spellings.first(), value);
    settings.endGroup();
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}
