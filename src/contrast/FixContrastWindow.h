#pragma once

#include "ProposalWindow.h"

// "Fix Contrast": the current scheme beside the nearest one that meets the chosen contrast rules,
// each as a small sample page with its ratios (or APCA Lc for an APCA target).
class FixContrastWindow : public ProposalWindow {
    Q_OBJECT
public:
    explicit FixContrastWindow(const ColourScheme& current, QWidget* parent = nullptr);

protected:
    ContrastFixer::Proposal propose(
        const ColourScheme& current, ContrastFixer::Target target, bool linksUnderlined) const override;
    QString noteText() const override;
    void showProposal() override;

private:
    // Whether the current text meets the target against the current background, links aside.
    bool textPassesAlone() const;
};
