// Undo and redo: every change of the fifteen values or the margins is recorded as one step that shows
// the whole scheme as it was before, or after, again.
#include "ColorChooser.h"
#include "MainWindow.h"
#include "MarginSelector.h"
#include "SpinButton.h"
#include "scheme/ValueText.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QUndoStack>

SchemeState MainWindow::state() const
{
    return {
        m_scheme, m_margins, m_tag.text(), m_marginSelector->leftLabel()->text(), m_marginSelector->topLabel()->text()};
}

void MainWindow::recordChange(const QString& text, int gesture, const std::function<void()>& change)
{
    // A change made inside another (the bars that Default Colors moves) belongs to that one.
    if (m_changing) {
        change();
        return;
    }
    const SchemeState before = state();
    const int slotBefore = selectedSlot();
    {
        const QScopedValueRollback<bool> changing(m_changing, true);
        change();
    }
    SchemeState after = state();
    if (after == before)
        return;
    m_undoStack->push(new SchemeCommand(
        text, before, slotBefore, std::move(after), selectedSlot(),
        [this](const SchemeState& shown, int slot) { showState(shown, slot); }, gesture));
}

void MainWindow::showState(const SchemeState& shown, int slot)
{
    // The bars move to the state's values without running a channel change of their own.
    const QScopedValueRollback<bool> restoring(m_restoring, true);
    m_scheme = shown.scheme;
    m_margins = shown.margins;
    m_tag.setText(shown.tag);
    if (slot >= 0)
        m_chooser->select(slot);
    if (selectedSlot() >= 0)
        selectSlot(selectedSlot());
    recolourWholeSample();
    showMargins();
    // The labels exactly as they were ("10" before a margin first moved, " 10" after).
    m_marginSelector->showLeft(m_margins.left(), shown.leftLabel);
    m_marginSelector->showTop(m_margins.top(), shown.topLabel);
    showTag();
    emit schemeChanged();
}

void MainWindow::showMargins()
{
    m_marginSelector->leftBox()->setChecked(m_margins.useLeft());
    m_marginSelector->topBox()->setChecked(m_margins.useTop());
    m_marginSelector->leftSpin()->setEnabled(m_margins.useLeft());
    m_marginSelector->topSpin()->setEnabled(m_margins.useTop());
    m_marginPreview->move(m_margins.previewPosition());
}

QString MainWindow::slotCaption(int slot) const
{
    return m_chooser->option(slot)->text();
}

bool MainWindow::hasUnsavedChanges() const
{
    return m_scheme != m_savedScheme;
}
