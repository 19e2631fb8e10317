#pragma once

#include <stop_token>

#include "Cascade.h"
#include "PageJudgement.h"
#include "SheetLoader.h"
#include "TagStyle.h"
#include "colour/ColourScheme.h"
#include "html/HtmlDocument.h"

#include "colour/Rgb.h"
#include <QStringList>
#include <QStringView>
#include <array>
#include <memory>
#include <optional>

// What readings of the same text share, such as its light and its dark reading: the page's tree and
// its style sheets, parsed once. Used by one reading at a time.
struct SharedReading {
    QString page;
    std::shared_ptr<const PageTree> tree; // the tree of `page`
    Cascade::ParsedSheets sheets;
};

// How to read a text: as which kind, in which colour scheme, and how to reach what it links. One type
// for TagReader, which guesses the kind, and PageColours, which is told it.
struct ReadingOptions {
    enum class Kind { Guess, Page, StyleSheet };
    bool dark = false; // the colour scheme the reader prefers
    QString fileName; // the file read, which linked style sheets are relative to; empty for pasted text
    SheetLoader loader; // none: linked style sheets are not followed
    std::stop_token stop; // a reading stopped through it finds nothing
    // Shared by readings of the same text in both colour schemes, so that it is parsed once; none: the
    // reading parses all it reads itself.
    std::shared_ptr<SharedReading> shared;
    Kind kind = Kind::Guess; // Guess: a page when it holds markup outside CSS strings and comments
    // Read as a browser shows it, the browser's defaults for what it leaves unset, even when it sets no
    // colour at all: as a file is read, and standard input for a check. Pasted text that sets nothing
    // finds nothing instead.
    bool asShown = false;
    // Judge every text of the page against what lies behind it, to these needs: see PageJudgement.
    std::optional<PageJudgement::Needs> judge = {};
};

// The five colours a browser shows for a page or a style sheet: the canvas, the body's text, and the
// body's first link unvisited, visited and pressed (hovered, active and focused at once). What the
// page leaves unset is the browser's own default; translucent colours are painted over what lies
// beneath them, as the browser paints them on an 8-bit sRGB page.
class PageColours {
public:
    enum class Kind { Page, StyleSheet };
    using Shared = SharedReading;
    using Options = ReadingOptions; // its kind is not read: `kind` says it

    static PageColours read(QStringView text, Kind kind, const Options& options);

    std::array<Argb, Slot::Count> colours{}; // in Slot order, opaque
    QStringList unusable; // values set that could not be read
    QStringList notes; // style sheets not read, a page too complex to finish: a few lines at most
    QList<ReadingNotes::Reason> shortfalls; // why the reading stopped short; empty when it read it all
    std::array<std::optional<Argb>, Slot::Count> named{}; // the slots named by custom properties
    bool authored = false; // whether the text itself set any of the colours
    bool schemeSensitive = false; // whether the other colour scheme could read differently
    HtmlDocument::Attributes bodyAttributes;
    // The body's margins: its margin attributes under what the page's declarations give (var()
    // resolved); empty where neither gives one.
    std::optional<TagStyle::Value> marginLeft;
    std::optional<TagStyle::Value> marginTop;

    // Every text of the page judged, when the options asked for it.
    std::optional<PageJudgement> judgement;

    // The work a reading took, in steps, for the tests of linear time.
    qint64 steps = 0;
};
