#include "LinkedSheets.h"

#include "ReadFile.h"
#include "web/ReadingNotes.h"
#include "web/TextLimit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <cctype>

namespace LocalSheets {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("LocalSheets", text);
}

// The path of a relative address, %XX decoded as a browser decodes a file: URL's path: a % not followed
// by two hex digits is a % ("100%.css").
QString decodedPath(QStringView address)
{
    const QByteArray bytes = address.toUtf8();
    QByteArray decoded;
    decoded.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '%' && i + 2 < bytes.size() && std::isxdigit(static_cast<unsigned char>(bytes[i + 1]))
            && std::isxdigit(static_cast<unsigned char>(bytes[i + 2]))) {
            decoded += char(QByteArray(bytes.constData() + i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else {
            decoded += bytes[i];
        }
    }
    return QString::fromUtf8(decoded);
}

SheetPlace none(const char* note, const QString& href)
{
    return {{}, tr(note).arg(ReadingNotes::quoted(href))};
}

} // namespace

SheetPlace locate(const QString& href, const QString& from)
{
    const QString trimmed = href.trimmed();
    const char* const remote = "The style sheet %1 is not on this computer, so it was not read.";
    const QUrl url(trimmed);
    QString path;
    bool fileUrl = false;
    // A scheme of one letter is a drive ("C:/site/a.css"), not a scheme.
    if (url.isValid() && url.scheme().size() > 1) {
        if (url.scheme() != QLatin1String("file"))
            return none(remote, trimmed);
        // file://server/share/a.css is another computer's; file://localhost/a.css is this one's.
        if (!url.host().isEmpty() && url.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0)
            return none(remote, trimmed);
        path = url.path(QUrl::FullyDecoded);
        fileUrl = true;
    } else if (trimmed.startsWith(QLatin1String("//"))) {
        return none(remote, trimmed);
    } else {
        // A relative address: its path part, without any query or fragment.
        path = decodedPath(trimmed.section(u'#', 0, 0).section(u'?', 0, 0));
    }
    // A file name ends at a NUL: a path holding one would open some other file than it names.
    if (path.contains(QChar(0)))
        return none(
            "The style sheet %1 was not read: its address holds a NUL character, which no file name can.", trimmed);
    // Pasted text has no folder, and no place on the disk for "/theme.css" to start from either: only a
    // whole file: URL leads somewhere from it.
    const bool absolute = QDir::isAbsolutePath(path);
    if (from.isEmpty() && !(fileUrl && absolute))
        return none("The style sheet %1 was not read: pasted text has no folder to find it in.", trimmed);
    if (!absolute)
        path = QFileInfo(from).absoluteDir().filePath(path);
    return {QDir::cleanPath(path), {}};
}

LoadedSheet read(const QString& file)
{
    // Opened as every file the user names is: a FIFO or a device in the sheet's place is refused at once.
    const QString shown = ReadingNotes::quoted(QDir::toNativeSeparators(file));
    const ReadFile::Result result = ReadFile::read(file, TextLimit::MaxFileBytes);
    const qint64 bytes = result.data.size();
    if (!result.ok())
        return {std::nullopt,
            tr("The style sheet %1 could not be read (%2), so it was left out.").arg(shown, result.reason()), bytes};
    QString text = QString::fromUtf8(result.data);
    if (!result.complete || TextLimit::tooLong(text.size()))
        return {std::nullopt, tr("The style sheet %1 is too large, so it was left out.").arg(shown), bytes};
    return {std::move(text), {}, bytes};
}

SheetLoader loader()
{
    return SheetLoader{locate, read};
}

} // namespace LocalSheets
