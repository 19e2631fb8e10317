#include "Controls.h"

#include <QLabel>

namespace Controls {

QLabel* label(QWidget* parent, const QString& name, const QString& text, const QRect& geometry)
{
    auto* label = place(new QLabel(text, parent), name, geometry);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace Controls
