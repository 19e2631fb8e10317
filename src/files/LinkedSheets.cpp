#include "LinkedSheets.h"

#include "ReadFile.h"
#include "web/TextLimit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace LocalSheets {

namespace {

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
    // Opened as every file the user names is: a FIFO or a device in the sheet's place is refused at once.
    const QString clean = QDir::cleanPath(path);
    const ReadFile::Result file = ReadFile::read(clean, TextLimit::MaxFileBytes);
    if (!file.ok()) {
        result.note = tr("The style sheet %1 could not be read (%2), so it was left out.").arg(trimmed, file.reason());
        return result;
    }
    const QString text = QString::fromUtf8(file.data);
    if (!file.complete || TextLimit::tooLong(text.size())) {
        result.note = tr("The style sheet %1 is too large, so it was left out.").arg(trimmed);
        return result;
    }
    result.text = text;
    result.name = QFileInfo(clean).absoluteFilePath();
    return result;
}

} // namespace LocalSheets
