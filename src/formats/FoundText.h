#pragma once

#include "colour/ColourScheme.h"
#include "formats/Margins.h"
#include "web/TagReader.h"

// What the reader found in a text, given to the scheme as Apply Tag gives it.
namespace FoundText {

// Gives each found colour to its slot; a found margin ticks that margin's use and takes the value.
// Returns whether the scheme or the margins changed.
bool apply(const TagReader::Found& found, ColourScheme& scheme, Margins& margins);

} // namespace FoundText
