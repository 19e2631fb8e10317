#include "FixContrastWindow.h"

#include <QPushButton>

namespace {

QString hex(const QColor& colour)
{
    return colour.name().toUpper();
}

ProposalWindow::TargetChoices targetChoices()
{
    ProposalWindow::TargetChoices choices{{
        {FixContrastWindow::tr("AA (&4.5:1)"), QStringLiteral("targetAA"),
            FixContrastWindow::tr("Target AA, 4.5 to 1")},
        {FixContrastWindow::tr("AAA (&7:1)"), QStringLiteral("targetAAA"), FixContrastWindow::tr("Target AAA, 7 to 1")},
        {{}, QStringLiteral("targetApca60"), {}},
        {{}, QStringLiteral("targetApca75"), {}},
        {{}, QStringLiteral("targetApca90"), {}},
    }};
    for (std::size_t i = 2; i < choices.size(); ++i) {
        choices[i].text = ContrastFixer::nameOf(ContrastFixer::Targets[i]);
        choices[i].accessibleName = FixContrastWindow::tr("Target %1, advisory").arg(choices[i].text);
    }
    return choices;
}

} // namespace

FixContrastWindow::FixContrastWindow(const ColourScheme& current, QWidget* parent)
    : ProposalWindow(current,
        {tr("Proposed"), QStringLiteral("proposed"), tr("Proposed scheme")},
        targetChoices(),
        TargetTabs::First,
        parent)
{
    setObjectName(QStringLiteral("FixContrastWindow"));
    setWindowTitle(tr("Fix Contrast"));
    finish();
}

ContrastFixer::Proposal FixContrastWindow::propose(
    const ColourScheme& current, ContrastFixer::Target target, bool linksUnderlined) const
{
    return ContrastFixer::propose(current, target, linksUnderlined);
}

bool FixContrastWindow::textPassesAlone() const
{
    for (const ContrastAudit::Pair& pair : ContrastAudit::audit(currentScheme(), target(), true)) {
        if (pair.kind.fore == Slot::Text)
            return pair.passes;
    }
    return false;
}

void FixContrastWindow::showProposal()
{
    // Nothing to apply when the scheme already meets the rules.
    applyButton()->setEnabled(proposal().scheme != currentScheme());
}

QString FixContrastWindow::noteText() const
{
    const double level = ContrastFixer::levelFor(target());
    const QString needed
        = ContrastFixer::isApca(target()) ? QStringLiteral("Lc %1").arg(level) : QStringLiteral("%1:1").arg(level);
    const ContrastFixer::Proposal& proposed = proposal();
    if (!proposed.solved) {
        return tr("No colours reach %1 against the background while the links also stand 3:1 apart from the "
                  "text. This proposal meets %1 against the background only: underline your links, or choose a "
                  "lower target.")
            .arg(needed);
    }
    if (proposed.backgroundMoved) {
        const QString way = proposed.backgroundShift > 0 ? tr("lighter") : tr("darker");
        return tr("No text and link colours meet every rule on this background, so the background changes too: "
                  "%1, from %2 to %3.")
            .arg(way, hex(currentScheme().colour(Slot::Background)), hex(proposed.scheme.colour(Slot::Background)));
    }
    if (proposed.scheme == currentScheme())
        return tr("This scheme already meets every rule; nothing needs to change.");
    if (!linksUnderlined()) {
        const Rgb text = currentScheme().colour(Slot::Text);
        if (proposed.scheme.colour(Slot::Text) != text && textPassesAlone()
            && ContrastFixer::propose(currentScheme(), target(), true).scheme.colour(Slot::Text) == text) {
            return tr("The text passes against the background, but with links told apart from it by colour "
                      "alone, every link must also stand 3:1 from it, so it moves from %1 to %2. Ticking "
                      "\"Links are underlined on my pages\" would keep it.")
                .arg(hex(text), hex(proposed.scheme.colour(Slot::Text)));
        }
        return tr("Only the colours that fall short change, and only in lightness; the background stays. With "
                  "links not underlined, a colour that passes against the background must still change when a "
                  "link is not 3:1 from the text.");
    }
    return tr("Only the colours that fall short change, and only in lightness; the background stays.");
}
