#pragma once

#include "web/SheetLoader.h"

namespace LocalSheets {

// Where a style sheet's address leads: a file on this computer, relative to the folder of the file that
// links it; never the network. A file: URL is a local file, its relative path from that folder too, and
// file://localhost/ is this computer; an address whose path holds a NUL character names no file.
SheetPlace locate(const QString& href, const QString& from);
// The file's text, opened as every file the user names is.
LoadedSheet read(const QString& file);
// The two, as a reading follows links and imports with them.
SheetLoader loader();

} // namespace LocalSheets
