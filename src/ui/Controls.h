#pragma once

#include <QRect>
#include <QString>

class QLabel;
class QWidget;

// Small helpers for the fixed-pixel layouts of the program's windows.
namespace Controls {

// A label at a fixed place that shows its text as plain text, never as markup.
QLabel* label(QWidget* parent, const QString& name, const QString& text, const QRect& geometry);

// Gives `widget` its name and place.
template <typename W> W* place(W* widget, const QString& name, const QRect& geometry)
{
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}

} // namespace Controls
