#pragma once

#include "web/TagReader.h"

#include <QString>
#include <QStringView>

// Why a text gave the user nothing, said so that they can mend it: the text quoted, cut short, and
// what stands in the way.
namespace Refusals {

// `text` on one line, cut to about `length` characters with "…".
QString clipped(QStringView text, qsizetype length = 40);
// The same in quotation marks.
QString quoted(QStringView text, qsizetype length = 40);

// Why `text` (trimmed, as Paste Color reads it) is no colour: an unknown name, the wrong number of hex
// digits, var() with no page to look in, a page or style rules instead of one colour.
QString notAColour(QStringView text);

// What a tag box text that gave nothing usable holds, and why none of it could be used: rules for
// other elements, custom properties no colour uses, var() of a property never set, gradients and images,
// in words, from what its reading found instead (TagReader::Instead); the text is not read again.
QString nothingUsable(QStringView text, const TagReader::Reading& reading);

} // namespace Refusals
