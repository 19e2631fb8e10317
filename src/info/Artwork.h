#pragma once

#include <QIcon>
#include <QPixmap>

// Hueloom's pictures, drawn in code in the sixteen classic window colours: nothing to ship, nothing
// to get out of step with the program.
namespace Artwork {

QIcon mainIcon();
QIcon helpIcon();
QIcon troubleIcon();
QIcon aboutIcon();

// The About window's picture, 135 x 216: threads of the default scheme woven on a loom.
QPixmap aboutPicture();

} // namespace Artwork
