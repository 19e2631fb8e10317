#include "SchemeCommand.h"

#include <QDeadlineTimer>

SchemeCommand::SchemeCommand(
    const QString& text, SchemeState before, int slotBefore, SchemeState after, int slotAfter, Show show, int gesture)
    : QUndoCommand(text)
    , m_before(std::move(before))
    , m_slotBefore(slotBefore)
    , m_after(std::move(after))
    , m_slotAfter(slotAfter)
    , m_show(std::move(show))
    , m_gesture(gesture)
    , m_madeAt(QDeadlineTimer::current(Qt::PreciseTimer).deadline())
{
}

void SchemeCommand::undo()
{
    m_show(m_before, m_slotBefore);
    m_done = false;
}

void SchemeCommand::redo()
{
    // The change itself was made by the command that pushed this one.
    if (!m_done)
        m_show(m_after, m_slotAfter);
    m_done = true;
}

bool SchemeCommand::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const SchemeCommand*>(other);
    if (next->m_madeAt - m_madeAt > GestureGapMs)
        return false;
    m_after = next->m_after;
    m_slotAfter = next->m_slotAfter;
    m_madeAt = next->m_madeAt;
    // A gesture that came back to where it began changed nothing.
    setObsolete(m_after == m_before);
    return true;
}
