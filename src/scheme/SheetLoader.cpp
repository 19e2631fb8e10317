#include "SheetLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace LocalSheets {

namespace {

constexpr qint64 MaximumSize = 16 * 1024 * 1024; // larger than any real style sheet

QString tr(const char* text)
{
    return QCoreApplication::translate("LocalSheets", text);
}

} // namespace

LoadedSheet load(const QString& href, const QString& from)
{
    LoadedSheet result;
    const QString trimmed = href.trimmed();
    const QUrl url(trimmed);
    QString path;
    if (url.isValid() && !url.scheme().isEmpty() && url.scheme().size() > 1) {
        if (url.scheme() != QLatin1String("file")) {
            result.note = tr("The style sheet %1 is not on this computer, so it was not read.").arg(trimmed);
            return result;
        }
        path = url.toLocalFile();
    } else if (trimmed.startsWith(QLatin1String("//"))) {
        result.note = tr("The style sheet %1 is not on this computer, so it was not read.").arg(trimmed);
        return result;
    } else {
        if (from.isEmpty()) {
            result.note = tr("The style sheet %1 was not read: pasted text has no folder to find it in.").arg(trimmed);
            return result;
        }
        // A relative address: its path part, without any query or fragment.
        QString relative = QUrl::fromPercentEncoding(trimmed.section(u'#', 0, 0).section(u'?', 0, 0).toUtf8());
        path = QDir::isAbsolutePath(relative) ? relative : QFileInfo(from).dir().filePath(relative);
    }
    QFile file(QDir::cleanPath(path));
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly)) {
        result.note = tr("The style sheet %1 could not be read, so it was left out.").arg(trimmed);
        return result;
    }
    const QByteArray bytes = file.read(MaximumSize + 1);
    if (bytes.size() > MaximumSize) {
        result.note = tr("The style sheet %1 is too large, so it was left out.").arg(trimmed);
        return result;
    }
    result.text = QString::fromUtf8(bytes);
    result.name = QFileInfo(file).absoluteFilePath();
    return result;
}

} // namespace LocalSheets
