#pragma once

#include <QFont>

// The program's fonts keep the family names users know from the original layout; on Linux they are
// mapped to metric-compatible Liberation fonts so text fits the fixed layout. Every property of these
// fonts is set, so a widget using one takes nothing from the application's or the desktop's font.
namespace Fonts {

void installSubstitutions();

// "MS Sans Serif": the default face of every window (8.25 pt bold) and of the sample lines.
QFont sansSerif(qreal points, bool bold = true);
// "Times New Roman": the quick-access buttons and the printed chart.
QFont serif(qreal points);

} // namespace Fonts
