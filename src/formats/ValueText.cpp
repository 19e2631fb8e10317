#include "ValueText.h"

namespace ValueText {

QString value(int v)
{
    return QLatin1Char(' ') + QString::number(v);
}

QString hexPair(int v)
{
    return QStringLiteral("%1").arg(v & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
}

QString hexColour(int red, int green, int blue)
{
    return hexPair(red) + hexPair(green) + hexPair(blue);
}

QString marginPair(int margin)
{
    return QStringLiteral("%1").arg(margin, 2, 10, QLatin1Char('0'));
}

} // namespace ValueText
