#include "Contrast.h"

#include <QCoreApplication>
#include <cmath>

namespace Contrast {

namespace {

double linear(int channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

} // namespace

double luminance(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.red()) + 0.7152 * linear(rgb.green()) + 0.0722 * linear(rgb.blue());
}

double ratio(const QColor& a, const QColor& b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
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
