#pragma once

#include "InfoWindow.h"

class QAction;
class QTableWidget;

// Help > Keyboard Shortcuts: every command with its menu and its shortcut keys, read from the actions
// themselves whenever the window is made, so the list is always the one the menus offer.
class ShortcutsWindow : public InfoWindow {
    Q_OBJECT
public:
    ShortcutsWindow(const QList<QAction*>& actions, QWidget* parent = nullptr);

    // "Edit > Copy Scheme As > CSS Rules": the menus that hold `action`, without access letters.
    static QString menuPath(const QAction* action);

private:
    QTableWidget* m_table;
};
