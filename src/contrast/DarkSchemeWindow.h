#pragma once

#include "ProposalWindow.h"
#include "formats/Margins.h"

// "Make Dark Scheme": the current scheme beside a dark companion that meets the chosen contrast rules.
// Copy CSS with Dark Mode puts the current scheme's CSS on the clipboard followed by the dark one for
// readers who prefer dark pages; Apply hands the dark scheme over.
class DarkSchemeWindow : public ProposalWindow {
    Q_OBJECT
public:
    DarkSchemeWindow(const ColourScheme& current, const Margins& margins, QWidget* parent = nullptr);

    // The current scheme's CSS, then the dark scheme's inside @media (prefers-color-scheme: dark).
    QString cssWithDarkMode() const;

protected:
    ContrastFixer::Proposal propose(
        const ColourScheme& current, ContrastFixer::Target target, bool linksUnderlined) const override;
    QString noteText() const override;

private:
    Margins m_margins;
};
