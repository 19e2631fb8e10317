#include "BriefNote.h"

#include "files/PrintableText.h"

#include <QAccessible>
#include <QCursor>
#include <QScreen>
#include <QTimer>

namespace {

// Between the control and its note.
constexpr int Gap = 6;

} // namespace

BriefNote::BriefNote(QWidget* window)
    : QLabel(window,
        // A tool tip's kind of window (no frame, no taskbar entry, on top, left alone by the window
        // manager) that takes no input: the window system passes clicks through it.
        Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus)
    , m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("BriefNote"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setTextFormat(Qt::PlainText);
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setAutoFillBackground(true);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setMargin(3);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &QWidget::hide);
}

BriefNote* BriefNote::show(QWidget* control, const QString& text, std::chrono::milliseconds duration)
{
    QWidget* window = control->window();
    auto* note = window->findChild<BriefNote*>(QStringLiteral("BriefNote"), Qt::FindDirectChildrenOnly);
    if (!note)
        note = new BriefNote(window);
    note->m_note = PrintableText::shown(text);
    note->setAccessibleName(note->m_note);
    // Named by its text, whole, for tools that list windows.
    note->setWindowTitle(note->m_note);
    const QScreen* screen = control->screen();
    const QRect available = screen->availableGeometry();
    // A path can be longer than the screen: its middle goes, where the folders are.
    note->setText(note->fontMetrics().elidedText(note->m_note, Qt::ElideMiddle, available.width() / 2));
    note->adjustSize();
    const QRect at(control->mapToGlobal(QPoint(0, 0)), control->size());
    note->move(placeBeside(at, note->size(), QCursor::pos(screen), available));
    note->QWidget::show();
    note->raise();
    // A screen reader says it, as it says a tool tip.
    QAccessibleEvent shown(note, QAccessible::Alert);
    QAccessible::updateAccessibility(&shown);
    note->m_timer->start(duration);
    return note;
}

QPoint BriefNote::placeBeside(const QRect& control, const QSize& size, const QPoint& pointer, const QRect& screen)
{
    const int middle = control.center().y() - size.height() / 2;
    const QPoint places[] = {
        {control.right() + 1 + Gap, middle},
        {control.left() - Gap - size.width(), middle},
        {control.left(), control.bottom() + 1 + Gap},
        {control.left(), control.top() - Gap - size.height()},
    };
    for (const QPoint& place : places) {
        const QRect rect(place, size);
        if (screen.contains(rect) && !rect.contains(pointer))
            return place;
    }
    // No side is free (a control as large as the screen): on the screen, and off the pointer if it can.
    QRect rect(places[0], size);
    rect.moveLeft(std::clamp(rect.left(), screen.left(), std::max(screen.left(), screen.right() + 1 - size.width())));
    rect.moveTop(std::clamp(rect.top(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - size.height())));
    if (rect.contains(pointer))
        rect.moveBottom(pointer.y() - Gap);
    return rect.topLeft();
}
