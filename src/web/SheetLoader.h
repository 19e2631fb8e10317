#pragma once

#include <QString>
#include <functional>
#include <optional>

// Reads the style sheets a page links and a style sheet imports. `href` is the address as written,
// `from` the name of the text that links it (a file's path, or empty for pasted text). The loader gives
// the sheet's text and its own name (what its @import rules are relative to), or a note saying why
// it gave none: a remote address, a missing file.
struct LoadedSheet {
    std::optional<QString> text;
    QString name;
    QString note;
};
using SheetLoader = std::function<LoadedSheet(const QString& href, const QString& from)>;
