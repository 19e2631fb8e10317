#pragma once

#include <QFont>

// The program's fonts keep the family names users know from the original layout; on Linux they are
// mapped to metric-compatible Liberation fonts so text fits the fixed layout. Every property of these
// fonts is set, so a widget using one takes nothing from the application's or the desktop's font.
// Sizes are given in points at 96 dots per inch and set in pixels, as the fixed layout is: a desktop
// font DPI (Xft.dpi) cannot grow the text out of its place while Qt's scaling is off, and with scaling
// on Qt scales text and layout together.
namespace Fonts {

void installSubstitutions();

// "MS Sans Serif": the default face of every window (8.25 pt bold) and of the sample lines.
QFont sansSerif(qreal points, bool bold = true);
// "Times New Roman": the quick-access buttons.
QFont serif(qreal points);
// "Times New Roman" in true points, for paper: the printed chart.
QFont paperSerif(qreal points);

} // namespace Fonts
