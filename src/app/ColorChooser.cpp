#include "ColorChooser.h"

#include "document/SchemeDocument.h"
#include "formats/ValueText.h"
#include "ui/Controls.h"

#include <QButtonGroup>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>

using Controls::place;

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

        auto* bar = place(new QScrollBar(Qt::Horizontal, this), QString::fromLatin1(layout.barName),
            QRect(168, layout.barY, 217, 17));
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
            setValueText(c, ValueText::value(value));
            emit channelChanged(c, value);
        });
        m_bars[i] = bar;
    }

    connect(m_group, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            emit slotSelected(id);
    });
}

void ColorChooser::follow(SchemeDocument& document)
{
    const auto show = [this, &document] {
        const int slot = document.selectedSlot();
        if (slot < 0)
            return;
        select(slot);
        // Red, green, blue: each bar that moves reports its change before the next one is set.
        for (int c = 0; c < Channel::Count; ++c) {
            const int value = document.scheme().channel(slot, c);
            setBarValue(c, value);
            setValueText(c, ValueText::value(value));
        }
    };
    connect(&document, &SchemeDocument::slotSelected, this, show);
    connect(&document, &SchemeDocument::schemeChanged, this, show);
    connect(this, &ColorChooser::slotSelected, &document, &SchemeDocument::selectSlot);
    connect(this, &ColorChooser::channelChanged, &document, &SchemeDocument::setChannel);
    show();
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
}
