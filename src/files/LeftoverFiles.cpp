#include "LeftoverFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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

int removeStale(const QString& path, int staleSeconds)
{
    const QFileInfo target(path);
    const QDir folder = target.absoluteDir();
    const QString name = target.fileName();
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-staleSeconds);
    int removed = 0;
    const QFileInfoList candidates
        = folder.entryInfoList({name + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& candidate : candidates) {
        if (!isTemporaryOf(candidate.fileName(), name) || candidate.isSymLink() || !candidate.isFile()
            || candidate.ownerId() != ::getuid() || candidate.lastModified().toUTC() > before)
            continue;
        if (QFile::remove(candidate.absoluteFilePath()))
            ++removed;
    }
    return removed;
}

} // namespace LeftoverFiles
