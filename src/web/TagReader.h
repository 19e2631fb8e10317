#pragma once

#include "PageColours.h"
#include "SheetLoader.h"
#include "colour/ColorScheme.h"

#include "colour/Rgb.h"
#include <QStringList>
#include <QStringView>
#include <array>
#include <memory>
#include <optional>
#include <stop_token>

// Reads back what the user typed or pasted into the tag box exactly as a browser shows it: a BODY tag
// or a whole page, read by the HTML parsing rules, or CSS; or design tokens as JSON (DesignTokens),
// which give only the slots they name.
//
// Two rules decide what is found. A text that is one <body …> start tag and nothing else, as this
// program writes it, gives only what its attributes say: a slot or margin it does not give stays empty,
// so Apply Tag keeps the current colour there. Any other text (a page, a style sheet) gives all five
// colours as a browser shows them, the browser's defaults where the text sets nothing (PageColours),
// in the light or the dark colour scheme; its margins are only those it gives.
//
// In a tag, colour attributes follow the HTML Standard's rules for legacy colour values ("chucknorris"
// is a colour), margins its rules for non-negative integers ("7.5" is 7), marginwidth and
// marginheight win over leftmargin and topmargin, and a style attribute overrides them all. Text with
// no markup is a style sheet; a page's <style> elements are its style sheets. Cascade does the
// cascade, TagStyle reads a lone tag. The colours are those of the page's background, the body's text and a link
// unvisited, visited and active; margins are the body's, kept within 0..50.
namespace TagReader {

// The range a found margin is kept within: the margins a scheme can hold.
inline constexpr int MarginMinimum = 0;
inline constexpr int MarginMaximum = 50;

struct Found {
    std::array<std::optional<Rgb>, Slot::Count> colours; // in Slot order
    std::optional<int> leftMargin; // clamped to 0..50
    std::optional<int> topMargin; // clamped to 0..50

    bool isEmpty() const;
    bool operator==(const Found&) const = default;
};

// What was found, and what the user should hear about it.
struct Reading {
    Found found;
    QStringList limited; // margins kept within 0..50, such as "margin-left: 70px"
    QStringList unusable; // what the text sets but a scheme cannot hold, such as "color: AccentColor"
    QStringList notes; // linked style sheets not read, a page too complex to finish: a few lines at most
    // Why the reading stopped short of all the text gives, linked sheets included: what was found is
    // then what was read before, not what a browser shows. Empty when it read it all.
    QList<ReadingNotes::Reason> shortfalls;
    bool bodyTagAlone = false; // read by the rule for a lone <body> tag rather than as a browser shows it
    bool schemeSensitive = false; // whether reading in the other colour scheme could give other colours
};

// How to read a text: as which kind, in which colour scheme, and how to reach what it links.
struct Options {
    enum class Kind { Guess, Page, StyleSheet };
    Kind kind = Kind::Guess; // Guess: a page when it holds markup outside CSS strings and comments
    bool dark = false;
    QString fileName; // the file read, which linked style sheets are relative to; empty for pasted text
    // Read as a browser shows it, the browser's defaults for what it leaves unset, even when it sets no
    // colour at all: as a file is read, and standard input for a check. Pasted text that sets nothing
    // finds nothing instead.
    bool asShown = false;
    SheetLoader loader; // reads linked style sheets; none for pasted text
    std::stop_token stop; // a reading stopped through it finds nothing
    // Shared by readings of the same text in both colour schemes, so that it is parsed once.
    std::shared_ptr<PageColours::Shared> shared;
};

// A reading stopped through `stop` finds nothing; it stops at the next safe point (within gumbo's
// parse too, at its next tag).
Reading readExplained(QStringView text, const std::stop_token& stop = {});
Reading readExplained(QStringView text, const Options& options);
// The kind a file's name says: .css a style sheet, .html and .htm a page, anything else Guess.
Options::Kind kindOfFile(const QString& fileName);
Found read(QStringView text);
// Only the slots the text names in this program's copy shapes: design tokens, or custom properties
// named after the slots as the cascade leaves them on the body.
Found readNamed(QStringView text);

// The note to add to Apply Tag's outcome: which margins were limited, or for a text with nothing
// usable, what was found instead; empty when there is nothing to say.
QString limitedMessage(const Reading& reading);
QString unusableMessage(const Reading& reading);
// Which of the two rules read the text, in a sentence for Apply Tag's outcome.
QString ruleMessage(const Reading& reading);

} // namespace TagReader
