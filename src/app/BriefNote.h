#pragma once

#include <QLabel>

#include <chrono>

class QTimer;

// A brief note beside the control that ran a command ("Copied", "Saved to …"), for a command whose
// result shows nowhere else. Unlike a tool tip it is a window the window system hands no input at all:
// a click right after it reaches whatever lies under the pointer, and it never takes the focus. It
// stands beside the control, never under the pointer, and goes after a while. A window has one note:
// the newest replaces the last.
class BriefNote : public QLabel {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds Short{1500};
    // Long enough to read a path or a warning.
    static constexpr std::chrono::milliseconds Long{5000};

    // Shows `text` (control characters escaped, a long text cut in its middle) beside `control`, for
    // `duration`; returns the note, a child of the control's window.
    static BriefNote* show(QWidget* control, const QString& text, std::chrono::milliseconds duration = Short);

    // Where a note of `size` goes beside `control` (both in global coordinates) on `screen`: right of
    // the control, else left of it, else below, else above; the first of these that lies on the screen
    // and not under `pointer`.
    static QPoint placeBeside(const QRect& control, const QSize& size, const QPoint& pointer, const QRect& screen);

    // The note as given, whole.
    QString note() const { return m_note; }

private:
    explicit BriefNote(QWidget* window);

    QTimer* m_timer;
    QString m_note;
};
