#include "PickCommands.h"

#include "MainWindowNames.h"
#include "dialogs/DialogBackend.h"
#include "document/SchemeDocument.h"
#include "pick/ScreenPicker.h"

#include <QAction>
#include <QWidget>

PickCommands::PickCommands(const CommandContext& context, QAction* pick)
    : QObject(context.window)
    , m_context(context)
    , m_picker(new ScreenPicker(context.window))
{
    const auto showAvailability = [this, pick] {
        const QString unavailable = m_picker->unavailableReason();
        pick->setEnabled(unavailable.isEmpty());
        pick->setToolTip(
            unavailable.isEmpty() ? tr("Give the selected color the color of a pixel on the screen") : unavailable);
        pick->setStatusTip(pick->toolTip());
    };
    showAvailability();
    connect(m_picker, &ScreenPicker::availabilityChanged, this, showAvailability);
    connect(pick, &QAction::triggered, this, [this] {
        m_slot = m_context.document.selectedSlot();
        if (m_slot >= 0)
            m_picker->pick();
    });
    connect(m_picker, &ScreenPicker::picked, this, [this](const QColor& colour) {
        if (m_slot >= 0)
            m_context.document.setColour(m_slot, colour, tr("Pick from Screen"));
    });
    connect(m_picker, &ScreenPicker::failed, this, [this](const QString& message) {
        m_context.dialogs.message(m_context.window, MainWindowNames::Caption, message);
    });
}
