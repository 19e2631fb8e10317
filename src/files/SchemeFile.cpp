#include "SchemeFile.h"

#include <QFile>
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

std::optional<ColorScheme> read(const QString& path)
{
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray data = file.read(ReadLimit);
    const bool complete = file.atEnd() || data.size() < ReadLimit;
    return parse(data, complete);
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
    QSaveFile file(path);
    const QByteArray bytes = format(scheme);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!written && error)
        *error = file.errorString();
    return written;
}

} // namespace SchemeFile
