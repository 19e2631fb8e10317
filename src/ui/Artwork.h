#pragma once

#include <QIcon>
#include <QPixmap>

// Hueloom's pictures, drawn in code in the sixteen classic window colours: nothing to ship, nothing
// to get out of step with the program.
namespace Artwork {

QIcon mainIcon();
// The main icon drawn at any size (the desktop wants 16, 32 and 48 pixels).
QPixmap mainIconPixmap(int size);
QIcon helpIcon();
QIcon troubleIcon();
QIcon aboutIcon();

// The About window's picture, 135 x 216: threads of the default scheme woven on a loom.
QPixmap aboutPicture();

} // namespace Artwork
