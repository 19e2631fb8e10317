#pragma once

#include <QHash>
#include <QObject>

class QMenu;
class QWidget;

// The pop-up menus of the main window: a press of the right mouse button over a control opens the
// menu of the menu bar that belongs to it (over the tag line it is the left button). The menus are
// the menu bar's own, so an item chosen in a pop-up runs exactly that item's command. Controls that
// open nothing swallow the right button, so the press does not reach a parent that has a menu.
class PopupMenus : public QObject {
    Q_OBJECT
public:
    explicit PopupMenus(QObject* parent = nullptr);

    // A press of `button` over `control` opens `menu` at the pointer, and the control never sees it.
    // With `focusFirst` the control takes the keyboard focus first (caret and selection stay), so
    // a box whose left button opens a menu can still be typed into after the menu closes.
    void add(QWidget* control, QMenu* menu, Qt::MouseButton button = Qt::RightButton, bool focusFirst = false);
    // A right press over `control` opens nothing, neither of ours nor of the control's own.
    void addQuiet(QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        QMenu* menu;
        Qt::MouseButton button;
        bool focusFirst;
    };
    QHash<const QObject*, Entry> m_entries;
};
