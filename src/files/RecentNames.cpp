#include "RecentNames.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace RecentNames {

namespace {

// The last `depth` parts of the folder of `path`, or the whole folder when it has no more.
QString folderEnd(const QString& path, qsizetype depth)
{
    const QString folder = QFileInfo(path).path();
    const QStringList parts = folder.split(QLatin1Char('/'));
    if (depth >= parts.size())
        return QDir::toNativeSeparators(folder);
    return QDir::toNativeSeparators(parts.sliced(parts.size() - depth).join(QLatin1Char('/')));
}

} // namespace

QStringList shown(const QStringList& paths)
{
    QHash<QString, QList<qsizetype>> byName;
    for (qsizetype i = 0; i < paths.size(); ++i)
        byName[QFileInfo(paths.at(i)).fileName()].append(i);
    QStringList texts(paths.size());
    for (auto group = byName.cbegin(); group != byName.cend(); ++group) {
        if (group->size() == 1) {
            texts[group->first()] = group.key();
            continue;
        }
        // The fewest trailing folder parts that differ for every file of this name.
        for (qsizetype depth = 1;; ++depth) {
            QSet<QString> ends;
            bool whole = true;
            for (const qsizetype i : *group) {
                ends.insert(folderEnd(paths.at(i), depth));
                whole &= depth >= QFileInfo(paths.at(i)).path().count(QLatin1Char('/')) + 1;
            }
            if (ends.size() == group->size() || whole) {
                for (const qsizetype i : *group)
                    texts[i] = QStringLiteral("%1 (%2)").arg(group.key(), folderEnd(paths.at(i), depth));
                break;
            }
        }
    }
    return texts;
}

} // namespace RecentNames
