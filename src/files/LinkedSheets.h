#pragma once

#include "web/SheetLoader.h"

namespace LocalSheets {

// Reads local files only, relative to the file that links them; never the network.
LoadedSheet load(const QString& href, const QString& from);

} // namespace LocalSheets
