#pragma once

#include <QString>
#include <functional>
#include <optional>

// Reads the style sheets a page links and a style sheet imports, in two steps, so that a reading reads
// each file once however many addresses lead to it. locate() finds the file an address leads to: `href`
// is the address as written, `from` the name of the text that links it (a file's path, or empty for
// pasted text). read() gives that file's text, or a note saying why it gave none.
struct SheetPlace {
    QString file; // the file's absolute path, what its own @import rules are relative to; empty for none
    QString note; // why there is none: a remote address, pasted text with no folder
};
struct LoadedSheet {
    std::optional<QString> text;
    QString note; // why there is no text: a missing file, one too large
    qint64 bytes = 0; // read from the file, whether or not it gave text
};
struct SheetLoader {
    std::function<SheetPlace(const QString& href, const QString& from)> locate;
    std::function<LoadedSheet(const QString& file)> read;

    explicit operator bool() const { return locate && read; }
};
