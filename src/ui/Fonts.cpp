#include "Fonts.h"

namespace Fonts {

namespace {
const QString SansFamily = QStringLiteral("MS Sans Serif");
const QString SerifFamily = QStringLiteral("Times New Roman");
} // namespace

void installSubstitutions()
{
    QFont::insertSubstitution(SansFamily, QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(SerifFamily, QStringLiteral("Liberation Serif"));
}

QFont sansSerif(qreal points, bool bold)
{
    QFont font(SansFamily);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QFont serif(qreal points)
{
    QFont font(SerifFamily);
    font.setPointSizeF(points);
    font.setBold(false);
    return font;
}

} // namespace Fonts
