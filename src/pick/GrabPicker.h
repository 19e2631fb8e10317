#pragma once

#include <QImage>
#include <QWidget>

// The screen as it was when the pick began, shown over everything under a crosshair pointer: a left
// click picks the pixel under the pointer, Escape or any other button cancels. Deletes itself.
class GrabPicker : public QWidget {
    Q_OBJECT
public:
    explicit GrabPicker(QWidget* parent);

    // Grabs the screen and shows it, taking the mouse and the keyboard.
    void start();

signals:
    void picked(const QColor& colour);
    void cancelled();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void end();

    QImage m_screen;
};
