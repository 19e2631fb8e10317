#pragma once

#include "colour/ColourScheme.h"
#include "formats/Margins.h"

#include <QString>

// The scheme as today's CSS, for pages that no longer use the BODY colour attributes: four rules,
// each on a line of its own, the body rule carrying the margins in use.
namespace CssText {

QString compose(const ColourScheme& scheme, const Margins& margins);

} // namespace CssText
