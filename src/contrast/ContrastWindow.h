#pragma once

#include "assist/ColourVision.h"
#include "info/InfoWindow.h"

#include <QList>

class ColourScheme;
class QTableWidget;

// "Contrast Check": how readable the scheme is by the WCAG 2.x contrast levels, pair by pair, in
// words and symbols (never by colour alone), each pair's name beside a swatch of its two colours. It
// follows every change of the scheme. The figures stand in a read-only table whose rows are named by
// pair and whose columns by what they measure, so a screen reader can say which row and column a
// "pass" belongs to.
class ContrastWindow : public InfoWindow {
    Q_OBJECT
public:
    explicit ContrastWindow(QWidget* parent = nullptr);

    void showScheme(const ColourScheme& scheme);
    // While a colour-vision simulation is on, a last column gives each ratio as the reader sees it.
    void setSimulation(ColourVision::Deficiency deficiency, const ColourScheme& scheme);

    // The row of a pair ("Text on background", "New link from text", ...): its ratio and verdicts.
    QStringList rowTexts(int row) const;

    QTableWidget* table() const { return m_table; }

private:
    int simulatedColumn() const;
    void fitColumns();

    QTableWidget* m_table;
    ColourVision::Deficiency m_simulation = ColourVision::Deficiency::Normal;
};
