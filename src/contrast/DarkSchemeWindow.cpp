#include "DarkSchemeWindow.h"

#include "colour/Srgb.h"
#include "formats/CssText.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>

namespace {

ProposalWindow::TargetChoices targetChoices()
{
    ProposalWindow::TargetChoices choices;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        const ContrastFixer::Target target = ContrastFixer::Targets[i];
        const QString name = ContrastFixer::nameOf(target);
        choices[i] = {name, QStringLiteral("target") + QString(name).remove(QLatin1Char(' ')), {}};
        // The APCA names carry their level; a WCAG level is named with the ratio it needs.
        if (!ContrastFixer::isApca(target)) {
            const QString ratio = QString::number(ContrastFixer::levelFor(target));
            choices[i].text = DarkSchemeWindow::tr("%1 (%2:1)").arg(name, ratio);
            choices[i].accessibleName = DarkSchemeWindow::tr("Target %1, %2 to 1").arg(name, ratio);
        }
    }
    return choices;
}

} // namespace

DarkSchemeWindow::DarkSchemeWindow(const ColourScheme& current, const Margins& margins, QWidget* parent)
    : ProposalWindow(
        current, {tr("Dark"), QStringLiteral("dark"), tr("Dark scheme")}, targetChoices(), TargetTabs::Last, parent)
    , m_margins(margins)
{
    setObjectName(QStringLiteral("DarkSchemeWindow"));
    setWindowTitle(tr("Make Dark Scheme"));

    auto* copy = new QPushButton(tr("Copy CSS with &Dark Mode"), this);
    copy->setObjectName(QStringLiteral("copyCssButton"));
    copy->setAccessibleName(tr("Copy CSS with Dark Mode"));
    connect(copy, &QPushButton::clicked, this, [this] { QGuiApplication::clipboard()->setText(cssWithDarkMode()); });

    // Tab goes from the check box through the buttons and only then to the targets.
    setTabOrder(underlinedBox(), copy);
    finish(copy);
}

ContrastFixer::Proposal DarkSchemeWindow::propose(
    const ColourScheme& current, ContrastFixer::Target target, bool linksUnderlined) const
{
    return ContrastFixer::proposeDark(current, target, linksUnderlined);
}

QString DarkSchemeWindow::cssWithDarkMode() const
{
    QString dark;
    for (const QString& line : CssText::compose(proposal().scheme, m_margins).split(QLatin1Char('\n'))) {
        if (!line.isEmpty())
            dark += QStringLiteral("  ") + line + QLatin1Char('\n');
    }
    QString css = CssText::compose(currentScheme(), m_margins);
    if (!css.endsWith(QLatin1Char('\n')))
        css += QLatin1Char('\n');
    return css + QStringLiteral("@media (prefers-color-scheme: dark) {\n") + dark + QStringLiteral("}\n");
}

QString DarkSchemeWindow::noteText() const
{
    const Rgb back = proposal().scheme.colour(Slot::Background);
    if (!proposal().backgroundKeepsHue) {
        return tr("No dark colour of the background's hue and chroma lets the colours meet %1, so the background "
                  "is %2, which does not keep its hue. The others keep theirs, as near their mirrored lightness "
                  "as %1 allows.")
            .arg(ContrastFixer::nameOf(target()), back.name().toUpper());
    }
    if (proposal().solved) {
        const double lightness = Srgb::oklab(Srgb::linear(back)).L;
        return tr("Every colour keeps its hue. The background is dark (OKLCH lightness %1); the others "
                  "are as near their mirrored lightness as %2 allows.")
            .arg(QString::number(lightness, 'f', 2), ContrastFixer::nameOf(target()));
    }
    return tr("On a dark page no colours reach %1 while the links also stand 3:1 apart from the text. "
              "This proposal meets %1 against the background only: underline your links, or choose AA.")
        .arg(ContrastFixer::nameOf(target()));
}
