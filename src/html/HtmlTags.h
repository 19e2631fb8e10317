#pragma once

#include <QByteArrayView>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

// Tags read straight from a page's bytes, as the HTML tokenizer reads them, and what the tree
// construction rules say of each element: enough for HtmlNesting to count how deep the parser will nest
// a text before it parses it.
namespace HtmlTags {

// What the tree construction rules say about an element of the HTML namespace, by its name. Only
// what an over-estimate of the depth needs: where a rule is in doubt, the element stays counted.
enum Role : unsigned {
    Void = 1u << 0, // never left open: br, img…
    Special = 1u << 1, // the "special" category: an end tag of another name closes nothing past it
    Scope = 1u << 2, // ends a search "in scope": table, td, object…; select too, since inside it end tags do nothing
    TableScope = 1u << 3, // ends a search "in table scope": html, table, template
    Formatting = 1u << 4, // on the list of active formatting elements, so opened again when closed by another
    Marker = 1u << 5, // puts a marker on that list, so the formatting elements inside it are not opened again
    ClosesP = 1u << 6, // a start tag that closes an open <p>
    ClosesInScope = 1u << 7, // an end tag that closes what is open above its element, within scope
    Heading = 1u << 8,
    TableCell = 1u << 9,
    TableSection = 1u << 10, // tbody, thead, tfoot
    RawText = 1u << 11, // its text runs to its own end tag and holds no tags
    Breakout = 1u << 12, // leaves svg and math content
    Integration = 1u << 13, // inside svg or math, holds HTML again
    Foreign = 1u << 14, // svg, math
};

// The roles of the element of this lower-case name; none for an element the rules say nothing of.
unsigned roleOf(std::string_view name);

// Whether an svg or math element of this name holds HTML again.
bool isIntegrationPoint(std::string_view name);

inline bool isSpace(char c)
{
    return c == ' ' || c == '\n' || c == '\t' || c == '\f' || c == '\r';
}

inline bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

inline char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// A tag as the tokenizer reads it: its name, and where it ends (attribute values in quotes may hold
// '<' and '>').
struct Tag {
    qsizetype nameEnd = 0;
    qsizetype end = 0; // just past its '>'
    bool selfClosing = false;
};

// The tag whose name starts at `at`; nothing when the text ends inside it (the parser then drops it).
// With `dropped`, the spans of the attributes the parser is not to see are added to it, `overLimit`
// counts those past the limit, and `kept` those it is to see.
std::optional<Tag> readTag(QByteArrayView text,
    qsizetype at,
    std::vector<std::pair<qsizetype, qsizetype>>* dropped = nullptr,
    qsizetype* overLimit = nullptr,
    qsizetype* kept = nullptr);

// Where the comment whose text starts at `at` (just after "<!--") ends; -1 when it runs to the end.
qsizetype commentEnd(QByteArrayView text, qsizetype at);

// The first "</name" from `at` on, in any letter case: no later than the parser's own end of the
// element's text (which also wants a space, '/' or '>' after the name); -1 when there is none.
qsizetype rawTextEnd(QByteArrayView text, qsizetype at, QByteArrayView name);

} // namespace HtmlTags
