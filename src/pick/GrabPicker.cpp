#include "GrabPicker.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

GrabPicker::GrabPicker(QWidget* parent)
    : QWidget(parent,
        Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::BypassWindowManagerHint
            | Qt::X11BypassWindowManagerHint)
{
    setObjectName(QStringLiteral("ScreenGrab"));
    setWindowTitle(tr("Pick from Screen"));
    setAttribute(Qt::WA_DeleteOnClose);
    setCursor(Qt::CrossCursor);
}

void GrabPicker::start()
{
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen->geometry();
    m_screen = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
    setGeometry(area);
    show();
    activateWindow();
    grabMouse(Qt::CrossCursor);
    grabKeyboard();
}

void GrabPicker::paintEvent(QPaintEvent*)
{
    QPainter(this).drawImage(rect(), m_screen);
}

void GrabPicker::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        end();
        emit cancelled();
        return;
    }
    // The grab is in device pixels; the pointer in the window's own.
    const QPoint at = (event->position() * m_screen.devicePixelRatio()).toPoint();
    const QColor colour = m_screen.valid(at) ? m_screen.pixelColor(at).toRgb() : QColor();
    end();
    if (colour.isValid())
        emit picked(QColor(colour.red(), colour.green(), colour.blue()));
    else
        emit cancelled();
}

void GrabPicker::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        end();
        emit cancelled();
        return;
    }
    QWidget::keyPressEvent(event);
}

void GrabPicker::end()
{
    releaseMouse();
    releaseKeyboard();
    close();
    // Without a window manager nothing would give the keyboard back to the window the pick began in.
    parentWidget()->window()->activateWindow();
}
