#include "ProposalWindow.h"

#include "SchemeSample.h"
#include "assist/ContrastAudit.h"
#include "colour/Contrast.h"
#include "ui/Look.h"
#include "ui/WindowPlacement.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

namespace {

// The style's room between two widgets side by side. A layout inside the grid would take its spacing
// from the grid, which has none to give while its columns and rows are spaced apart differently.
int horizontalSpacing(const QWidget* window)
{
    const int spacing = window->style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing, nullptr, window);
    return spacing >= 0 ? spacing : 6;
}

} // namespace

ProposalWindow::ProposalWindow(const ColourScheme& current,
    const ProposedSide& side,
    const TargetChoices& targets,
    TargetTabs tabs,
    QWidget* parent)
    : QDialog(parent)
    , m_choices(targets)
    , m_current(current)
    , m_currentSample(new SchemeSample(this))
    , m_proposedSample(new SchemeSample(this))
    , m_currentRatios(nullptr)
    , m_proposedRatios(nullptr)
    , m_targets{}
    , m_underlined(nullptr)
    , m_note(nullptr)
    , m_apply(nullptr)
    , m_cancel(nullptr)
    , m_grid(new QGridLayout(this))
{
    // Widgets join the tab order as they are made.
    if (tabs == TargetTabs::First)
        createTargets();
    m_underlined = new QCheckBox(tr("Links are underlined on my pages"), this);
    m_currentRatios = plainLabel(QStringLiteral("currentRatios"));
    m_proposedRatios = plainLabel(side.stem + QStringLiteral("Ratios"));
    m_note = plainLabel(QStringLiteral("note"));
    m_apply = new QPushButton(tr("&Apply"), this);
    m_cancel = new QPushButton(tr("&Cancel"), this);
    Look::apply(this);

    m_currentSample->setObjectName(QStringLiteral("currentSample"));
    m_currentSample->setAccessibleName(tr("Current scheme"));
    m_proposedSample->setObjectName(side.stem + QStringLiteral("Sample"));
    m_proposedSample->setAccessibleName(side.accessibleName);
    m_currentRatios->setAccessibleName(tr("Ratios of the current scheme"));
    m_proposedRatios->setAccessibleName(tr("Ratios of the %1").arg(side.accessibleName.toLower()));
    m_underlined->setObjectName(QStringLiteral("linksUnderlined"));
    m_underlined->setAccessibleName(m_underlined->text());
    m_note->setAccessibleName(tr("What the proposal had to do"));
    m_note->setWordWrap(true);
    // Room for the longest note, so the fixed-size window never clips one.
    m_note->setMinimumHeight(3 * m_note->fontMetrics().lineSpacing());
    m_apply->setObjectName(QStringLiteral("applyButton"));
    m_apply->setAccessibleName(tr("Apply"));
    m_apply->setDefault(true);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    m_cancel->setAccessibleName(tr("Cancel"));

    m_grid->setContentsMargins(12, 12, 12, 12);
    m_grid->setHorizontalSpacing(16);
    m_grid->addWidget(plainLabel(QStringLiteral("currentCaption"), tr("Current")), 0, 0);
    m_grid->addWidget(plainLabel(side.stem + QStringLiteral("Caption"), side.caption), 0, 1);
    m_grid->addWidget(m_currentSample, 1, 0);
    m_grid->addWidget(m_proposedSample, 1, 1);
    m_grid->addWidget(m_currentRatios, 2, 0);
    m_grid->addWidget(m_proposedRatios, 2, 1);
}

QLabel* ProposalWindow::plainLabel(const QString& name, const QString& text)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

void ProposalWindow::createTargets()
{
    for (std::size_t i = 0; i < m_targets.size(); ++i) {
        m_targets[i] = new QRadioButton(m_choices[i].text, this);
        m_targets[i]->setObjectName(m_choices[i].objectName);
        if (!m_choices[i].accessibleName.isEmpty())
            m_targets[i]->setAccessibleName(m_choices[i].accessibleName);
        if (ContrastFixer::isApca(ContrastFixer::Targets[i]))
            m_targets[i]->setToolTip(tr("APCA is advisory: it is not yet a standard."));
    }
}

void ProposalWindow::finish(QPushButton* leftButton)
{
    if (!m_targets[0])
        createTargets();
    auto* group = new QButtonGroup(this);
    auto* choices = new QHBoxLayout;
    choices->setSpacing(horizontalSpacing(this));
    QLabel* caption = plainLabel(QStringLiteral("targetCaption"), tr("Target:"));
    // On the line of the buttons' text, not above it.
    caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    choices->addWidget(caption);
    for (QRadioButton* button : m_targets) {
        group->addButton(button);
        choices->addWidget(button);
    }
    m_targets[0]->setChecked(true);
    choices->addSpacing(16);
    choices->addWidget(m_underlined);
    choices->addStretch(1);
    const int row = m_grid->rowCount();
    m_grid->addLayout(choices, row, 0, 1, 2);
    m_grid->addWidget(m_note, row + 1, 0, 1, 2);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(horizontalSpacing(this));
    if (leftButton)
        buttons->addWidget(leftButton);
    buttons->addStretch(1);
    buttons->addWidget(m_apply);
    buttons->addWidget(m_cancel);
    m_grid->addLayout(buttons, row + 2, 0, 1, 2);

    connect(group, &QButtonGroup::buttonToggled, this, [this](QAbstractButton*, bool on) {
        if (on)
            renew();
    });
    connect(m_underlined, &QCheckBox::toggled, this, &ProposalWindow::renew);
    connect(m_apply, &QPushButton::clicked, this, [this] {
        emit applied(m_proposal.scheme);
        accept();
    });
    connect(m_cancel, &QPushButton::clicked, this, &ProposalWindow::reject);

    m_currentSample->setScheme(m_current);
    renew();
    adjustSize();
    setFixedSize(sizeHint());
    WindowPlacement::centreOnScreen(this);
}

void ProposalWindow::setScheme(const ColourScheme& current)
{
    if (current == m_current)
        return;
    m_current = current;
    m_currentSample->setScheme(m_current);
    renew();
}

ContrastFixer::Target ProposalWindow::target() const
{
    for (std::size_t i = 0; i < m_targets.size(); ++i) {
        if (m_targets[i]->isChecked())
            return ContrastFixer::Targets[i];
    }
    return ContrastFixer::Target::AA;
}

bool ProposalWindow::linksUnderlined() const
{
    return m_underlined->isChecked();
}

void ProposalWindow::renew()
{
    const bool underlined = linksUnderlined();
    m_proposal = propose(m_current, target(), underlined);
    m_proposedSample->setScheme(m_proposal.scheme);
    m_currentSample->setLinksUnderlined(underlined);
    m_proposedSample->setLinksUnderlined(underlined);
    m_currentRatios->setText(ratioText(m_current, target(), underlined));
    m_proposedRatios->setText(ratioText(m_proposal.scheme, target(), underlined));
    m_note->setText(noteText());
    showProposal();
}

QString ProposalWindow::ratioText(const ColourScheme& scheme, ContrastFixer::Target target, bool linksUnderlined)
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
