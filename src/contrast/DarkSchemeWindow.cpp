#include "DarkSchemeWindow.h"

#include "SchemeSample.h"
#include "scheme/CssText.h"
#include "scheme/Srgb.h"
#include "ui/Look.h"
#include "ui/WindowPlacement.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {

QLabel* plainLabel(QWidget* parent, const QString& name, const QString& text = {})
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

} // namespace

DarkSchemeWindow::DarkSchemeWindow(const ColorScheme& current, const Margins& margins, QWidget* parent)
    : QDialog(parent)
    , m_current(current)
    , m_margins(margins)
    , m_currentSample(new SchemeSample(this))
    , m_darkSample(new SchemeSample(this))
    , m_targets{}
    , m_underlined(new QCheckBox(tr("Links are underlined on my pages"), this))
    , m_note(plainLabel(this, QStringLiteral("note")))
    , m_copy(new QPushButton(tr("Copy CSS with &Dark Mode"), this))
    , m_apply(new QPushButton(tr("&Apply"), this))
    , m_cancel(new QPushButton(tr("&Cancel"), this))
{
    setObjectName(QStringLiteral("DarkSchemeWindow"));
    setWindowTitle(tr("Make Dark Scheme"));
    Look::apply(this);

    m_currentSample->setObjectName(QStringLiteral("currentSample"));
    m_currentSample->setAccessibleName(tr("Current scheme"));
    m_darkSample->setObjectName(QStringLiteral("darkSample"));
    m_darkSample->setAccessibleName(tr("Dark scheme"));
    m_underlined->setObjectName(QStringLiteral("linksUnderlined"));
    m_underlined->setAccessibleName(m_underlined->text());
    m_note->setAccessibleName(tr("What the proposal had to do"));
    m_note->setWordWrap(true);
    m_note->setMinimumHeight(3 * m_note->fontMetrics().lineSpacing());
    m_copy->setObjectName(QStringLiteral("copyCssButton"));
    m_copy->setAccessibleName(tr("Copy CSS with Dark Mode"));
    m_apply->setObjectName(QStringLiteral("applyButton"));
    m_apply->setAccessibleName(tr("Apply"));
    m_apply->setDefault(true);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    m_cancel->setAccessibleName(tr("Cancel"));

    auto* targets = new QButtonGroup(this);
    auto* choices = new QHBoxLayout;
    choices->addWidget(plainLabel(this, QStringLiteral("targetCaption"), tr("Target:")));
    for (std::size_t i = 0; i < m_targets.size(); ++i) {
        const ContrastFixer::Target target = ContrastFixer::Targets[i];
        m_targets[i] = new QRadioButton(ContrastFixer::nameOf(target), this);
        m_targets[i]->setObjectName(QStringLiteral("target") + ContrastFixer::nameOf(target).remove(QLatin1Char(' ')));
        if (ContrastFixer::isApca(target))
            m_targets[i]->setToolTip(tr("APCA is advisory: it is not yet a standard."));
        targets->addButton(m_targets[i]);
        choices->addWidget(m_targets[i]);
    }
    m_targets[0]->setChecked(true);
    choices->addSpacing(16);
    choices->addWidget(m_underlined);
    choices->addStretch(1);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setHorizontalSpacing(16);
    grid->addWidget(plainLabel(this, QStringLiteral("currentCaption"), tr("Current")), 0, 0);
    grid->addWidget(plainLabel(this, QStringLiteral("darkCaption"), tr("Dark")), 0, 1);
    grid->addWidget(m_currentSample, 1, 0);
    grid->addWidget(m_darkSample, 1, 1);
    grid->addLayout(choices, 2, 0, 1, 2);
    grid->addWidget(m_note, 3, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_copy);
    buttons->addStretch(1);
    buttons->addWidget(m_apply);
    buttons->addWidget(m_cancel);
    grid->addLayout(buttons, 4, 0, 1, 2);

    connect(targets, &QButtonGroup::buttonToggled, this, [this](QAbstractButton*, bool on) {
        if (on)
            propose();
    });
    connect(m_underlined, &QCheckBox::toggled, this, &DarkSchemeWindow::propose);
    connect(m_copy, &QPushButton::clicked, this, [this] { QGuiApplication::clipboard()->setText(cssWithDarkMode()); });
    connect(m_apply, &QPushButton::clicked, this, [this] {
        emit applied(m_proposal.scheme);
        accept();
    });
    connect(m_cancel, &QPushButton::clicked, this, &DarkSchemeWindow::reject);

    m_currentSample->setScheme(m_current);
    propose();
    adjustSize();
    setFixedSize(sizeHint());
    WindowPlacement::centreOnScreen(this);
}

void DarkSchemeWindow::setScheme(const ColorScheme& current)
{
    if (current == m_current)
        return;
    m_current = current;
    m_currentSample->setScheme(m_current);
    propose();
}

ContrastFixer::Target DarkSchemeWindow::target() const
{
    for (std::size_t i = 0; i < m_targets.size(); ++i) {
        if (m_targets[i]->isChecked())
            return ContrastFixer::Targets[i];
    }
    return ContrastFixer::Target::AA;
}

QString DarkSchemeWindow::cssWithDarkMode() const
{
    QString dark;
    for (const QString& line : CssText::compose(m_proposal.scheme, m_margins).split(QLatin1Char('\n'))) {
        if (!line.isEmpty())
            dark += QStringLiteral("  ") + line + QLatin1Char('\n');
    }
    QString css = CssText::compose(m_current, m_margins);
    if (!css.endsWith(QLatin1Char('\n')))
        css += QLatin1Char('\n');
    return css + QStringLiteral("@media (prefers-color-scheme: dark) {\n") + dark + QStringLiteral("}\n");
}

void DarkSchemeWindow::propose()
{
    const bool underlined = m_underlined->isChecked();
    m_proposal = ContrastFixer::proposeDark(m_current, target(), underlined);
    m_darkSample->setScheme(m_proposal.scheme);
    m_currentSample->setLinksUnderlined(underlined);
    m_darkSample->setLinksUnderlined(underlined);
    if (m_proposal.solved) {
        const double lightness = Srgb::oklab(Srgb::linear(m_proposal.scheme.colour(Slot::Background))).L;
        m_note->setText(tr("Every colour keeps its hue. The background is dark (OKLCH lightness %1); the others "
                           "are as near their mirrored lightness as %2 allows.")
                            .arg(QString::number(lightness, 'f', 2), ContrastFixer::nameOf(target())));
    } else {
        m_note->setText(tr("On a dark page no colours reach %1 while the links also stand 3:1 apart from the text. "
                           "This proposal meets %1 against the background only: underline your links, or choose AA.")
                            .arg(ContrastFixer::nameOf(target())));
    }
}
