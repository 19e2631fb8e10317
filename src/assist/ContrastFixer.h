#pragma once

#include "ContrastAudit.h"
#include "colour/ColourScheme.h"

#include "colour/Rgb.h"
#include <QString>
#include <array>
#include <optional>
#include <vector>

// A whole-scheme proposal that meets the WCAG contrast rules at once: text and every link against the
// background, and, for links that are not underlined, every link against the text (technique G183).
// Colours change only in OKLCH lightness, keeping their hue; chroma drops only where sRGB runs out.
namespace ContrastFixer {

// The targets and what they ask are the contrast audit's.
using ContrastAudit::isApca;
using ContrastAudit::levelFor;
using ContrastAudit::nameOf;
using ContrastAudit::Target;
using ContrastAudit::Targets;

struct Proposal {
    ColourScheme scheme;
    // Every rule is met. Only false when no background at all allows it (AAA with links told apart
    // from the text by colour): the proposal then meets the rules against the background only.
    bool solved = false;
    // No text and link colours met the rules on the current background, so it moved by
    // `backgroundShift` in OKLCH lightness (positive: lighter).
    bool backgroundMoved = false;
    double backgroundShift = 0.0;
    // A dark companion's background keeps the hue within a degree. False only when no dark colour of that
    // hue lets the rules be met, and the background went to one without it (black, say).
    bool backgroundKeepsHue = true;
    // Unrounded ratios of the proposal: each slot against the background (1 for the background
    // itself) and each slot against the text (1 for the background and the text).
    std::array<double, Slot::Count> onBackground{};
    std::array<double, Slot::Count> fromText{};
    // APCA Lc of each slot against the background (0 for the background itself).
    std::array<double, Slot::Count> lc{};
};

// The nearest scheme, by the sum of Oklab distances of the colours that move, that meets every rule;
// a WCAG 2 ratio under both WCAG 2's luminance and CSS Color 4's unrounded weights. Each colour may take any
// 8-bit colour at the corners of the cells its lightness line passes through. The link states stay told
// apart: two that differed never become one colour, and the active link stays a just-noticeable
// difference (0.02 in Oklab) from the link, or as far as it was when nearer. The background stays whenever
// some solution keeps it, otherwise it moves the least Oklab distance that lets one exist (of backgrounds
// as near, the one that leaves the others the least change); a colour that need not move stays.
Proposal propose(const ColourScheme& scheme, Target target, bool linksUnderlined);

// A dark companion of `scheme` that meets the same rules: the background at OKLCH lightness 0.25 or
// below, keeping its hue within a degree and its chroma (its mirrored lightness 1 - L when that is dark
// enough and holds the hue, else as near to it as a solution allows; only when no such colour allows one,
// the nearest dark colour at all, with `backgroundKeepsHue` false); every other colour keeping its hue, with
// the lightness nearest its mirrored lightness (least total lightness change) that meets the target and,
// for links not underlined, the 3:1 rule, the link states kept apart as above. `backgroundShift` is the
// background's change in lightness.
Proposal proposeDark(const ColourScheme& scheme, Target target, bool linksUnderlined);

struct Setting {
    Target target;
    bool linksUnderlined;
};
// The proposals for several settings of one scheme, sharing the work that does not depend on them.
std::vector<Proposal> proposeEach(const ColourScheme& scheme, const std::vector<Setting>& settings);

// `colour` at OKLCH lightness `lightness` (0 black to 1 white), rounded to 8-bit channels: same hue,
// chroma lowered only as far as sRGB needs. The nearest 8-bit colour when it keeps the hue within 1.5
// degrees (or has chroma below 0.02), else one of the 8-bit colours around the point that does;
// nothing when none does.
std::optional<Rgb> atLightness(const Rgb& colour, double lightness);

} // namespace ContrastFixer
