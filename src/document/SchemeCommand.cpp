#include "SchemeCommand.h"

#include <QDeadlineTimer>

SchemeCommand::SchemeCommand(SchemeDocument& document,
    const QString& text,
    const SchemeState& before,
    int slotBefore,
    const SchemeState& after,
    int slotAfter,
    int gesture)
    : QUndoCommand(text)
    , m_document(document)
    , m_before(before)
    , m_after(after)
    , m_madeAt(QDeadlineTimer::current(Qt::PreciseTimer).deadline())
    , m_slotBefore(static_cast<qint8>(slotBefore))
    , m_slotAfter(static_cast<qint8>(slotAfter))
    , m_gesture(static_cast<qint16>(gesture))
{
}

void SchemeCommand::undo()
{
    m_document.restore(m_before, m_slotBefore);
    m_done = false;
}

void SchemeCommand::redo()
{
    // The change itself was made by the document before it pushed this step.
    if (!m_done)
        m_document.restore(m_after, m_slotAfter);
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
