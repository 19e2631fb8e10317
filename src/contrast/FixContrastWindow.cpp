#include "FixContrastWindow.h"

#include "SchemeSample.h"
#include "scheme/Apca.h"
#include "scheme/Contrast.h"
#include "ui/Fonts.h"
#include "ui/Look.h"
#include "ui/WindowPlacement.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
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

QString hex(const QColor& colour)
{
    return colour.name().toUpper();
}

} // namespace

FixContrastWindow::FixContrastWindow(const ColorScheme& current, QWidget* parent)
    : QDialog(parent)
    , m_current(current)
    , m_currentSample(new SchemeSample(this))
    , m_proposedSample(new SchemeSample(this))
    , m_currentRatios(plainLabel(this, QStringLiteral("currentRatios")))
    , m_proposedRatios(plainLabel(this, QStringLiteral("proposedRatios")))
    , m_aa(new QRadioButton(tr("AA (&4.5:1)"), this))
    , m_aaa(new QRadioButton(tr("AAA (&7:1)"), this))
    , m_apca{new QRadioButton(ContrastFixer::nameOf(ContrastFixer::Target::ApcaLc60), this),
          new QRadioButton(ContrastFixer::nameOf(ContrastFixer::Target::ApcaLc75), this),
          new QRadioButton(ContrastFixer::nameOf(ContrastFixer::Target::ApcaLc90), this)}
    , m_underlined(new QCheckBox(tr("Links are underlined on my pages"), this))
    , m_note(plainLabel(this, QStringLiteral("note")))
    , m_apply(new QPushButton(tr("&Apply"), this))
    , m_cancel(new QPushButton(tr("&Cancel"), this))
{
    setObjectName(QStringLiteral("FixContrastWindow"));
    setWindowTitle(tr("Fix Contrast"));
    Look::apply(this);

    m_currentSample->setObjectName(QStringLiteral("currentSample"));
    m_currentSample->setAccessibleName(tr("Current scheme"));
    m_proposedSample->setObjectName(QStringLiteral("proposedSample"));
    m_proposedSample->setAccessibleName(tr("Proposed scheme"));
    m_currentRatios->setAccessibleName(tr("Ratios of the current scheme"));
    m_proposedRatios->setAccessibleName(tr("Ratios of the proposed scheme"));
    m_aa->setObjectName(QStringLiteral("targetAA"));
    m_aa->setAccessibleName(tr("Target AA, 4.5 to 1"));
    m_aaa->setObjectName(QStringLiteral("targetAAA"));
    m_aaa->setAccessibleName(tr("Target AAA, 7 to 1"));
    const char* const apcaNames[] = {"targetApca60", "targetApca75", "targetApca90"};
    for (std::size_t i = 0; i < m_apca.size(); ++i) {
        m_apca[i]->setObjectName(QString::fromLatin1(apcaNames[i]));
        m_apca[i]->setAccessibleName(tr("Target %1, advisory").arg(m_apca[i]->text()));
        m_apca[i]->setToolTip(tr("APCA is advisory: it is not yet a standard."));
    }
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

    auto* targets = new QButtonGroup(this);
    targets->addButton(m_aa);
    targets->addButton(m_aaa);
    for (QRadioButton* button : m_apca)
        targets->addButton(button);
    m_aa->setChecked(true);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setHorizontalSpacing(16);
    grid->addWidget(plainLabel(this, QStringLiteral("currentCaption"), tr("Current")), 0, 0);
    grid->addWidget(plainLabel(this, QStringLiteral("proposedCaption"), tr("Proposed")), 0, 1);
    grid->addWidget(m_currentSample, 1, 0);
    grid->addWidget(m_proposedSample, 1, 1);
    grid->addWidget(m_currentRatios, 2, 0);
    grid->addWidget(m_proposedRatios, 2, 1);

    auto* choices = new QHBoxLayout;
    choices->addWidget(plainLabel(this, QStringLiteral("targetCaption"), tr("Target:")));
    choices->addWidget(m_aa);
    choices->addWidget(m_aaa);
    for (QRadioButton* button : m_apca)
        choices->addWidget(button);
    choices->addSpacing(16);
    choices->addWidget(m_underlined);
    choices->addStretch(1);
    grid->addLayout(choices, 3, 0, 1, 2);
    grid->addWidget(m_note, 4, 0, 1, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_apply);
    buttons->addWidget(m_cancel);
    grid->addLayout(buttons, 5, 0, 1, 2);

    connect(targets, &QButtonGroup::buttonToggled, this, [this](QAbstractButton*, bool on) {
        if (on)
            propose();
    });
    connect(m_underlined, &QCheckBox::toggled, this, &FixContrastWindow::propose);
    connect(m_apply, &QPushButton::clicked, this, [this] {
        emit applied(m_proposal.scheme);
        accept();
    });
    connect(m_cancel, &QPushButton::clicked, this, &FixContrastWindow::reject);

    m_currentSample->setScheme(m_current);
    propose();
    adjustSize();
    setFixedSize(sizeHint());
    WindowPlacement::centreOnScreen(this);
}

void FixContrastWindow::setScheme(const ColorScheme& current)
{
    if (current == m_current)
        return;
    m_current = current;
    m_currentSample->setScheme(m_current);
    propose();
}

ContrastFixer::Target FixContrastWindow::target() const
{
    const ContrastFixer::Target apca[]
        = {ContrastFixer::Target::ApcaLc60, ContrastFixer::Target::ApcaLc75, ContrastFixer::Target::ApcaLc90};
    for (std::size_t i = 0; i < m_apca.size(); ++i) {
        if (m_apca[i]->isChecked())
            return apca[i];
    }
    return m_aaa->isChecked() ? ContrastFixer::Target::AAA : ContrastFixer::Target::AA;
}

bool FixContrastWindow::linksUnderlined() const
{
    return m_underlined->isChecked();
}

void FixContrastWindow::propose()
{
    m_proposal = ContrastFixer::propose(m_current, target(), linksUnderlined());
    m_proposedSample->setScheme(m_proposal.scheme);
    m_currentSample->setLinksUnderlined(linksUnderlined());
    m_proposedSample->setLinksUnderlined(linksUnderlined());
    m_currentRatios->setText(ratioText(m_current));
    m_proposedRatios->setText(ratioText(m_proposal.scheme));
    m_note->setText(noteText());
    // Nothing to apply when the scheme already meets the rules.
    m_apply->setEnabled(m_proposal.scheme != m_current);
}

QString FixContrastWindow::ratioText(const ColorScheme& scheme) const
{
    const double needed = ContrastFixer::levelFor(target());
    const auto mark = [](double ratio, double minimum) {
        return Contrast::ratioText(ratio)
            + (ratio >= minimum ? QStringLiteral(":1 \u2713") : QStringLiteral(":1 \u2717"));
    };
    const QColor back = scheme.colour(Slot::Background);
    const QColor text = scheme.colour(Slot::Text);
    // Against the background: the ratio, or for an APCA target its Lc (the sign is the polarity).
    const auto onBack = [&](const QColor& fore) {
        if (!ContrastFixer::isApca(target()))
            return mark(Contrast::ratio(fore, back), needed);
        const double lc = Apca::lightnessContrast(fore, back);
        return QStringLiteral("Lc %1 %2")
            .arg(QString::number(lc, 'f', 1),
                std::abs(lc) >= needed ? QStringLiteral("\u2713") : QStringLiteral("\u2717"));
    };
    QStringList lines{tr("Text %1").arg(onBack(text))};
    const std::pair<int, QString> links[] = {{Slot::NewLink, tr("New link %1")},
        {Slot::VisitedLink, tr("Visited link %1")}, {Slot::ActiveLink, tr("Active link %1")}};
    for (const auto& [slot, name] : links) {
        QString line = name.arg(onBack(scheme.colour(slot)));
        if (!linksUnderlined())
            line += tr(", from text %1").arg(mark(Contrast::ratio(scheme.colour(slot), text), Contrast::LinkFromText));
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

QString FixContrastWindow::noteText() const
{
    const double level = ContrastFixer::levelFor(target());
    const QString needed
        = ContrastFixer::isApca(target()) ? QStringLiteral("Lc %1").arg(level) : QStringLiteral("%1:1").arg(level);
    if (!m_proposal.solved) {
        return tr("No colours reach %1 against the background while the links also stand 3:1 apart from the "
                  "text. This proposal meets %1 against the background only: underline your links, or choose a "
                  "lower target.")
            .arg(needed);
    }
    if (m_proposal.backgroundMoved) {
        const QString way = m_proposal.backgroundShift > 0 ? tr("lighter") : tr("darker");
        return tr("No text and link colours meet every rule on this background, so the background changes too: "
                  "%1, from %2 to %3.")
            .arg(way, hex(m_current.colour(Slot::Background)), hex(m_proposal.scheme.colour(Slot::Background)));
    }
    if (m_proposal.scheme == m_current)
        return tr("This scheme already meets every rule; nothing needs to change.");
    if (!linksUnderlined()) {
        return tr("Only the colours that fall short change, and only in lightness; the background stays. With "
                  "links not underlined, a colour that passes against the background must still change when a "
                  "link is not 3:1 from the text.");
    }
    return tr("Only the colours that fall short change, and only in lightness; the background stays.");
}
