#include "FixContrastWindow.h"

#include "assist/ContrastAudit.h"
#include "colour/Contrast.h"

#include <cmath>

#include <QGridLayout>
#include <QLabel>
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

FixContrastWindow::FixContrastWindow(const ColorScheme& current, QWidget* parent)
    : ProposalWindow(current,
        {tr("Proposed"), QStringLiteral("proposed"), tr("Proposed scheme")},
        targetChoices(),
        TargetTabs::First,
        parent)
    , m_currentRatios(plainLabel(QStringLiteral("currentRatios")))
    , m_proposedRatios(plainLabel(QStringLiteral("proposedRatios")))
{
    setObjectName(QStringLiteral("FixContrastWindow"));
    setWindowTitle(tr("Fix Contrast"));

    m_currentRatios->setAccessibleName(tr("Ratios of the current scheme"));
    m_proposedRatios->setAccessibleName(tr("Ratios of the proposed scheme"));
    grid()->addWidget(m_currentRatios, 2, 0);
    grid()->addWidget(m_proposedRatios, 2, 1);
    finish();
}

ContrastFixer::Proposal FixContrastWindow::propose(
    const ColorScheme& current, ContrastFixer::Target target, bool linksUnderlined) const
{
    return ContrastFixer::propose(current, target, linksUnderlined);
}

void FixContrastWindow::showProposal()
{
    m_currentRatios->setText(ratioText(currentScheme(), target(), linksUnderlined()));
    m_proposedRatios->setText(ratioText(proposal().scheme, target(), linksUnderlined()));
    // Nothing to apply when the scheme already meets the rules.
    applyButton()->setEnabled(proposal().scheme != currentScheme());
}

QString FixContrastWindow::ratioText(const ColorScheme& scheme, ContrastFixer::Target target, bool linksUnderlined)
{
    const auto mark = [](bool passes) { return passes ? QStringLiteral("\u2713") : QStringLiteral("\u2717"); };
    // Against the background: the ratio, or for an APCA target its Lc (the sign is the polarity).
    const auto figure = [&mark, target](const ContrastAudit::Pair& pair) {
        if (pair.kind.fromText() || !ContrastFixer::isApca(target))
            return Contrast::ratioText(pair.ratio) + QStringLiteral(":1 ") + mark(pair.passes);
        return QStringLiteral("Lc %1 %2").arg(QString::number(pair.lc, 'f', 1), mark(pair.passes));
    };
    const QString names[Slot::Count]
        = {{}, tr("Text %1"), tr("New link %1"), tr("Visited link %1"), tr("Active link %1")};
    QStringList lines(Slot::Count - 1);
    for (const ContrastAudit::Pair& pair : ContrastAudit::audit(scheme, target, linksUnderlined)) {
        QString& line = lines[pair.kind.fore - 1];
        line += pair.kind.fromText() ? tr(", from text %1").arg(figure(pair)) : names[pair.kind.fore].arg(figure(pair));
    }
    return lines.join(QLatin1Char('\n'));
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
        return tr("Only the colours that fall short change, and only in lightness; the background stays. With "
                  "links not underlined, a colour that passes against the background must still change when a "
                  "link is not 3:1 from the text.");
    }
    return tr("Only the colours that fall short change, and only in lightness; the background stays.");
}
