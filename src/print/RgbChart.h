#pragma once

#include "colour/ColourScheme.h"

#include <QList>
#include <QString>
#include <array>

// The printed RGB chart as text: a title, then a header row and one row per slot, each row a label
// and three value texts. Built afresh for every print run from the scheme at that moment.
class RgbChart {
public:
    struct Row {
        QString label;
        std::array<QString, 3> cells;
    };

    static constexpr char Title[] = "Hueloom RGB Chart";
    // Character columns (1 is the left edge) where the red, green and blue cells start.
    static constexpr std::array<int, 3> Columns{24, 32, 40};

    explicit RgbChart(const ColourScheme& scheme);

    // Row 0 is the header ("", "Red", "Green", "Blue"); rows 1 to 5 are the slots.
    const QList<Row>& rows() const { return m_rows; }

private:
    QList<Row> m_rows;
};
