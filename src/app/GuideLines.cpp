#include "GuideLines.h"

#include <QEvent>
#include <QPainter>
#include <QWidget>

GuideLines::GuideLines(QWidget* canvas, const QList<QLine>& lines)
    : QObject(canvas)
    , m_canvas(canvas)
    , m_lines(lines)
{
    canvas->installEventFilter(this);
    canvas->update();
}

bool GuideLines::eventFilter(QObject* watched, QEvent* event)
{
    // The canvas has filled its background by now, and its children paint after it.
    if (watched == m_canvas && event->type() == QEvent::Paint) {
        QPainter painter(m_canvas);
        painter.setPen(m_canvas->palette().color(QPalette::WindowText));
        painter.drawLines(m_lines);
    }
    return false;
}
