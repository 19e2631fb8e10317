#pragma once

#include "colour/ColourScheme.h"

#include <QString>
#include <vector>

// The one reading of a scheme's contrast that every part of the program shows: Contrast Check, Fix
// Contrast, `--check` and the fixer's own verdict. The pairs checked, their WCAG 2 ratio and APCA Lc,
// and whether each meets a target.
namespace ContrastAudit {

// WCAG 2 levels by contrast ratio, or an APCA lightness contrast (advisory: APCA is not yet a standard).
enum class Target { AA, AAA, ApcaLc60, ApcaLc75, ApcaLc90 };
inline constexpr Target Targets[] = {Target::AA, Target::AAA, Target::ApcaLc60, Target::ApcaLc75, Target::ApcaLc90};

bool isApca(Target target);
// What text and links need against the background: the ratio 4.5 for AA and 7 for AAA, or |Lc| 60, 75
// or 90. Links that are not underlined need 3:1 from the text by WCAG 2 whatever the target.
double levelFor(Target target);
// "AA", "AAA", "APCA Lc 60", "APCA Lc 75", "APCA Lc 90".
QString nameOf(Target target);

struct PairKind {
    int fore;
    int back;
    bool fromText() const { return back == Slot::Text; }
};

// Text and every link against the background, then every link against the text.
inline constexpr PairKind Pairs[] = {
    {Slot::Text, Slot::Background},
    {Slot::NewLink, Slot::Background},
    {Slot::VisitedLink, Slot::Background},
    {Slot::ActiveLink, Slot::Background},
    {Slot::NewLink, Slot::Text},
    {Slot::VisitedLink, Slot::Text},
    {Slot::ActiveLink, Slot::Text},
};

struct Pair {
    PairKind kind;
    double ratio; // WCAG 2, unrounded
    double lc; // APCA, the fore colour read as text
    bool passes;
};

// Whether a pair with these figures meets the target: a link against the text needs 3:1 whatever the
// target; anything against the background the target's ratio or |Lc|.
bool passes(const PairKind& kind, double ratio, double lc, Target target);

// Every pair the setting checks, in the order of Pairs: the pairs against the text only when links
// are not underlined.
std::vector<Pair> audit(const ColourScheme& scheme, Target target, bool linksUnderlined);
bool allPass(const std::vector<Pair>& pairs);

} // namespace ContrastAudit
