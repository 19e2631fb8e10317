#pragma once

#include "colour/ColourScheme.h"
#include "formats/BodyTag.h"
#include "formats/Margins.h"

#include <QObject>
#include <QString>

class QUndoStack;

// Which of the two margins a call is about.
enum class MarginSide { Left, Top };

// Everything one undo step takes the document back to: the fifteen values, the margins, and whether
// each margin's label has shown a stepped value yet ("10" at start, " 10" from the first step on).
// The tag is always the one these give, so it is composed again rather than kept.
struct SchemeState {
    ColourScheme scheme;
    Margins margins;
    bool leftStepped = false;
    bool topStepped = false;

    QString tag() const { return BodyTag::compose(scheme, margins); }
    bool operator==(const SchemeState&) const = default;
};

// The scheme being composed, with no widgets: the fifteen values and the selected slot, the margins
// (and the tag they give), the scheme last saved or opened, and the undo stack. Every change goes
// through one of its methods; each call makes at most one undo step and emits each of its signals at
// most once, and a call that changes nothing does nothing, so views can hand every control's change
// straight back.
class SchemeDocument : public QObject {
    Q_OBJECT
public:
    // Undo steps kept; older ones are dropped first.
    static constexpr int UndoLimit = 10000;
    // Slot passed to schemeChanged when more than one slot may have changed.
    static constexpr int SeveralSlots = -1;

    // `undoLimit` 0 keeps every step.
    explicit SchemeDocument(QObject* parent = nullptr, int undoLimit = UndoLimit);
    ~SchemeDocument() override;

    const ColourScheme& scheme() const { return m_state.scheme; }
    const Margins& margins() const { return m_state.margins; }
    // The tag the state gives, composed from it: there is no second copy to disagree with it.
    BodyTag tag() const { return BodyTag(m_state.tag()); }
    // The selected slot, or -1 before anything was selected.
    int selectedSlot() const { return m_slot; }
    // Whether a margin's label shows a stepped value (" 10") rather than the starting "10".
    bool marginStepped(MarginSide side) const;
    const SchemeState& state() const { return m_state; }
    QUndoStack& undoStack() const { return *m_undoStack; }

    // The fifteen values differ from the scheme last saved or opened (at start, the defaults).
    bool hasUnsavedChanges() const { return m_state.scheme != m_saved; }

    // Selecting is not a change of the scheme: it makes no undo step.
    void selectSlot(int slot);
    // One channel of the selected slot; steps on one bar that follow each other quickly are one undo step.
    void setChannel(int channel, int value);
    // The selected slot's colour from one OKLCH bar (0..2: lightness, chroma, hue), as a step named `step`;
    // steps on one bar that follow each other quickly are one undo step, as on the RGB bars.
    void setFromOklchBar(int bar, const Rgb& colour, const QString& step);
    // Gives `slot` a whole colour (the colour dialog, Paste Color), as one step named `step`.
    void setColour(int slot, const QColor& colour, const QString& step);
    // A whole new scheme (Default Colors, Open Scheme): the background is selected, every colour is
    // written into the tag.
    void replaceScheme(const ColourScheme& scheme, const QString& step);
    // Colours and margins from outside at once (Apply Tag, Fix Contrast); the tag is composed anew.
    void applyState(const SchemeState& state, const QString& step);
    // One arrow step of a margin; it stays within 0..50.
    void stepMargin(MarginSide side, int delta);
    // Puts a margin into the tag or takes it out; the step is named `step` (the box's caption).
    void switchMargin(MarginSide side, bool use, const QString& step);
    // The current scheme is the one last saved or opened.
    void markSaved();

signals:
    void slotSelected(int slot);
    // The fifteen values changed: those of `slot`, or of several slots (SeveralSlots).
    void schemeChanged(int slot);
    // The margins, their use or their labels changed, or a margin was stepped.
    void marginsChanged();
    // The tag was written, perhaps with the text it had: views show it again, over anything typed.
    void tagWritten();
    void savedChanged();

private:
    friend class SchemeCommand;

    // What a change is measured against.
    struct Before {
        SchemeState state;
        int slot;
        bool unsaved;
    };
    Before before() const;
    // Emits, once each, the signals of what differs from `before`; the tag was written in any case, and
    // the margins when `marginsWritten` (an arrow step at the end of the range shows its value again).
    void announce(const Before& before, int changedSlot, bool marginsWritten = false);
    // Runs `change` (which returns the slot it changed, or SeveralSlots), announces what it changed and
    // records the difference as one step.
    template <typename Change> void record(const QString& text, int gesture, Change change);
    // Takes a whole recorded state back with `slot` selected.
    void restore(const SchemeState& state, int slot);

    SchemeState m_state;
    int m_slot = -1;
    ColourScheme m_saved;
    QUndoStack* m_undoStack;
};
