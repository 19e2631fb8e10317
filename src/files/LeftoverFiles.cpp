#include "LeftoverFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <algorithm>
#include <functional>

#include <unistd.h>

namespace LeftoverFiles {

bool isTemporaryOf(const QString& fileName, const QString& targetName)
{
    constexpr int Random = 6;
    if (fileName.size() != targetName.size() + 1 + Random || !fileName.startsWith(targetName)
        || fileName.at(targetName.size()) != u'.')
        return false;
    for (qsizetype i = targetName.size() + 1; i < fileName.size(); ++i) {
        const QChar c = fileName.at(i);
        if (!(c.isDigit() || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')))
            return false;
    }
    // "NAME.lock" and friends are words, not the mix of cases and digits QSaveFile makes; six lower-case
    // letters alone could be anyone's suffix, so at least one capital or digit is required.
    for (qsizetype i = targetName.size() + 1; i < fileName.size(); ++i)
        if (!fileName.at(i).isLower())
            return true;
    return false;
}

namespace {

// Removes the files of `folder` that `ours` accepts by name, when they are ordinary files of this user,
// not links, and older than `staleSeconds`: a younger one may belong to a save still running. The names
// are tested by `ours` alone, not by a wildcard of the folder listing's, which would compile a regular
// expression for every listing.
int removeMatching(const QDir& folder, const std::function<bool(const QString&)>& ours, int staleSeconds)
{
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-staleSeconds);
    int removed = 0;
    const QFileInfoList candidates = folder.entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& candidate : candidates) {
        if (!ours(candidate.fileName()) || candidate.isSymLink() || !candidate.isFile()
            || candidate.ownerId() != ::getuid() || candidate.lastModified().toUTC() > before)
            continue;
        if (QFile::remove(candidate.absoluteFilePath()))
            ++removed;
    }
    return removed;
}

} // namespace

int removeStale(const QString& path, int staleSeconds)
{
    const QFileInfo target(path);
    const QString name = target.fileName();
    return removeMatching(
        target.absoluteDir(), [&](const QString& fileName) { return isTemporaryOf(fileName, name); }, staleSeconds);
}

int removeStaleSchemeTemporaries(const QString& folder, int staleSeconds)
{
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return 0;
    // The name matches without regard to case, as the folder listing does: "Sea.HLM" is saved as typed.
    constexpr qsizetype TemporaryTail = 7; // ".XXXXXX"
    return removeMatching(
        dir,
        [](const QString& fileName) {
            if (fileName.size() <= TemporaryTail)
                return false;
            const QString target = fileName.chopped(TemporaryTail);
            return target.size() > 4 && target.endsWith(QStringLiteral(".hlm"), Qt::CaseInsensitive)
                && isTemporaryOf(fileName, target);
        },
        staleSeconds);
}

int removeDeadWriters(const QString& path, int staleSeconds)
{
    const QFileInfo target(path);
    const QString name = target.fileName();
    const QDir folder = target.absoluteDir();
    const QFileInfo lockInfo(path + QStringLiteral(".lock"));
    const bool locked = lockInfo.exists() || lockInfo.isSymLink();
    if (locked && (lockInfo.isSymLink() || !lockInfo.isFile() || lockInfo.ownerId() != ::getuid()))
        return 0;
    if (!locked) {
        // With no one writing, a lock is only worth making when there is something to remove under it.
        const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
        if (std::none_of(names.begin(), names.end(), [&](const QString& entry) { return isTemporaryOf(entry, name); }))
            return 0;
    }
    QLockFile lock(lockInfo.filePath());
    // QLockFile takes over a lock whose process is gone (or is another program now) at once; an empty
    // lock, whose maker was killed before it wrote its name, only by its age. Zero means never by age.
    lock.setStaleLockTime(locked && lockInfo.size() == 0 ? std::max(1, staleSeconds * 1000) : 0);
    if (!lock.tryLock(0))
        return 0;
    const int removed = (locked ? 1 : 0) + removeStale(path, staleSeconds);
    lock.unlock();
    return removed;
}

} // namespace LeftoverFiles
