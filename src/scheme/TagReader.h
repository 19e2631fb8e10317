#pragma once

#include "ColorScheme.h"
#include "Margins.h"

#include <QColor>
#include <QStringView>
#include <array>
#include <optional>

// Reads back what the user typed or pasted into the tag box: a BODY tag with any of its colour and
// margin attributes, or CSS with rules for body, a:link, a:visited and a:active. Only what is there
// is found; a slot or margin the text does not give stays empty.
//
// In a tag, attribute names and values follow HTML: any case and order, values quoted with " or ' or
// not at all, colours as ColourText reads them, unknown attributes ignored, and of a repeated attribute
// the first one counts. Margins are whole numbers, optionally with px.
// In CSS, body takes background-color, background (its colour part), color, margin-left, margin-top
// and the margin shorthand; the link rules take color. Comments, selector lists, any whitespace and
// !important are understood; as in a browser, a later declaration beats an earlier one unless only the
// earlier one is !important. Margins are px or a bare 0. Declarations whose value is not usable here
// (inherit, 2em, transparent) are passed over. Rules inside @media and other at-rules are skipped.
// Text holding both, such as a whole page, gives the tag's attributes overridden by the style sheet's
// rules, again as a browser shows it.
namespace TagReader {

struct Found {
    std::array<std::optional<QColor>, Slot::Count> colours; // in Slot order
    std::optional<int> leftMargin; // clamped to 0..50
    std::optional<int> topMargin; // clamped to 0..50

    bool isEmpty() const;
    bool operator==(const Found&) const = default;
};

Found read(QStringView text);

// Gives each found colour to its slot; a found margin ticks that margin's use and takes the value.
// Returns whether the scheme or the margins changed.
bool apply(const Found& found, ColorScheme& scheme, Margins& margins);

} // namespace TagReader
