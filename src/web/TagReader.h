#pragma once

#include "colour/ColorScheme.h"

#include <QColor>
#include <QStringList>
#include <QStringView>
#include <array>
#include <optional>
#include <stop_token>

// Reads back what the user typed or pasted into the tag box exactly as a browser shows it: a BODY tag
// or a whole page, read by the HTML parsing rules, or CSS. Only what is there is found; a slot or margin
// the text does not give stays empty.
//
// In a tag, colour attributes follow the HTML Standard's rules for legacy colour values ("chucknorris"
// is a colour), margins its rules for non-negative integers ("7.5" is 7), marginwidth and
// marginheight win over leftmargin and topmargin, and a style attribute overrides them all. Text with
// no markup is a style sheet; a page's <style> elements are its style sheets. PageStyle does the
// cascade. The colours are those of the page's background, the body's text and a link unvisited,
// visited and active; margins are the body's, kept within 0..50.
namespace TagReader {

// The range a found margin is kept within: the margins a scheme can hold.
inline constexpr int MarginMinimum = 0;
inline constexpr int MarginMaximum = 50;

struct Found {
    std::array<std::optional<QColor>, Slot::Count> colours; // in Slot order
    std::optional<int> leftMargin; // clamped to 0..50
    std::optional<int> topMargin; // clamped to 0..50

    bool isEmpty() const;
    bool operator==(const Found&) const = default;
};

// What was found, and what the user should hear about it.
struct Reading {
    Found found;
    QStringList limited; // margins kept within 0..50, such as "margin-left: 70px"
    QStringList unusable; // what the text sets but a scheme cannot hold, such as "color: currentcolor"
};

// A reading stopped through `stop` finds nothing; it stops at the next safe point (within gumbo's
// parse too, at its next tag).
Reading readExplained(QStringView text, const std::stop_token& stop = {});
Found read(QStringView text);

// The note to add to Apply Tag's outcome: which margins were limited, or for a text with nothing
// usable, what was found instead; empty when there is nothing to say.
QString limitedMessage(const Reading& reading);
QString unusableMessage(const Reading& reading);

} // namespace TagReader
