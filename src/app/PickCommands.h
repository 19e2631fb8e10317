#pragma once

#include "CommandContext.h"

#include <QObject>

class QAction;
class ScreenPicker;

// Tools > Pick from Screen: the selected slot takes the colour of a pixel anywhere on the screen, as
// one undo step. Where no picker can work, the item is greyed and its tooltip says why.
class PickCommands : public QObject {
    Q_OBJECT
public:
    PickCommands(const CommandContext& context, QAction* pick);

    ScreenPicker& picker() const { return *m_picker; }

private:
    CommandContext m_context;
    ScreenPicker* m_picker;
    // The slot selected when the pick began.
    int m_slot = -1;
};
