#pragma once

#include <QString>
#include <QtGlobal>

// The one limit on the tags, pages and style sheets Hueloom reads. The tag box holds no more (a paste
// or drop that would make it longer is refused), Apply Tag reads no more, and `hueloom --check` and
// `--fix` read no longer HTML or CSS file. It counts characters as the tag box does, in UTF-16 code
// units (a character beyond the Basic Multilingual Plane, most emoji, counts two), so a page is
// taken or refused alike whether it is pasted or read from a file, whatever its bytes: 3 Mi "é" are
// 3 Mi characters, and 6 MiB of UTF-8.
namespace TextLimit {

inline constexpr qsizetype MaxCharacters = qsizetype(4) << 20;

// No file of more bytes holds MaxCharacters or fewer: UTF-8 spends at most three bytes on a UTF-16
// code unit (four on two), and a byte order mark three more.
inline constexpr qint64 MaxFileBytes = 3 * qint64(MaxCharacters) + 3;

// Whether a text of `characters` UTF-16 code units is too long to be read.
constexpr bool tooLong(qsizetype characters)
{
    return characters > MaxCharacters;
}

// What every refusal says, after "This text is" or "FILE:": "too long: Hueloom reads at most
// 4,194,304 characters of a tag, page or style sheet".
QString tooLongMessage();

} // namespace TextLimit
