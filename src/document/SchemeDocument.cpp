#include "SchemeDocument.h"

#include "SchemeCommand.h"

#include <QUndoStack>

SchemeDocument::SchemeDocument(QObject* parent, int undoLimit)
    : QObject(parent)
    , m_saved(ColourScheme::defaults())
    , m_undoStack(new QUndoStack(this))
{
    m_state.scheme = ColourScheme::defaults();
    m_undoStack->setUndoLimit(undoLimit);
}

SchemeDocument::~SchemeDocument() = default;

bool SchemeDocument::marginStepped(MarginSide side) const
{
    return side == MarginSide::Left ? m_state.leftStepped : m_state.topStepped;
}

SchemeDocument::Before SchemeDocument::before() const
{
    return {m_state, m_slot, hasUnsavedChanges()};
}

void SchemeDocument::announce(const Before& before, int changedSlot, bool marginsWritten)
{
    if (m_slot != before.slot)
        emit slotSelected(m_slot);
    if (m_state.scheme != before.state.scheme)
        emit schemeChanged(changedSlot);
    if (marginsWritten || m_state.margins != before.state.margins || m_state.leftStepped != before.state.leftStepped
        || m_state.topStepped != before.state.topStepped)
        emit marginsChanged();
    emit tagWritten();
    if (hasUnsavedChanges() != before.unsaved)
        emit savedChanged();
}

template <typename Change> void SchemeDocument::record(const QString& text, int gesture, Change change)
{
    const Before was = before();
    const int changedSlot = change();
    announce(
        was, changedSlot, gesture == SchemeCommand::LeftMarginGesture || gesture == SchemeCommand::TopMarginGesture);
    // Selecting a slot alone is no step.
    if (m_state != was.state)
        m_undoStack->push(new SchemeCommand(*this, text, was.state, was.slot, m_state, m_slot, gesture));
}

void SchemeDocument::selectSlot(int slot)
{
    if (slot == m_slot || slot < 0 || slot >= Slot::Count)
        return;
    m_slot = slot;
    emit slotSelected(slot);
}

void SchemeDocument::setChannel(int channel, int value)
{
    const int slot = m_slot;
    if (slot < 0)
        return;
    // A bar that moves to the value the slot has still writes its pair into the tag, the same text.
    if (m_state.scheme.channel(slot, channel) == value) {
        emit tagWritten();
        return;
    }
    record(Slot::caption(slot), SchemeCommand::barGesture(slot, channel), [&] {
        m_state.scheme.setChannel(slot, channel, static_cast<qint16>(value));
        return slot;
    });
}

void SchemeDocument::setFromOklchBar(int bar, const Rgb& colour, const QString& step)
{
    const int slot = m_slot;
    if (slot < 0)
        return;
    record(step, SchemeCommand::oklchBarGesture(slot, bar), [&] {
        m_state.scheme.setColour(slot, colour);
        return slot;
    });
}

void SchemeDocument::setColour(int slot, const QColor& colour, const QString& step)
{
    record(step, SchemeCommand::NoMerge, [&] {
        m_state.scheme.setColour(slot, colour);
        return slot;
    });
}

void SchemeDocument::replaceScheme(const ColourScheme& scheme, const QString& step)
{
    record(step, SchemeCommand::NoMerge, [&] {
        m_state.scheme = scheme;
        m_slot = Slot::Background;
        return SeveralSlots;
    });
}

void SchemeDocument::applyState(const SchemeState& state, const QString& step)
{
    record(step, SchemeCommand::NoMerge, [&] {
        m_state = state;
        return SeveralSlots;
    });
}

void SchemeDocument::stepMargin(MarginSide side, int delta)
{
    const bool left = side == MarginSide::Left;
    record(left ? tr("Left Margin") : tr("Top Margin"),
        left ? SchemeCommand::LeftMarginGesture : SchemeCommand::TopMarginGesture, [&] {
            Margins& margins = m_state.margins;
            if (left) {
                margins.stepLeft(delta);
                m_state.leftStepped = true;
            } else {
                margins.stepTop(delta);
                m_state.topStepped = true;
            }
            return SeveralSlots;
        });
}

void SchemeDocument::switchMargin(MarginSide side, bool use, const QString& step)
{
    Margins& margins = m_state.margins;
    if ((side == MarginSide::Left ? margins.useLeft() : margins.useTop()) == use)
        return;
    record(step, SchemeCommand::NoMerge, [&] {
        if (side == MarginSide::Left)
            margins.setUseLeft(use);
        else
            margins.setUseTop(use);
        return SeveralSlots;
    });
}

void SchemeDocument::markSaved()
{
    const bool unsavedBefore = hasUnsavedChanges();
    m_saved = m_state.scheme;
    if (unsavedBefore)
        emit savedChanged();
}

void SchemeDocument::restore(const SchemeState& state, int slot)
{
    const Before was = before();
    m_state = state;
    if (slot >= 0)
        m_slot = slot;
    announce(was, SeveralSlots);
}
