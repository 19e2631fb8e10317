// The scheme on screen: selecting a slot, a channel change and what follows it in the labels, the
// sample and the tag, Default Colors, and the two margins.
#include "ColorChooser.h"
#include "MainWindow.h"
#include "MarginSelector.h"
#include "SampleArea.h"
#include "SpinButton.h"
#include "scheme/Contrast.h"
#include "scheme/ValueText.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>

int MainWindow::selectedSlot() const
{
    return m_chooser->selectedSlot();
}

void MainWindow::selectSlot(int slot)
{
    for (int c = 0; c < Channel::Count; ++c) {
        const int value = m_scheme.channel(slot, c);
        m_chooser->setBarValue(c, value);
        m_chooser->setValueText(c, ValueText::value(value));
    }
}

void MainWindow::channelChange(int channel, int value)
{
    const int slot = selectedSlot();
    // Bars that an undo moves show a recorded state; they change nothing of their own.
    if (slot < 0 || m_restoring)
        return;
    recordChange(slotCaption(slot), SchemeCommand::barGesture(slot, channel), [&] {
        m_chooser->setValueText(channel, ValueText::value(value));
        m_tag.writeChannel(slot, channel, value);
        m_scheme.setChannel(slot, channel, static_cast<qint16>(value));
        recolourSample(slot);
        showTag();
        emit schemeChanged();
    });
}

void MainWindow::recolourSample(int slot)
{
    m_sample->recolour(slot, seen(m_scheme.colour(slot)));
    refreshContrastHints();
}

void MainWindow::refreshContrastHints()
{
    const QColor page = m_scheme.colour(Slot::Background);
    for (int slot = Slot::Text; slot < Slot::Count; ++slot) {
        const double ratio = Contrast::ratio(m_scheme.colour(slot), page);
        const QString hint = tr("Contrast against the background: %1:1, reaches %2")
                                 .arg(Contrast::ratioText(ratio), Contrast::levelReached(ratio));
        m_sample->line(slot)->setToolTip(hint);
        if (slot == Slot::Text)
            m_sample->title()->setToolTip(hint);
    }
}

void MainWindow::recolourWholeSample()
{
    for (int slot = 0; slot < Slot::Count; ++slot)
        recolourSample(slot);
}

void MainWindow::setBars(const QColor& colour)
{
    // Each bar that moves runs its channel change before the next one is set.
    m_chooser->setBarValue(Channel::Red, colour.red());
    m_chooser->setBarValue(Channel::Green, colour.green());
    m_chooser->setBarValue(Channel::Blue, colour.blue());
}

void MainWindow::defaultColours()
{
    recordChange(tr("Default Colors"), [this] {
        m_scheme = ColorScheme::defaults();
        m_chooser->select(Slot::Background);
        setBars(m_scheme.colour(Slot::Background));
        recolourWholeSample();
        showWholeScheme();
    });
}

void MainWindow::showWholeScheme()
{
    // Every colour goes into the tag, not only the background pairs a moving bar rewrote.
    for (int slot = 0; slot < Slot::Count; ++slot)
        m_tag.writeColour(slot, m_scheme.colour(slot));
    showTag();
    emit schemeChanged();
}

void MainWindow::showTag()
{
    m_tagline->setPlainText(m_tag.text());
}

void MainWindow::stepLeftMargin(int delta)
{
    recordChange(tr("Left Margin"), SchemeCommand::LeftMarginGesture, [this, delta] {
        m_margins.stepLeft(delta);
        m_marginPreview->move(m_margins.previewPosition().x(), m_marginPreview->y());
        m_tag.writeLeftMargin(m_margins);
        showTag();
        m_marginSelector->showLeft(m_margins.left());
    });
}

void MainWindow::stepTopMargin(int delta)
{
    recordChange(tr("Top Margin"), SchemeCommand::TopMarginGesture, [this, delta] {
        m_margins.stepTop(delta);
        m_marginPreview->move(m_marginPreview->x(), m_margins.previewPosition().y());
        m_tag.writeTopMargin(m_margins);
        showTag();
        m_marginSelector->showTop(m_margins.top());
    });
}

void MainWindow::marginBoxClicked()
{
    // Boxes that an undo ticks show a recorded state; they change nothing of their own.
    if (m_restoring)
        return;
    const bool leftClicked = m_marginSelector->leftTicked() != m_margins.useLeft();
    // The step is named by the box the user clicked, as its caption reads.
    const QCheckBox* box = leftClicked ? m_marginSelector->leftBox() : m_marginSelector->topBox();
    recordChange(QString(box->text()).remove(QLatin1Char('&')), [this] { applyMarginBoxes(); });
}

void MainWindow::applyMarginBoxes()
{
    m_margins.setUseLeft(m_marginSelector->leftTicked());
    m_margins.setUseTop(m_marginSelector->topTicked());
    // The colour part comes from the scheme in use, so ticking a box never brings back old colours.
    m_tag.setText(BodyTag::compose(m_scheme, m_margins));
    const bool left = m_margins.useLeft();
    const bool top = m_margins.useTop();
    if (left && top) {
        EnableTop();
        EnableLeft();
    } else if (left) {
        DisableTop();
        EnableLeft();
    } else if (top) {
        DisableLeft();
        EnableTop();
    } else {
        DisableTop();
        DisableLeft();
    }
    showTag();
}

void MainWindow::EnableLeft()
{
    m_marginSelector->leftSpin()->setEnabled(true);
}

void MainWindow::DisableLeft()
{
    m_marginSelector->leftSpin()->setEnabled(false);
}

void MainWindow::EnableTop()
{
    m_marginSelector->topSpin()->setEnabled(true);
}

void MainWindow::DisableTop()
{
    m_marginSelector->topSpin()->setEnabled(false);
}