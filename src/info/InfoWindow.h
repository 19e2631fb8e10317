#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// What the Help, Trouble Shooting and About windows share: fixed size, grey ground, the program's
// default font, an icon of their own, centred when made, and gone when closed. Dismissing one (its
// OK button, or a click in About) says so with dismissed(), so the main window can come forward.
class InfoWindow : public QWidget {
    Q_OBJECT
public:
    InfoWindow(
        const QString& name, const QString& caption, const QSize& clientSize, const QIcon& icon, QWidget* parent);

signals:
    void dismissed();

protected:
    // Closes the window and reports the dismissal.
    void dismiss();
    QLabel* addLabel(const QString& name, const QRect& geometry, const QString& text, const QFont& font);
    // The "&OK" button; Enter and Escape press it too.
    QPushButton* addOkButton(const QRect& geometry);
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPushButton* m_ok = nullptr;
};
