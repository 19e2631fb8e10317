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
        // As a paragraph of rich text, so that a title of any length wraps instead of running off the screen.
        QString tip = QStringLiteral("<p>%1</p>").arg(text().toHtmlEscaped());
        if (!toolTip().isEmpty())
            tip += QStringLiteral("<p>%1</p>").arg(toolTip().toHtmlEscaped());
        QToolTip::showText(help->globalPos(), tip, this);
        return true;
    }
    return QLabel::event(event);
}
