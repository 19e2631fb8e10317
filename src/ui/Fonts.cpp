#include "Fonts.h"

#include <QtMath>

namespace Fonts {

namespace {
const QString SansFamily = QStringLiteral("MS Sans Serif");
const QString SerifFamily = QStringLiteral("Times New Roman");
// The layout's own resolution: its points are pixels at 96 dots per inch (8.25 pt is 11 px).
constexpr qreal LayoutDpi = 96;

// Sets every property of the font, so that none of them falls back to the application's font or to
// the one a desktop theme gives. The size is set by the caller.
QFont pinned(const QString& family, bool bold)
{
    QFont font(family);
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

QFont inPixels(const QString& family, qreal points, bool bold)
{
    QFont font = pinned(family, bold);
    font.setPixelSize(qRound(points * LayoutDpi / 72));
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
    return inPixels(SansFamily, points, bold);
}

QFont serif(qreal points)
{
    return inPixels(SerifFamily, points, false);
}

QFont paperSerif(qreal points)
{
    QFont font = pinned(SerifFamily, false);
    font.setPointSizeF(points);
    return font;
}

} // namespace Fonts
