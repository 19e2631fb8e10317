#pragma once

#include <stop_token>

#include "Cascade.h"
#include "HtmlDocument.h"
#include "SheetLoader.h"
#include "colour/ColorScheme.h"

#include "colour/Rgb.h"
#include <QStringList>
#include <QStringView>
#include <array>
#include <optional>

// The five colours a browser shows for a page or a style sheet: the canvas, the body's text, and the
// body's first link unvisited, visited and pressed (hovered, active and focused at once). What the
// page leaves unset is the browser's own default; translucent colours are painted over what lies
// beneath them, as the browser paints them on an 8-bit sRGB page.
class PageColours {
public:
    enum class Kind { Page, StyleSheet };
    // What readings of the same text share, such as its light and its dark reading: the page's tree
    // and its style sheets, parsed once. Used by one reading at a time.
    struct Shared {
        QString page;
        std::shared_ptr<const PageTree> tree; // the tree of `page`
        Cascade::ParsedSheets sheets;
    };
    struct Options {
        bool dark = false; // the colour scheme the reader prefers
        QString fileName; // what linked style sheets are relative to; empty for pasted text
        SheetLoader loader; // none: linked style sheets are not followed
        std::stop_token stop; // a reading stopped through it is abandoned
        std::shared_ptr<Shared> shared; // none: the reading parses all it reads itself
    };

    static PageColours read(QStringView text, Kind kind, const Options& options);
    // Whether pasted text is a page: markup outside CSS strings, comments and url().
    static bool holdsMarkup(QStringView text);

    std::array<Argb, Slot::Count> colours{}; // in Slot order, opaque
    QStringList unusable; // values set that could not be read
    QStringList notes; // style sheets not read, a page too complex to finish: a few lines at most
    QList<ReadingNotes::Reason> shortfalls; // why the reading stopped short; empty when it read it all
    std::array<std::optional<Argb>, Slot::Count> named{}; // the slots named by custom properties
    bool authored = false; // whether the text itself set any of the colours
    bool schemeSensitive = false; // whether the other colour scheme could read differently
    HtmlDocument::Attributes bodyAttributes;
    // The body's margins as the page's declarations give them ("12px", "var(--x)" resolved); empty
    // where they give none, and "" where what var() gave is invalid.
    std::optional<QString> marginLeft;
    std::optional<QString> marginTop;

    // The work a reading took, in steps, for the tests of linear time.
    qint64 steps = 0;
};
