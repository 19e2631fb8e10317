#include "PopupMenus.h"

#include <QMenu>
#include <QMouseEvent>
#include <QWidget>

PopupMenus::PopupMenus(QObject* parent)
    : QObject(parent)
{
}

void PopupMenus::add(QWidget* control, QMenu* menu, Qt::MouseButton button, bool focusFirst)
{
    m_entries.insert(control, Entry{menu, button, focusFirst});
    control->installEventFilter(this);
    control->setContextMenuPolicy(Qt::PreventContextMenu);
}

void PopupMenus::addQuiet(QWidget* control)
{
    m_entries.insert(control, Entry{nullptr, Qt::RightButton, false});
    control->installEventFilter(this);
    control->setContextMenuPolicy(Qt::PreventContextMenu);
}

bool PopupMenus::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick)
        return QObject::eventFilter(watched, event);
    const auto entry = m_entries.constFind(watched);
    if (entry == m_entries.cend())
        return QObject::eventFilter(watched, event);
    auto* press = static_cast<QMouseEvent*>(event);
    if (press->button() == entry->button) {
        if (entry->focusFirst)
            static_cast<QWidget*>(watched)->setFocus(Qt::MouseFocusReason);
        if (entry->menu)
            entry->menu->exec(press->globalPosition().toPoint());
        return true;
    }
    // The right button is the program's alone: it never reaches the control or a parent's menu.
    return press->button() == Qt::RightButton;
}
