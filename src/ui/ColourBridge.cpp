#include "colour/Rgb.h"

#include <QColor>

// Between the libraries' colours and Qt's. Compiled only with the windows: the libraries below them
// read and check without the GUI libraries and so may not call these.

Rgb::Rgb(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    *this = Rgb(rgb.red(), rgb.green(), rgb.blue());
}

Rgb::operator QColor() const
{
    return QColor(m_red, m_green, m_blue);
}

bool operator==(const Rgb& colour, const QColor& other)
{
    return QColor(colour) == other;
}
