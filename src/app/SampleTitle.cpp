#include "SampleTitle.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

SampleTitle::SampleTitle(QWidget* parent)
    : QLabel(parent)
{
}

QString SampleTitle::shownText() const
{
    // Cut after the last character that fits, so the title reads from its start as far as it goes.
    return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
}

void SampleTitle::paintEvent(QPaintEvent* event)
{
    const QString shown = shownText();
    if (shown == text()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
        isEnabled(), shown, foregroundRole());
}

bool SampleTitle::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && shownText() != text()) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString note = toolTip();
        QToolTip::showText(help->globalPos(), note.isEmpty() ? text() : text() + QStringLiteral("\n\n") + note, this);
        return true;
    }
    return QLabel::event(event);
}
