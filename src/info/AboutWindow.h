#pragma once

#include "InfoWindow.h"

// Form2: who makes Hueloom and on what terms. A click anywhere in it closes it, and so do Escape and
// Return, as in every other window.
class AboutWindow : public InfoWindow {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
