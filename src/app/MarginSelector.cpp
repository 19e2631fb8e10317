#include "MarginSelector.h"

#include "SpinButton.h"
#include "document/SchemeDocument.h"
#include "formats/Margins.h"
#include "formats/ValueText.h"
#include "ui/Controls.h"

#include <QCheckBox>
#include <QLabel>

using Controls::place;

namespace {

QLabel* valueLabel(QWidget* parent, const QString& name, const QRect& geometry)
{
    QLabel* label = Controls::label(parent, name, QStringLiteral("10"), geometry);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(1);
    return label;
}

} // namespace

MarginSelector::MarginSelector(QWidget* parent)
    : QGroupBox(tr("Margin Selector"), parent)
    , m_topLabel(valueLabel(this, QStringLiteral("TopLabel"), {80, 24, 25, 17}))
    , m_leftLabel(valueLabel(this, QStringLiteral("leftlabel"), {232, 24, 25, 17}))
    , m_topSpin(place(new SpinButton(this), QStringLiteral("SpinButton1"), QRect(120, 16, 17, 33)))
    , m_leftSpin(place(new SpinButton(this), QStringLiteral("SpinButton2"), QRect(272, 16, 17, 33)))
    , m_leftBox(place(new QCheckBox(tr("Use Left Margin"), this), QStringLiteral("Check1(0)"), QRect(328, 16, 129, 17)))
    , m_topBox(place(new QCheckBox(tr("Use Right Margin"), this), QStringLiteral("Check1(1)"), QRect(328, 32, 129, 17)))
{
    setObjectName(QStringLiteral("Frame3"));
    Controls::label(this, QStringLiteral("Label5"), tr("Top Margin"), {8, 24, 73, 17});
    Controls::label(this, QStringLiteral("Label6"), tr("Left Margin"), {160, 24, 73, 17});

    // The top spin button has the window's grey; the left one keeps the system button face.
    QPalette grey = m_topSpin->palette();
    grey.setColor(QPalette::Button, QColor(0xC0, 0xC0, 0xC0));
    m_topSpin->setPalette(grey);

    // The caption says "Right" but this box has always governed the top margin.
    m_topBox->setToolTip(tr("Adds TOPMARGIN (the top page margin) to the tag"));
    m_leftBox->setToolTip(tr("Adds LEFTMARGIN (the left page margin) to the tag"));
    m_topSpin->setAccessibleName(tr("Top margin"));
    m_leftSpin->setAccessibleName(tr("Left margin"));
    for (SpinButton* spin : {m_topSpin, m_leftSpin}) {
        spin->setRange(Margins::Minimum, Margins::Maximum);
        spin->setValue(Margins::Start);
    }
    // A screen reader reads a label by its accessible name alone, so the name carries the number.
    m_topLabel->setAccessibleName(topName(Margins::Start));
    m_leftLabel->setAccessibleName(leftName(Margins::Start));

    m_topSpin->setEnabled(false);
    m_leftSpin->setEnabled(false);

    connect(m_leftSpin, &SpinButton::upClicked, this, [this] { emit leftStepped(+1); });
    connect(m_leftSpin, &SpinButton::downClicked, this, [this] { emit leftStepped(-1); });
    connect(m_topSpin, &SpinButton::upClicked, this, [this] { emit topStepped(+1); });
    connect(m_topSpin, &SpinButton::downClicked, this, [this] { emit topStepped(-1); });
}

void MarginSelector::follow(SchemeDocument& document)
{
    const auto show = [this, &document] {
        const Margins& margins = document.margins();
        // A box set to what the document has hands back a change that changes nothing.
        m_leftBox->setChecked(margins.useLeft());
        m_topBox->setChecked(margins.useTop());
        // "10" until a margin is first stepped, " 10" from then on.
        const auto text = [&document](MarginSide side, int margin) {
            return document.marginStepped(side) ? ValueText::value(margin) : QString::number(margin);
        };
        showLeft(margins.left(), text(MarginSide::Left, margins.left()));
        showTop(margins.top(), text(MarginSide::Top, margins.top()));
    };
    connect(&document, &SchemeDocument::marginsChanged, this, show);
    connect(this, &MarginSelector::leftStepped, &document,
        [&document](int delta) { document.stepMargin(MarginSide::Left, delta); });
    connect(this, &MarginSelector::topStepped, &document,
        [&document](int delta) { document.stepMargin(MarginSide::Top, delta); });
    // A box changes by a click, a key or a screen reader's toggle action (which clicks nothing). The step
    // is named by the box the user changed, as its caption reads.
    const auto caption = [](const QCheckBox* box) { return QString(box->text()).remove(QLatin1Char('&')); };
    connect(m_leftBox, &QCheckBox::toggled, &document,
        [this, &document, caption](bool use) { document.switchMargin(MarginSide::Left, use, caption(m_leftBox)); });
    connect(m_topBox, &QCheckBox::toggled, &document,
        [this, &document, caption](bool use) { document.switchMargin(MarginSide::Top, use, caption(m_topBox)); });
    show();
}

bool MarginSelector::leftTicked() const
{
    return m_leftBox->isChecked();
}

bool MarginSelector::topTicked() const
{
    return m_topBox->isChecked();
}

void MarginSelector::showLeft(int margin, const QString& text)
{
    m_leftLabel->setText(text.isEmpty() ? ValueText::value(margin) : text);
    m_leftLabel->setAccessibleName(leftName(margin));
    m_leftSpin->setValue(margin);
}

void MarginSelector::showTop(int margin, const QString& text)
{
    m_topLabel->setText(text.isEmpty() ? ValueText::value(margin) : text);
    m_topLabel->setAccessibleName(topName(margin));
    m_topSpin->setValue(margin);
}

QString MarginSelector::leftName(int margin)
{
    return tr("Left margin value %1").arg(margin);
}

QString MarginSelector::topName(int margin)
{
    return tr("Top margin value %1").arg(margin);
}
