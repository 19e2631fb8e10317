#pragma once

#include <QStatusBar>

class QLabel;

// A line at the foot of the main window for what the user should know but need not answer, such as a
// settings folder that cannot keep anything: said without a box that would take the first click or key
// away from the window. Hidden until there is something to say; the last note stays for the session.
class NoteLine : public QStatusBar {
    Q_OBJECT
public:
    explicit NoteLine(QWidget* parent);

    // Shows `text`, its control and bidirectional characters written as escapes.
    void say(const QString& text);
    // The note as said, whole, however much of it the line has room for.
    QString text() const { return m_note; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fit();

    QLabel* m_text;
    QString m_note;
};
