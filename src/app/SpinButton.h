#pragma once

#include <QWidget>

class QToolButton;

// A vertical pair of arrows with separate up and down signals. A held arrow repeats; Up and Down
// keys press the arrows while the pair has the focus.
class SpinButton : public QWidget {
    Q_OBJECT
public:
    explicit SpinButton(QWidget* parent = nullptr);

    QToolButton* upArrow() const { return m_up; }
    QToolButton* downArrow() const { return m_down; }

signals:
    void upClicked();
    void downClicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QToolButton* m_up;
    QToolButton* m_down;
};
