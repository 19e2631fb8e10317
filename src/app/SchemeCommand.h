#pragma once

#include "scheme/ColorScheme.h"
#include "scheme/Margins.h"

#include <QString>
#include <QUndoCommand>
#include <functional>

// The scheme as the window shows it: the fifteen values, the margins, the tag text and the margin
// labels (which show "10" until a margin first moves, " 10" after). One undo step takes the window
// from one of these back to the one before.
struct SchemeState {
    ColorScheme scheme;
    Margins margins;
    QString tag;
    QString leftLabel;
    QString topLabel;

    bool operator==(const SchemeState&) const = default;
};

// One change of the scheme, already made when it is pushed: the first redo does nothing, later ones
// and every undo show a whole state again. Steps on one bar (or one margin) that follow each other
// quickly merge into one, so a held arrow or a quick row of key presses is one undo step.
class SchemeCommand : public QUndoCommand {
public:
    // Shows `state` in the window with `slot` selected.
    using Show = std::function<void(const SchemeState& state, int slot)>;
    // What the command merges with: nothing, one bar of one slot, or one margin.
    static constexpr int NoMerge = -1;
    static int barGesture(int slot, int channel) { return 1 + slot * Channel::Count + channel; }
    static constexpr int LeftMarginGesture = 100;
    static constexpr int TopMarginGesture = 101;
    // Steps further apart than this are separate undo steps.
    static constexpr qint64 GestureGapMs = 1000;

    SchemeCommand(const QString& text,
        SchemeState before,
        int slotBefore,
        SchemeState after,
        int slotAfter,
        Show show,
        int gesture = NoMerge);

    void undo() override;
    void redo() override;
    int id() const override { return m_gesture; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    SchemeState m_before;
    int m_slotBefore;
    SchemeState m_after;
    int m_slotAfter;
    Show m_show;
    int m_gesture;
    qint64 m_madeAt;
    bool m_done = true;
};
