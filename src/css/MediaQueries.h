#pragma once

#include "css/CssParser.h"

#include <functional>

// @media, the media of a style sheet's link or @import, and @supports, answered for the window this
// program reads pages in: a screen of 1280 × 800 CSS pixels at one device pixel per CSS pixel, in
// colour, with no pointer that hovers (as the headless browser whose pixels the tests record), and the
// colour scheme asked for.
namespace MediaQueries {

struct Environment {
    bool dark = false;
    double width = 1280;
    double height = 800;
    // Set when a query asked for the colour scheme: what was read may then differ in the other one.
    mutable bool schemeAsked = false;
    // A container's box, whose size container queries ask: width and height are its own, NaN where
    // unknown, and no feature of the window is known.
    bool container = false;
};

// A media query list; an empty one holds.
bool matches(const CssValues& queries, const Environment& environment);
// An @container condition, less its name, for a container of the size given (NaN where unknown):
// width, height, inline-size, block-size, aspect-ratio and orientation, with not, and, or.
bool containerMatches(const CssValues& condition, double width, double height);
// Whether the selector list inside selector() is one the reader takes.
using SelectorTest = std::function<bool(const CssValues& selectors)>;
// An @supports condition: declarations the browser takes, selector(), not, and, or.
bool supports(const CssValues& condition, const SelectorTest& selectorParses);

} // namespace MediaQueries
