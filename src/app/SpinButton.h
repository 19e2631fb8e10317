#pragma once

#include <QWidget>

class QToolButton;

// A vertical pair of arrows with separate up and down signals. A held arrow repeats; Up and Down
// keys press the arrows while the pair has the focus.
//
// The arrows step a number their owner keeps; the owner also tells the pair that number and its range
// so that a screen reader meets a spin button with a value, not two bare arrows.
class SpinButton : public QWidget {
    Q_OBJECT
public:
    explicit SpinButton(QWidget* parent = nullptr);

    void setRange(int minimum, int maximum);
    // Reports a change of the number to assistive technology.
    void setValue(int value);
    int value() const { return m_value; }
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }

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
    int m_value = 0;
    int m_minimum = 0;
    int m_maximum = 0;
};
