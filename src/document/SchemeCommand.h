#pragma once

#include "SchemeDocument.h"

#include <QUndoCommand>

// One change of the document, already made when it is pushed: the first redo does nothing, later ones
// and every undo restore a whole state. Steps on one bar (or one margin) that follow each other
// quickly merge into one, so a held arrow or a quick row of key presses is one undo step. A step holds
// two states and two slots, nothing else.
class SchemeCommand : public QUndoCommand {
public:
    // What the command merges with: nothing, one bar of one slot, or one margin.
    static constexpr int NoMerge = -1;
    static int barGesture(int slot, int channel) { return 1 + slot * Channel::Count + channel; }
    // The OKLCH bars (lightness, chroma, hue) of one slot, after the RGB bars.
    static int oklchBarGesture(int slot, int bar) { return barGesture(Slot::Count + slot, bar); }
    static constexpr int LeftMarginGesture = 100;
    static constexpr int TopMarginGesture = 101;
    // Steps further apart than this are separate undo steps.
    static constexpr qint64 GestureGapMs = 1000;

    SchemeCommand(SchemeDocument& document,
        const QString& text,
        const SchemeState& before,
        int slotBefore,
        const SchemeState& after,
        int slotAfter,
        int gesture);

    void undo() override;
    void redo() override;
    int id() const override { return m_gesture; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    SchemeDocument& m_document;
    SchemeState m_before;
    SchemeState m_after;
    qint64 m_madeAt;
    qint8 m_slotBefore;
    qint8 m_slotAfter;
    qint16 m_gesture;
    bool m_done = true;
};
