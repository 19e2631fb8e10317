#pragma once

#include <QGroupBox>
#include <array>

class QButtonGroup;
class QLabel;
class QRadioButton;
class QScrollBar;
class SchemeDocument;

// The "Color Chooser" frame: five slot options, and a scroll bar with its value label per channel.
// It shows the document's selected slot and hands every selection and settled bar change to the
// document; it keeps no colours itself. A bar moved to show the document hands back the value the
// document already has, which changes nothing.
class ColorChooser : public QGroupBox {
    Q_OBJECT
public:
    explicit ColorChooser(QWidget* parent = nullptr);

    // Shows `document`'s selected slot from now on and hands the user's changes to it.
    void follow(SchemeDocument& document);
    // Selects `slot`; selecting the one already selected does nothing.
    void select(int slot);

    // Moves a bar; a bar moved to a new value reports channelChanged before this returns.
    void setBarValue(int channel, int value);
    void setValueText(int channel, const QString& text);

    QRadioButton* option(int slot) const { return m_options[static_cast<std::size_t>(slot)]; }
    QScrollBar* bar(int channel) const { return m_bars[static_cast<std::size_t>(channel)]; }
    QLabel* valueLabel(int channel) const { return m_values[static_cast<std::size_t>(channel)]; }

signals:
    void slotSelected(int slot);
    // A bar settled on a new value: an arrow or trough click, a key, the end of a thumb drag, or code.
    void channelChanged(int channel, int value);

private:
    QButtonGroup* m_group;
    std::array<QRadioButton*, 5> m_options{};
    std::array<QScrollBar*, 3> m_bars{};
    std::array<QLabel*, 3> m_values{};
    std::array<QLabel*, 3> m_captions{};
};
