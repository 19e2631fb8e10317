#pragma once

#include <QString>

class QMimeData;

namespace PastedText {

// The plain text that clipboard or drop data holds; empty for no data at all (an X selection nobody
// owns), data with no text, or an owner that does not answer. The owner is asked for its formats once:
// on X11 every unanswered question costs Qt's 5 s time-out, and Qt would ask again for each of them.
QString of(const QMimeData* data);

} // namespace PastedText
