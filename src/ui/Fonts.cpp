#include "Fonts.h"

namespace Fonts {

namespace {
const QString SansFamily = QStringLiteral("MS Sans Serif");
const QString SerifFamily = QStringLiteral("Times New Roman");
// Sets every property of the font, so that none of them falls back to the application's font or to
// the one a desktop theme gives.
QFont pinned(const QString& family, qreal points, bool bold)
{
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setStyle(QFont::StyleNormal);
    font.setStyleName(QString());
    font.setStyleHint(QFont::AnyStyle, QFont::PreferDefault);
    font.setStretch(QFont::AnyStretch);
    font.setUnderline(false);
    font.setOverline(false);
    font.setStrikeOut(false);
    font.setFixedPitch(false);
    font.setKerning(true);
    font.setCapitalization(QFont::MixedCase);
    font.setLetterSpacing(QFont::PercentageSpacing, 100);
    font.setWordSpacing(0);
    font.setHintingPreference(QFont::PreferDefaultHinting);
    return font;
}

} // namespace

void installSubstitutions()
{
    QFont::insertSubstitution(SansFamily, QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(SerifFamily, QStringLiteral("Liberation Serif"));
}

QFont sansSerif(qreal points, bool bold)
{
    return pinned(SansFamily, points, bold);
}

QFont serif(qreal points)
{
    return pinned(SerifFamily, points, false);
}

} // namespace Fonts
