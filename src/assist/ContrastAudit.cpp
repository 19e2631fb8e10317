#include "ContrastAudit.h"

#include "colour/Apca.h"
#include "colour/Contrast.h"

#include <algorithm>
#include <cmath>

namespace ContrastAudit {

bool isApca(Target target)
{
    return target != Target::AA && target != Target::AAA;
}

double levelFor(Target target)
{
    switch (target) {
    case Target::AA:
        return Contrast::AaNormal;
    case Target::AAA:
        return Contrast::AaaNormal;
    case Target::ApcaLc60:
        return 60.0;
    case Target::ApcaLc75:
        return 75.0;
    case Target::ApcaLc90:
        return 90.0;
    }
    return Contrast::AaNormal;
}

QString nameOf(Target target)
{
    if (!isApca(target))
        return target == Target::AAA ? QStringLiteral("AAA") : QStringLiteral("AA");
    return QStringLiteral("APCA Lc %1").arg(levelFor(target));
}

bool passes(const PairKind& kind, double ratio, double lc, Target target)
{
    if (kind.fromText())
        return ratio >= Contrast::LinkFromText;
    return isApca(target) ? std::abs(lc) >= levelFor(target) : ratio >= levelFor(target);
}

std::vector<Pair> audit(const ColourScheme& scheme, Target target, bool linksUnderlined)
{
    std::vector<Pair> pairs;
    for (const PairKind& kind : Pairs) {
        if (kind.fromText() && linksUnderlined)
            continue;
        const Rgb fore = scheme.colour(kind.fore);
        const Rgb back = scheme.colour(kind.back);
        const double ratio = Contrast::ratio(fore, back);
        const double lc = Apca::lightnessContrast(fore, back);
        pairs.push_back({kind, ratio, lc, passes(kind, ratio, lc, target)});
    }
    return pairs;
}

bool allPass(const std::vector<Pair>& pairs)
{
    return std::all_of(pairs.begin(), pairs.end(), [](const Pair& pair) { return pair.passes; });
}

} // namespace ContrastAudit
