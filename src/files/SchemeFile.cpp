#include "SchemeFile.h"

#include "DurableSave.h"
#include "LeftoverFiles.h"
#include "ReadFile.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

namespace SchemeFile {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

QByteArray format(const ColorScheme& scheme)
{
    QByteArray line;
    for (int field = 0; field < ColorScheme::ValueCount; ++field) {
        if (field > 0)
            line += ',';
        line += QByteArray::number(scheme.value(field));
    }
    return line + "\r\n";
}

std::optional<ColorScheme> parse(QByteArrayView data, bool complete)
{
    const qsizetype size = data.size();
    qsizetype at = 0;
    // A byte-order mark left by a text editor is not part of the first value.
    if (data.startsWith(QByteArrayView("\xEF\xBB\xBF")))
        at = 3;

    ColorScheme scheme;
    for (int field = 0; field < ColorScheme::ValueCount; ++field) {
        // Between values: blanks and line ends, with at most one comma among them. Before the first
        // value only blanks and line ends.
        bool separated = field == 0;
        bool comma = false;
        while (at < size && (isBlank(data[at]) || isLineEnd(data[at]) || data[at] == ',')) {
            if (data[at] == ',') {
                if (comma || field == 0)
                    return std::nullopt;
                comma = true;
            }
            if (!isBlank(data[at]))
                separated = true;
            ++at;
        }
        if (!separated || at >= size || !isDigit(data[at]))
            return std::nullopt;

        int value = 0;
        while (at < size && isDigit(data[at])) {
            value = value * 10 + (data[at] - '0');
            if (value > 255)
                return std::nullopt;
            ++at;
        }
        // A value ends at a blank, a separator or the end of the file; "1.5", "12abc" are not values.
        if (at < size && !isBlank(data[at]) && !isLineEnd(data[at]) && data[at] != ',')
            return std::nullopt;
        if (at >= size && !complete && field == ColorScheme::ValueCount - 1)
            return std::nullopt;
        scheme.setValue(field, static_cast<qint16>(value));
    }
    return scheme;
}

std::optional<ColorScheme> read(const QString& path, QString* reason)
{
    const ReadFile::Result file = ReadFile::read(path, ReadLimit);
    if (!file.ok()) {
        if (reason)
            *reason = file.reason();
        return std::nullopt;
    }
    return parse(file.data, file.complete || file.data.size() < ReadLimit);
}

namespace {

// Why a scheme must not be written at `path`, or an empty text. A save replaces the target by renaming
// a new file over it, so the target has to be an ordinary file (never a device such as /dev/null) in
// an ordinary folder (never the kernel's proc or sys trees, where such a rename is meaningless).
QString unsafeTarget(const QString& path)
{
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        return QStringLiteral("%1 is not an ordinary file").arg(path);
    static const QByteArray pseudo[] = {"proc", "sysfs", "devtmpfs", "devpts", "debugfs", "tracefs", "securityfs",
        "cgroup", "cgroup2", "configfs", "efivarfs", "bpf"};
    const QByteArray type = QStorageInfo(target.absolutePath()).fileSystemType();
    for (const QByteArray& name : pseudo)
        if (type == name)
            return QStringLiteral("%1 is on a system file system").arg(path);
    return {};
}

} // namespace

bool write(const QString& path, const ColorScheme& scheme, QString* error)
{
    if (const QString why = unsafeTarget(path); !why.isEmpty()) {
        if (error)
            *error = why;
        return false;
    }
    // Unbuffered, so that a full disk fails write() itself. A buffered QSaveFile only writes its bytes
    // inside commit(), which goes on to rename the new file over the old one even when that last write
    // failed, leaving an empty or cut scheme where the old one was.
    LeftoverFiles::removeStaleSchemeTemporaries(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    const QByteArray bytes = format(scheme);
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && file.write(bytes) == bytes.size() && file.flush()
        && DurableSave::commit(file))
        return true;
    if (error)
        *error = file.errorString();
    // The new file is dropped (QSaveFile removes it when it is destroyed unfinished); the old one stays.
    file.cancelWriting();
    return false;
}

} // namespace SchemeFile
