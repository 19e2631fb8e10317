#pragma once

#include <QList>

class QAction;
class QUndoStack;
class QWidget;

// Every command of the main window as one action, with its shortcut and access letter. Menus, the
// quick-access buttons and the pop-up menus all reuse these, so one command is one operation.
struct MainActions {
    MainActions(QWidget* window, QUndoStack& undoStack);

    // Every action, in menu order, for lists of commands.
    QList<QAction*> all() const;

    QAction* open;
    QAction* openPage;
    QAction* save;
    QAction* print;
    QAction* exit;
    QAction* undo;
    QAction* redo;
    QAction* copy;
    QAction* copyTag;
    QAction* copyCss;
    // Copy Color As and Copy Scheme As (whose first shape is copyCss).
    QAction* copyHex;
    QAction* copyRgb;
    QAction* copyHsl;
    QAction* copyOklch;
    QAction* copyProperties;
    QAction* copyTailwind;
    QAction* copyTokens;
    QAction* copyTokensHex;
    QAction* pasteColour;
    QAction* applyTag;
    QAction* changeTitle;
    QAction* defaultColours;
    QAction* colour;
    QAction* pickScreen;
    QAction* contrast;
    QAction* fixContrast;
    QAction* darkScheme;
    // Checkable: the chooser's bars as OKLCH lightness, chroma and hue.
    QAction* oklchBars;
    QAction* pageCheck;
    QAction* help;
    QAction* guide;
    QAction* trouble;
    QAction* shortcuts;
    QAction* about;
};
