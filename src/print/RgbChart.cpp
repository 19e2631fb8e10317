#include "RgbChart.h"

#include "formats/ValueText.h"

RgbChart::RgbChart(const ColourScheme& scheme)
{
    m_rows.append(Row{QString(), {QStringLiteral("Red"), QStringLiteral("Green"), QStringLiteral("Blue")}});
    // The chart spells the first label out in full, unlike the chooser's option.
    static const char* const labels[Slot::Count]
        = {"Background Color", "Text Color", "New Link Color", "Visited Link Color", "Active Link Color"};
    for (int slot = 0; slot < Slot::Count; ++slot) {
        Row row{QString::fromLatin1(labels[slot]), {}};
        for (int channel = 0; channel < Channel::Count; ++channel)
            row.cells[static_cast<std::size_t>(channel)] = ValueText::value(scheme.channel(slot, channel));
        m_rows.append(row);
    }
}
