#pragma once

#include "TrackBar.h"
#include "assist/ContrastAudit.h"
#include "colour/OklchPosition.h"

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

    // Turns the three bars into lightness, chroma and hue of the selected colour, or back into red, green
    // and blue. In RGB mode the frame is exactly as it always was.
    void setOklch(bool on);
    // The target the lightness bar's marker shows: AA until a proposal for another is applied.
    void setContrastTarget(ContrastAudit::Target target);
    bool isOklch() const { return m_oklch; }
    // Where the OKLCH bars stand: kept while only they change the colour, so that a bar moved away and
    // back gives the same colour; any other change of the colour takes the place from the colour.
    const OklchPosition& oklchPlace() const { return m_place; }

    // The value labels' texts in OKLCH mode: "L 62.8%", "C 0.137" ("C 0.137 mapped" out of sRGB),
    // "H 258.4°".
    static QString oklchText(int bar, const OklchPosition& place);

    // Moves a bar; a bar moved to a new value reports channelChanged before this returns.
    void setBarValue(int channel, int value);
    void setValueText(int channel, const QString& text);

    QRadioButton* option(int slot) const { return m_options[static_cast<std::size_t>(slot)]; }
    TrackBar* bar(int channel) const { return m_bars[static_cast<std::size_t>(channel)]; }
    QLabel* valueLabel(int channel) const { return m_values[static_cast<std::size_t>(channel)]; }

signals:
    void slotSelected(int slot);
    // A bar settled on a new value: an arrow or trough click, a key, the end of a thumb drag, or code.
    void channelChanged(int channel, int value);

private:
    void showSlot();
    void showOklch();
    void setBarsForMode();
    void moveOklchBar(int bar, int value);
    void retrack();
    // The hue bar goes round: a step past either end comes back at the other.
    void wrapHue(int action);

    SchemeDocument* m_document = nullptr;
    bool m_oklch = false;
    ContrastAudit::Target m_target = ContrastAudit::Target::AA;
    OklchPosition m_place;
    // The place the tracks were last painted for.
    OklchPosition m_tracked;
    // The slot the place was taken from, and whether the document is taking a change from the OKLCH bars.
    int m_placeSlot = -1;
    bool m_movingPlace = false;
    QButtonGroup* m_group;
    std::array<QRadioButton*, 5> m_options{};
    std::array<TrackBar*, 3> m_bars{};
    std::array<QLabel*, 3> m_values{};
    std::array<QLabel*, 3> m_captions{};
};
