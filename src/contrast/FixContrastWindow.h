#pragma once

#include "ProposalWindow.h"

class QLabel;

// "Fix Contrast": the current scheme beside the nearest one that meets the chosen contrast rules,
// each as a small sample page with its ratios (or APCA Lc for an APCA target).
class FixContrastWindow : public ProposalWindow {
    Q_OBJECT
public:
    explicit FixContrastWindow(const ColorScheme& current, QWidget* parent = nullptr);

    // The figures under a sample: one line for the text and one for each link, each figure marked
    // with whether it meets the target.
    static QString ratioText(const ColorScheme& scheme, ContrastFixer::Target target, bool linksUnderlined);

protected:
    ContrastFixer::Proposal propose(
        const ColorScheme& current, ContrastFixer::Target target, bool linksUnderlined) const override;
    QString noteText() const override;
    void showProposal() override;

private:
    QLabel* m_currentRatios;
    QLabel* m_proposedRatios;
};
