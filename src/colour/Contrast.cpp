#include "Contrast.h"

#include "colour/Srgb.h"

#include <QCoreApplication>
#include <cmath>

namespace Contrast {

double ratio(const Rgb& a, const Rgb& b)
{
    return Srgb::contrastRatio(a, b);
}

QString ratioText(double ratio)
{
    // Cut, never rounded: a ratio just under a level must not show the level's figure. The figure is
    // corrected to the exact hundredths at or below the ratio, whatever the multiplication rounded.
    auto hundredths = static_cast<long long>(std::floor(ratio * 100));
    while (static_cast<double>(hundredths) / 100 > ratio)
        --hundredths;
    while (static_cast<double>(hundredths + 1) / 100 <= ratio)
        ++hundredths;
    return QStringLiteral("%1.%2").arg(hundredths / 100).arg(hundredths % 100, 2, 10, QLatin1Char('0'));
}

QString levelReached(double ratio)
{
    if (ratio >= AaaNormal)
        return QCoreApplication::translate("Contrast", "AAA");
    if (ratio >= AaNormal)
        return QCoreApplication::translate("Contrast", "AA");
    if (ratio >= AaLarge)
        return QCoreApplication::translate("Contrast", "AA large text only");
    return QCoreApplication::translate("Contrast", "none");
}

} // namespace Contrast
