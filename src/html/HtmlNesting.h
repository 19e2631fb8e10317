#pragma once

#include <QByteArray>
#include <stop_token>

// How deep the HTML parser (gumbo) can nest the elements of a text, found before it parses the text.
// The parser's work grows with the square of the depth (a start tag looks down the stack of open
// elements): 100,000 levels of <rb> take it a minute. So a start tag that could open an element
// deeper than MaxDepth is made text, and what it would have held goes to the level above, as
// browsers do (Chromium stops nesting at 512 levels); real pages stay far below.
//
// The count follows the tree construction rules closely enough to be an over-estimate whatever the
// tag soup: a start tag opens an element unless it is void; an end tag closes only what the parser
// would close with it (one with no open element of its name closes nothing, `</x>` does not close
// past a <div>, `</div>` not past a table); elements closed on the parser's own (a <p> by a <div>, an
// <li> by the next, a cell by the next) are closed only where the rules leave no doubt; formatting
// elements (<b>, <font>…) closed by another element's end tag stay counted, since the parser opens
// them again; comments and the text of script, style, textarea and title hold no tags.
namespace HtmlNesting {

inline constexpr int MaxDepth = 512;
// The parser also compares each attribute of a tag with every one before it. So a tag keeps its
// first MaxAttributes attributes only (real tags hold a few dozen at most), and an attribute whose
// name came earlier in the tag is taken out before the parser sees it, as the parser would drop it.
inline constexpr int MaxAttributes = 128;
// And the parser's tree takes a few hundred bytes an element or attribute: the text ends before the
// start tag past the first MaxElements, or that takes the attributes past MaxAttributesInAll, more
// than a real page of the size Hueloom reads holds (a dense table of 4 MiB may come near).
inline constexpr int MaxElements = 150'000;
inline constexpr qsizetype MaxAttributesInAll = 300'000;

struct Scan {
    int deepest = 0; // the deepest the parser may now nest the text
    qsizetype flattened = 0; // how many start tags were made text
    qsizetype droppedAttributes = 0; // how many attributes past a tag's first MaxAttributes were dropped
    bool cut = false; // whether the text was ended early, past MaxElements or MaxAttributesInAll
};

// Makes text of each start tag in `utf8` that could nest deeper than MaxDepth (its '<' becomes a
// space), and blanks the attributes the parser is not to see. Stops early, leaving the rest as it is,
// once `stop` is requested.
Scan flatten(QByteArray& utf8, const std::stop_token& stop = {});

} // namespace HtmlNesting
