#include "SchemeFile.h"

#include "DurableSave.h"
#include "LeftoverFiles.h"
#include "ReadFile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>
#include <algorithm>
#include <cerrno>

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

QByteArray format(const ColourScheme& scheme)
{
    QByteArray line;
    for (int field = 0; field < ColourScheme::ValueCount; ++field) {
        if (field > 0)
            line += ',';
        line += QByteArray::number(scheme.value(field));
    }
    return line + "\r\n";
}

namespace {

// The bytes from `at` to the next blank, separator or line end, as the user may be shown them.
QString shownValue(QByteArrayView data, qsizetype at)
{
    qsizetype end = at;
    while (end < data.size() && !isBlank(data[end]) && !isLineEnd(data[end]) && data[end] != ',')
        ++end;
    const QString text = QString::fromUtf8(data.sliced(at, std::min<qsizetype>(end - at, 24)));
    return end - at > 20 ? text.first(std::min<qsizetype>(text.size(), 20)) + QChar(0x2026) : text;
}

bool isBinary(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && !isBlank(c) && !isLineEnd(c)) || byte == 0x7f;
}

QString tr(const char* text)
{
    return QCoreApplication::translate("SchemeFile", text);
}

// The scheme in `data`; or, with `why` given, why there is none.
std::optional<ColourScheme> parsed(QByteArrayView data, bool complete, QString* why)
{
    const qsizetype size = data.size();
    qsizetype at = 0;
    // A byte-order mark left by a text editor is not part of the first value.
    if (data.startsWith(QByteArrayView("\xEF\xBB\xBF")))
        at = 3;
    int line = 1;
    const auto fail = [&](const QString& text) {
        if (why)
            *why = text;
        return std::nullopt;
    };

    ColourScheme scheme;
    for (int field = 0; field < ColourScheme::ValueCount; ++field) {
        // Between values: blanks and line ends, with at most one comma among them. Before the first
        // value only blanks and line ends.
        bool separated = field == 0;
        bool comma = false;
        while (at < size && (isBlank(data[at]) || isLineEnd(data[at]) || data[at] == ',')) {
            if (data[at] == ',') {
                if (field == 0)
                    return fail(tr("line %1 starts with a comma where the first value should be").arg(line));
                if (comma)
                    return fail(tr("on line %1, value %2 is missing between two commas").arg(line).arg(field + 1));
                comma = true;
            }
            if (data[at] == '\n' || (data[at] == '\r' && (at + 1 == size || data[at + 1] != '\n')))
                ++line;
            if (!isBlank(data[at]))
                separated = true;
            ++at;
        }
        if (at >= size) {
            if (!complete)
                return fail(tr("its fifteen values do not come within the first %1 KiB").arg(ReadLimit / 1024));
            if (field == 0)
                return fail(tr("it holds no values"));
            return fail(tr("it ends after %1 of the fifteen values").arg(field));
        }
        if (!separated)
            return fail(tr("on line %1, values %2 and %3 are parted by blanks only, with no comma")
                            .arg(line)
                            .arg(field)
                            .arg(field + 1));
        const qsizetype start = at;
        const auto notAValue = [&] {
            if (std::any_of(data.begin() + start, data.begin() + std::min(size, start + 24), isBinary))
                return fail(tr("on line %1, value %2 is binary data, not text").arg(line).arg(field + 1));
            return fail(tr("on line %1, value %2 is \u201c%3\u201d, not a whole number from 0 to 255")
                            .arg(line)
                            .arg(field + 1)
                            .arg(shownValue(data, start)));
        };
        if (!isDigit(data[at]))
            return notAValue();

        int value = 0;
        while (at < size && isDigit(data[at])) {
            value = value * 10 + (data[at] - '0');
            if (value > 255) {
                if (!why)
                    return std::nullopt;
                while (at < size && isDigit(data[at]))
                    ++at;
                if (at < size && !isBlank(data[at]) && !isLineEnd(data[at]) && data[at] != ',')
                    return notAValue();
                return fail(
                    tr("on line %1, value %2 is %3, above 255").arg(line).arg(field + 1).arg(shownValue(data, start)));
            }
            ++at;
        }
        // A value ends at a blank, a separator or the end of the file; "1.5", "12abc" are not values.
        if (at < size && !isBlank(data[at]) && !isLineEnd(data[at]) && data[at] != ',')
            return notAValue();
        if (at >= size && !complete && field == ColourScheme::ValueCount - 1)
            return fail(tr("its fifteen values do not come within the first %1 KiB").arg(ReadLimit / 1024));
        scheme.setValue(field, static_cast<qint16>(value));
    }
    return scheme;
}

} // namespace

std::optional<ColourScheme> parse(QByteArrayView data, bool complete)
{
    return parsed(data, complete, nullptr);
}

QString problem(QByteArrayView data, bool complete)
{
    QString why;
    parsed(data, complete, &why);
    return why;
}

QString Failure::describe(const QString& shownName) const
{
    switch (kind) {
    case Kind::None:
        break;
    case Kind::Missing:
        return tr("\u201c%1\u201d does not exist (%2).").arg(shownName, detail);
    case Kind::Unreadable:
        return tr("\u201c%1\u201d could not be read: %2.").arg(shownName, detail);
    case Kind::Folder:
        return tr("\u201c%1\u201d is a folder, not a file.").arg(shownName);
    case Kind::NotOrdinary:
        return tr("\u201c%1\u201d is not an ordinary file but a device, a pipe or a socket.").arg(shownName);
    case Kind::Empty:
        return tr("\u201c%1\u201d is empty.").arg(shownName);
    case Kind::NotScheme:
        return tr("\u201c%1\u201d is not a scheme file: %2.").arg(shownName, detail);
    }
    return {};
}

std::optional<ColourScheme> read(const QString& path, QString* reason, Failure* failure)
{
    Failure found;
    const ReadFile::Result file = ReadFile::read(path, ReadLimit);
    std::optional<ColourScheme> scheme;
    if (file.error == ENOENT || file.error == ENOTDIR) {
        found = {Failure::Kind::Missing, file.reason()};
    } else if (file.notOrdinary) {
        found = {QFileInfo(path).isDir() ? Failure::Kind::Folder : Failure::Kind::NotOrdinary, file.reason()};
    } else if (!file.ok()) {
        found = {Failure::Kind::Unreadable, file.reason()};
    } else {
        const bool complete = file.complete || file.data.size() < ReadLimit;
        scheme = parsed(file.data, complete, &found.detail);
        if (!scheme)
            found.kind = file.data.trimmed().isEmpty() ? Failure::Kind::Empty : Failure::Kind::NotScheme;
    }
    if (reason && !file.ok())
        *reason = file.reason();
    if (failure)
        *failure = found;
    return scheme;
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

bool write(const QString& path, const ColourScheme& scheme, QString* error)
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
