#pragma once

#include "info/InfoWindow.h"

#include <QList>

class ColorScheme;
class QLabel;

// "Contrast Check": how readable the scheme is by the WCAG 2.x contrast levels, pair by pair, in
// words and symbols (never by colour alone). It follows every change of the scheme.
class ContrastWindow : public InfoWindow {
    Q_OBJECT
public:
    explicit ContrastWindow(QWidget* parent = nullptr);

    void showScheme(const ColorScheme& scheme);

    // The row of a pair ("Text on background", "New link from text", ...): its ratio and verdicts.
    QStringList rowTexts(int row) const;

private:
    struct Row {
        QLabel* ratio;
        QList<QLabel*> verdicts;
    };
    QList<Row> m_rows;
};
