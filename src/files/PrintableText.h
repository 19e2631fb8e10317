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

} // namespace PrintableText
