#pragma once

#include <QString>

// Text from outside the program (a file name, a value read from a file) made safe to print on a
// terminal: a name holding a line end must not print a line of its own that looks like a report.
namespace PrintableText {

// `text` with control characters written as escapes, as a C or JSON string would: "\n", "\r", "\t",
// "\\" for the backslash itself (so an escape cannot be forged), "\xNN" for the other C0 and C1 controls
// and DEL, and "\u{NNNN}" for the line and paragraph separators and the bidirectional overrides that
// would reorder or break the printed line. Everything else is kept as it is.
QString escaped(const QString& text);

// What the window does with a line end in a text it shows.
enum class LineEnds { Escaped, Kept };

// `text` as the window shows it: every control written as escaped() writes it, so that a pasted
// right-to-left override cannot turn a message round. The backslash stays as it is, since nothing reads
// the window's texts back and a pasted CSS escape should look as pasted. With LineEnds::Kept a line end
// stays a line break, for a message the program itself lays out in lines; a name keeps it escaped.
QString shown(const QString& text, LineEnds lineEnds = LineEnds::Escaped);

} // namespace PrintableText
