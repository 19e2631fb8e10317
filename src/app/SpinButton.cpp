#include "SpinButton.h"

#include <QKeyEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QToolButton>

namespace {

QToolButton* makeArrow(QWidget* parent, Qt::ArrowType type, const QString& name, const QString& accessibleName)
{
    auto* arrow = new QToolButton(parent);
    arrow->setObjectName(name);
    arrow->setAccessibleName(accessibleName);
    arrow->setArrowType(type);
    arrow->setAutoRepeat(true);
    arrow->setAutoRepeatDelay(400);
    arrow->setAutoRepeatInterval(80);
    arrow->setFocusPolicy(Qt::NoFocus);
    return arrow;
}

} // namespace

SpinButton::SpinButton(QWidget* parent)
    : QWidget(parent)
    , m_up(makeArrow(this, Qt::UpArrow, QStringLiteral("up"), tr("Up")))
    , m_down(makeArrow(this, Qt::DownArrow, QStringLiteral("down"), tr("Down")))
{
    setFocusPolicy(Qt::StrongFocus);
    connect(m_up, &QToolButton::clicked, this, &SpinButton::upClicked);
    connect(m_down, &QToolButton::clicked, this, &SpinButton::downClicked);
}

void SpinButton::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        emit upClicked();
        break;
    case Qt::Key_Down:
        emit downClicked();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void SpinButton::resizeEvent(QResizeEvent* /*event*/)
{
    // A one-pixel rim around the arrows is where the focus frame shows.
    const QRect inner = rect().adjusted(1, 1, -1, -1);
    const int upper = inner.height() / 2;
    m_up->setGeometry(inner.x(), inner.y(), inner.width(), upper);
    m_down->setGeometry(inner.x(), inner.y() + upper, inner.width(), inner.height() - upper);
}

void SpinButton::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void SpinButton::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

void SpinButton::paintEvent(QPaintEvent* /*event*/)
{
    if (!hasFocus())
        return;
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}
