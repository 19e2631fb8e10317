#pragma once

#include "PageColours.h"
#include "SheetLoader.h"
#include "colour/ColourScheme.h"

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

// What a text is, told once before it is read, by the same rule for every reader: design tokens as
// JSON, one <body …> start tag alone, a page (markup outside CSS strings, comments and url()), or else
// a style sheet.
enum class TextKind { DesignTokens, BodyTag, StyleSheet, Page };

// What a text that gave nothing holds instead, worked out from what its reading parsed, for the user
// to mend it. The words are the window's.
struct Instead {
    bool noStyleSheet = false; // a page or a tag with no style element
    // A style sheet without a single rule: a value, or words; and what it is.
    bool noRules = false;
    QString varUsed; // the custom property its var() names, "--x"
    bool picture = false; // a gradient or an image
    bool colour = false; // one colour, with nothing to say where it goes
    QStringList otherSelectors; // rules for elements other than the page, its body and its links
    QStringList customsOnly; // custom properties of rules that set nothing else
    QStringList unsetVars; // custom properties colours are taken from that the text never sets
    QStringList pictures; // gradients and images where a colour should be, "background: linear-gradient(…)"
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
    TextKind kind = TextKind::StyleSheet; // what the text was read as
    Instead instead; // set only when nothing was found
    // Every text of a page or style sheet judged, when the options asked for it (ReadingOptions::judge).
    std::optional<PageJudgement> judgement;
};

// How to read a text: as which kind, in which colour scheme, and how to reach what it links.
using Options = ReadingOptions;

// What `text` is when it is read as `asked` says: a kind that is not Guess is taken as it is.
TextKind sniff(QStringView text, Options::Kind asked = Options::Kind::Guess);
// Whether the text's tokens hold markup: a < delimiter before an identifier, a / or a !. Every < is
// weighed, where sniff tokenizes only a text with a < that could start markup.
bool markupTokens(QStringView text);

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
