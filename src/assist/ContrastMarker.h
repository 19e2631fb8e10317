#pragma once

#include "ContrastAudit.h"
#include "colour/OklchPosition.h"

#include <optional>

// Where the OKLCH lightness bar meets a contrast target: the lightness at which the selected colour,
// its chroma and hue held, reaches the target against its pair (text and links against the background,
// the background against the text). Judged as Fix Contrast judges: a WCAG 2 ratio under both WCAG 2's
// luminance and CSS Color 4's unrounded weights, or APCA's |Lc| with the text read as text.
namespace ContrastMarker {

// Whether `colour` in `slot` meets `target` against `pair`, the colour of the slot it is judged against.
bool meets(int slot, const Rgb& colour, const Rgb& pair, ContrastAudit::Target target);

// The lightness step nearest `place`'s whose colour meets the target while the step beside it, towards
// the pair, does not; nothing when no lightness meets it.
std::optional<int> lightness(int slot, const OklchPosition& place, const Rgb& pair, ContrastAudit::Target target);

} // namespace ContrastMarker
