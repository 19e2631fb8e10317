#pragma once

#include <QGroupBox>

class QCheckBox;
class QLabel;
class SchemeDocument;
class SpinButton;

// The "Margin Selector" frame: a spin button and value label per margin, and the two check boxes
// that put the margins into the tag. It shows the document's margins and hands every press to it; the
// window enables the spin buttons, as it owns the operations that do so.
class MarginSelector : public QGroupBox {
    Q_OBJECT
public:
    explicit MarginSelector(QWidget* parent = nullptr);

    // Shows `document`'s margins from now on and hands the user's presses to it.
    void follow(SchemeDocument& document);

    bool leftTicked() const;
    bool topTicked() const;

    // Shows a margin in its value label and tells its spin button, so both read the same number.
    void showLeft(int margin, const QString& text = {});
    void showTop(int margin, const QString& text = {});

    SpinButton* topSpin() const { return m_topSpin; }
    SpinButton* leftSpin() const { return m_leftSpin; }
    QCheckBox* leftBox() const { return m_leftBox; }
    QCheckBox* topBox() const { return m_topBox; }

signals:
    void leftStepped(int delta);
    void topStepped(int delta);

private:
    static QString leftName(int margin);
    static QString topName(int margin);

    QLabel* m_topLabel;
    QLabel* m_leftLabel;
    SpinButton* m_topSpin;
    SpinButton* m_leftSpin;
    QCheckBox* m_leftBox;
    QCheckBox* m_topBox;
};
