#pragma once

#include "colour/ColourScheme.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// HLM scheme files: the fifteen channel values, slot by slot, red, green, blue, as one line of
// decimal numbers joined by commas and ended by CR LF.
namespace SchemeFile {

// Never read more than this much of a file looking for the fifteen values.
inline constexpr qsizetype ReadLimit = 64 * 1024;

QByteArray format(const ColourScheme& scheme);

// The scheme in `data`, or nothing unless all fifteen values are there and valid: whole numbers
// 0..255, separated by a comma or by line ends (CR LF, LF or CR), with spaces or tabs around a value
// and blank lines allowed. Whatever follows the fifteenth value is ignored. `complete` says whether
// `data` is the whole file; when it is not, the fifteenth value must end before `data` does.
// Safe on any bytes.
std::optional<ColourScheme> parse(QByteArrayView data, bool complete = true);

// Why parse() finds no scheme in `data`, for the user: the line and the value at fault and what stands
// there ("on line 1, value 4 is 300, above 255"); empty when `data` holds a scheme.
QString problem(QByteArrayView data, bool complete = true);

// Why a file gave no scheme.
struct Failure {
    enum class Kind { None, Missing, Unreadable, Folder, NotOrdinary, Empty, NotScheme };
    Kind kind = Kind::None;
    QString detail; // the system's reason (Unreadable) or what is wrong inside (NotScheme)

    // One sentence naming the file as `shownName` and what was wrong with it.
    QString describe(const QString& shownName) const;
};

// Reads a scheme file, at most ReadLimit bytes of it. Anything but an ordinary file (a folder, a FIFO,
// a pipe, a socket, a device) is refused at once, without waiting on it. When the file cannot be opened
// or read, `reason` gets the system's word for why ("Permission denied"); it is left empty for a file
// that was read but holds no scheme.
// `failure`, when given, says what was wrong in either case.
std::optional<ColourScheme> read(const QString& path, QString* reason = nullptr, Failure* failure = nullptr);

// Writes a scheme file atomically: the file is replaced whole or, on any failure (a full disk too),
// left as it was, and no new or temporary file stays behind. The new file is on the disk before it
// replaces the old one. What earlier saves killed before their rename left in the folder goes first.
bool write(const QString& path, const ColourScheme& scheme, QString* error = nullptr);

} // namespace SchemeFile
