#include "FoundText.h"

static_assert(TagReader::MarginMinimum == Margins::Minimum && TagReader::MarginMaximum == Margins::Maximum,
    "the reader keeps margins within what a scheme holds");

namespace FoundText {

bool apply(const TagReader::Found& found, ColourScheme& scheme, Margins& margins)
{
    const ColourScheme schemeBefore = scheme;
    const Margins marginsBefore = margins;
    for (int slot = 0; slot < Slot::Count; ++slot) {
        if (const std::optional<Rgb>& colour = found.colours[static_cast<std::size_t>(slot)]) {
            scheme.setColour(slot, *colour);
        }
    }
    if (found.leftMargin) {
        margins.setUseLeft(true);
        margins.setLeft(*found.leftMargin);
    }
    if (found.topMargin) {
        margins.setUseTop(true);
        margins.setTop(*found.topMargin);
    }
    return scheme != schemeBefore || margins != marginsBefore;
}

} // namespace FoundText
