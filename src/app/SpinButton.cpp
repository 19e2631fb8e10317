#include "SpinButton.h"

#include <QAccessibleValueChangeEvent>
#include <QAccessibleWidget>
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

// What a screen reader sees of the pair: a spin button with its number, its range and the increase
// and decrease actions, which press the arrows.
class AccessibleSpinButton : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit AccessibleSpinButton(SpinButton* spin)
        : QAccessibleWidget(spin, QAccessible::SpinBox)
    {
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return QString::number(spin()->value());
        return QAccessibleWidget::text(kind);
    }

    QVariant currentValue() const override { return spin()->value(); }
    QVariant maximumValue() const override { return spin()->maximum(); }
    QVariant minimumValue() const override { return spin()->minimum(); }
    QVariant minimumStepSize() const override { return 1; }

    // A value set from outside is reached by pressing the arrows, so the owner hears every step.
    void setCurrentValue(const QVariant& target) override
    {
        const int span = spin()->maximum() - spin()->minimum();
        for (int steps = 0; steps < span && spin()->isEnabled(); ++steps) {
            const int value = spin()->value();
            if (value < target.toInt())
                emit spin()->upClicked();
            else if (value > target.toInt())
                emit spin()->downClicked();
            if (spin()->value() == value)
                break;
        }
    }

    QStringList actionNames() const override
    {
        return QStringList{increaseAction(), decreaseAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (!spin()->isEnabled())
            return;
        if (action == increaseAction())
            emit spin()->upClicked();
        else if (action == decreaseAction())
            emit spin()->downClicked();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    SpinButton* spin() const { return static_cast<SpinButton*>(widget()); }
};

QAccessibleInterface* accessibleSpinButton(const QString& className, QObject* object)
{
    if (className == QLatin1String("SpinButton") && object && object->isWidgetType())
        return new AccessibleSpinButton(static_cast<SpinButton*>(object));
    return nullptr;
}

} // namespace

SpinButton::SpinButton(QWidget* parent)
    : QWidget(parent)
    , m_up(makeArrow(this, Qt::UpArrow, QStringLiteral("up"), tr("Up")))
    , m_down(makeArrow(this, Qt::DownArrow, QStringLiteral("down"), tr("Down")))
{
    static const bool accessible = [] {
        QAccessible::installFactory(accessibleSpinButton);
        return true;
    }();
    Q_UNUSED(accessible);
    setFocusPolicy(Qt::StrongFocus);
    connect(m_up, &QToolButton::clicked, this, &SpinButton::upClicked);
    connect(m_down, &QToolButton::clicked, this, &SpinButton::downClicked);
}

void SpinButton::setRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
}

void SpinButton::setValue(int value)
{
    if (value == m_value)
        return;
    m_value = value;
    QAccessibleValueChangeEvent event(this, value);
    QAccessible::updateAccessibility(&event);
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
