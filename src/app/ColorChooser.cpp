#include "ColorChooser.h"

#include "assist/ContrastMarker.h"
#include "document/SchemeDocument.h"
#include "formats/ValueText.h"
#include "ui/Controls.h"

#include <QButtonGroup>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>

using Controls::place;

namespace {

struct ModeLayout {
    const char* caption;
    QRect captionGeometry;
    QRect valueGeometry;
    int maximum;
    int singleStep;
    int pageStep;
};
// Red, green, blue as they always were; lightness, chroma and hue with room for their longer texts.
const ModeLayout RgbLayout[] = {
    {"Red", {168, 16, 41, 17}, {352, 16, 33, 17}, 255, 1, 20},
    {"Green", {168, 56, 41, 17}, {352, 56, 33, 17}, 255, 1, 20},
    {"Blue", {168, 96, 41, 17}, {352, 96, 33, 17}, 255, 1, 20},
};
const ModeLayout OklchLayout[] = {
    {"Lightness", {168, 16, 81, 17}, {249, 16, 136, 17}, OklchPosition::MaxLightness, 10, 100},
    {"Chroma", {168, 56, 81, 17}, {249, 56, 136, 17}, OklchPosition::MaxChroma, 5, 50},
    {"Hue", {168, 96, 81, 17}, {249, 96, 136, 17}, OklchPosition::HueSteps - 1, 10, 150},
};
constexpr int HueBar = 2;

} // namespace

ColorChooser::ColorChooser(QWidget* parent)
    : QGroupBox(tr("Color Chooser"), parent)
    , m_group(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("Frame1"));

    struct OptionLayout {
        const char* caption;
        QRect geometry;
    };
    static const OptionLayout options[] = {
        {"Bacground Color", {16, 24, 121, 17}},
        {"Text Color", {16, 48, 81, 17}},
        {"New Link Color", {16, 72, 113, 17}},
        {"Visited Link Color", {16, 96, 121, 17}},
        {"Active Link Color", {16, 120, 121, 17}},
    };
    for (int i = 0; i < 5; ++i) {
        auto* option = place(new QRadioButton(QString::fromLatin1(options[i].caption), this),
            QStringLiteral("cc(%1)").arg(i), options[i].geometry);
        m_group->addButton(option, i);
        m_options[static_cast<std::size_t>(i)] = option;
    }

    struct ChannelLayout {
        const char* caption;
        const char* captionName;
        const char* barName;
        const char* valueName;
        int captionY;
        int barY;
        int valueY;
    };
    static const ChannelLayout channels[] = {
        {"Red", "Label1", "redscroll", "Red", 16, 32, 16},
        {"Green", "Label2", "greenscroll", "Green", 56, 72, 56},
        {"Blue", "Label3", "bluescroll", "Blue", 96, 112, 96},
    };
    for (int c = 0; c < 3; ++c) {
        const ChannelLayout& layout = channels[c];
        const auto i = static_cast<std::size_t>(c);
        m_captions[i] = Controls::label(this, QString::fromLatin1(layout.captionName),
            QString::fromLatin1(layout.caption), {168, layout.captionY, 41, 17});
        m_values[i] = Controls::label(
            this, QString::fromLatin1(layout.valueName), QStringLiteral("0"), {352, layout.valueY, 33, 17});
        m_values[i]->setAccessibleName(tr("%1 value").arg(QString::fromLatin1(layout.caption)));

        auto* bar = place(
            new TrackBar(Qt::Horizontal, this), QString::fromLatin1(layout.barName), QRect(168, layout.barY, 217, 17));
        bar->setRange(0, 255);
        bar->setSingleStep(1);
        bar->setPageStep(20);
        // Nothing follows the thumb while it is dragged; the value settles once, on release.
        bar->setTracking(false);
        // Left and Home lower a value, Right and End raise it, like the thumb moves.
        bar->setInvertedControls(false);
        bar->setFocusPolicy(Qt::StrongFocus);
        bar->setAccessibleName(tr("%1 channel").arg(QString::fromLatin1(layout.caption)));
        connect(bar, &QScrollBar::valueChanged, this, [this, c](int value) {
            if (m_oklch) {
                moveOklchBar(c, value);
                return;
            }
            setValueText(c, ValueText::value(value));
            emit channelChanged(c, value);
        });
        m_bars[i] = bar;
    }
    connect(m_bars[HueBar], &QScrollBar::actionTriggered, this, &ColorChooser::wrapHue);

    connect(m_group, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            emit slotSelected(id);
    });
}

void ColorChooser::follow(SchemeDocument& document)
{
    m_document = &document;
    connect(&document, &SchemeDocument::slotSelected, this, &ColorChooser::showSlot);
    connect(&document, &SchemeDocument::schemeChanged, this, &ColorChooser::showSlot);
    connect(this, &ColorChooser::slotSelected, &document, &SchemeDocument::selectSlot);
    connect(this, &ColorChooser::channelChanged, &document, &SchemeDocument::setChannel);
    showSlot();
}

void ColorChooser::showSlot()
{
    const int slot = m_document ? m_document->selectedSlot() : -1;
    if (slot < 0)
        return;
    select(slot);
    if (m_oklch) {
        showOklch();
        return;
    }
    // Red, green, blue: each bar that moves reports its change before the next one is set.
    for (int c = 0; c < Channel::Count; ++c) {
        const int value = m_document->scheme().channel(slot, c);
        setBarValue(c, value);
        setValueText(c, ValueText::value(value));
    }
}

void ColorChooser::showOklch()
{
    const int slot = m_document->selectedSlot();
    // Only a change the bars made keeps the place; a grey keeps the hue the bars had.
    if (!m_movingPlace || slot != m_placeSlot)
        m_place = OklchPosition::of(m_document->scheme().colour(slot), m_place.hue);
    m_placeSlot = slot;
    retrack();
    const std::array<int, 3> values{m_place.lightness, m_place.chroma, m_place.hue};
    for (int c = 0; c < 3; ++c) {
        const QSignalBlocker quiet(bar(c));
        bar(c)->setValue(values[static_cast<std::size_t>(c)]);
        setValueText(c, oklchText(c, m_place));
    }
}

void ColorChooser::moveOklchBar(int bar, int value)
{
    OklchPosition moved = m_place;
    std::array<int*, 3> steps{&moved.lightness, &moved.chroma, &moved.hue};
    if (*steps[static_cast<std::size_t>(bar)] == value)
        return;
    *steps[static_cast<std::size_t>(bar)] = value;
    m_place = moved;
    retrack();
    for (int c = 0; c < 3; ++c)
        setValueText(c, oklchText(c, m_place));
    if (!m_document)
        return;
    m_movingPlace = true;
    m_document->setFromOklchBar(bar, m_place.colour(), QString::fromLatin1(OklchLayout[bar].caption));
    m_movingPlace = false;
}

void ColorChooser::retrack()
{
    if (m_document && m_document->selectedSlot() >= 0) {
        const int slot = m_document->selectedSlot();
        const Rgb pair = m_document->scheme().colour(slot == Slot::Background ? Slot::Text : Slot::Background);
        bar(0)->setMarker(ContrastMarker::lightness(slot, m_place, pair, m_target));
    }
    // A bar's track shows the other two bars' places: it changes when one of them does.
    const OklchPosition& was = m_tracked;
    const std::array<bool, 3> moved{m_place.lightness != was.lightness || m_place.offset[0] != was.offset[0],
        m_place.chroma != was.chroma || m_place.offset[1] != was.offset[1],
        m_place.hue != was.hue || m_place.offset[2] != was.offset[2]};
    for (std::size_t c = 0; c < 3; ++c)
        if (moved[(c + 1) % 3] || moved[(c + 2) % 3])
            m_bars[c]->trackChanged();
    m_tracked = m_place;
}

void ColorChooser::wrapHue(int action)
{
    if (!m_oklch)
        return;
    QScrollBar* hue = bar(HueBar);
    int step = 0;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        step = hue->singleStep();
        break;
    case QAbstractSlider::SliderSingleStepSub:
        step = -hue->singleStep();
        break;
    case QAbstractSlider::SliderPageStepAdd:
        step = hue->pageStep();
        break;
    case QAbstractSlider::SliderPageStepSub:
        step = -hue->pageStep();
        break;
    default:
        return;
    }
    const int wanted = hue->value() + step;
    if (wanted < 0 || wanted >= OklchPosition::HueSteps)
        hue->setSliderPosition(OklchPosition::wrappedHue(wanted));
}

void ColorChooser::setOklch(bool on)
{
    if (on == m_oklch)
        return;
    m_oklch = on;
    m_placeSlot = -1;
    setBarsForMode();
    showSlot();
}

void ColorChooser::setContrastTarget(ContrastAudit::Target target)
{
    if (target == m_target)
        return;
    m_target = target;
    if (m_oklch)
        retrack();
}

void ColorChooser::setBarsForMode()
{
    const ModeLayout* layout = m_oklch ? OklchLayout : RgbLayout;
    for (int c = 0; c < 3; ++c) {
        const auto i = static_cast<std::size_t>(c);
        const QString caption = QString::fromLatin1(layout[c].caption);
        m_captions[i]->setText(caption);
        m_captions[i]->setGeometry(layout[c].captionGeometry);
        m_values[i]->setGeometry(layout[c].valueGeometry);
        m_values[i]->setAlignment(m_oklch ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
        m_values[i]->setAccessibleName(tr("%1 value").arg(caption));
        TrackBar* b = m_bars[i];
        // Out of the way of the value the document will show next: a new range clamps without a report.
        const QSignalBlocker quiet(b);
        b->setRange(0, layout[c].maximum);
        b->setSingleStep(layout[c].singleStep);
        b->setPageStep(layout[c].pageStep);
        b->setAccessibleName(m_oklch ? caption : tr("%1 channel").arg(caption));
        if (!m_oklch) {
            b->setTrack({});
            b->setMarker({});
            continue;
        }
        b->setTrack([this, c](int value) {
            OklchPosition there = m_place;
            const std::array<int*, 3> steps{&there.lightness, &there.chroma, &there.hue};
            *steps[static_cast<std::size_t>(c)] = value;
            return TrackBar::Stop{there.colour(), there.mapped()};
        });
    }
}

QString ColorChooser::oklchText(int bar, const OklchPosition& place)
{
    switch (bar) {
    case 0:
        return QStringLiteral("L %1%").arg(place.lightness / 10.0, 0, 'f', 1);
    case 1:
        return place.mapped() ? QStringLiteral("C %1 mapped").arg(place.chroma / 1000.0, 0, 'f', 3)
                              : QStringLiteral("C %1").arg(place.chroma / 1000.0, 0, 'f', 3);
    default:
        return QStringLiteral("H %1\u00B0").arg(place.hue / 10.0, 0, 'f', 1);
    }
}

void ColorChooser::select(int slot)
{
    option(slot)->setChecked(true);
}

void ColorChooser::setBarValue(int channel, int value)
{
    bar(channel)->setValue(value);
}

void ColorChooser::setValueText(int channel, const QString& text)
{
    valueLabel(channel)->setText(text);
    // A screen reader reads an OKLCH bar's place as its label shows it, not as the bar's whole steps.
    bar(channel)->setAccessibleDescription(m_oklch ? text : QString());
}
