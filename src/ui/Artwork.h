#pragma once

#include <QIcon>
#include <QPixmap>

// Hueloom's pictures. The program's icon and the About picture are rendered from their SVG files at
// build time, at every size they are shown in; the small window icons are drawn in code in the
// sixteen classic window colours, at every size too.
namespace Artwork {

// The icon at 16 to 512 pixels; the window system takes the size it needs.
QIcon mainIcon();
QIcon helpIcon();
QIcon troubleIcon();
QIcon aboutIcon();

// The About window's picture, 135 x 216 logical pixels: threads of the default scheme woven on a loom.
// `devicePixelRatio` above 1 gives the picture rendered at 2x, so it stays sharp on a HiDPI screen.
QPixmap aboutPicture(qreal devicePixelRatio = 1);

} // namespace Artwork
