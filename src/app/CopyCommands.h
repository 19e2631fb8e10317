#pragma once

#include "CommandContext.h"

#include <QObject>

struct MainActions;

// Copy Color As and Copy Scheme As: the selected colour or the whole scheme on the clipboard in the
// shapes style sheets, Tailwind and design tools take.
class CopyCommands : public QObject {
    Q_OBJECT
public:
    // Runs the copy actions of `actions` from now on.
    CopyCommands(const CommandContext& context, const MainActions& actions);

private:
    CommandContext m_context;
};
