#pragma once

#include "assist/ColourVision.h"

#include <QGroupBox>
#include <array>

class QLabel;
class SampleTitle;
class SchemeDocument;

// The sample page: a frame in the page background with a title and four lines of text, each line in
// the colour of one slot. Colours go through palettes, which repaint without re-polishing. The page
// is painted flat, without the style's frame or shading, so every pixel but the text's is exactly
// the background colour.
class SampleArea : public QGroupBox {
    Q_OBJECT
public:
    explicit SampleArea(QWidget* parent = nullptr);

    // Shows the document's colours from now on, as the simulation in use makes a reader see them.
    void follow(const SchemeDocument& document);
    // Shows the sample as a reader with `deficiency` sees it; the document keeps its true colours.
    void setSimulation(ColourVision::Deficiency deficiency);
    ColourVision::Deficiency simulation() const { return m_simulation; }

    // Applies one slot's colour to its part of the sample.
    void recolour(int slot, const QColor& colour);

    SampleTitle* title() const { return m_title; }
    // The sample line coloured by `slot` (the title and the normal line share the text slot).
    QLabel* line(int slot) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Shows one slot's colour from the document, or every slot's for SchemeDocument::SeveralSlots.
    void show(int slot);
    void refreshContrastHints();

    const SchemeDocument* m_document = nullptr;
    ColourVision::Deficiency m_simulation = ColourVision::Deficiency::Normal;
    SampleTitle* m_title;
    QLabel* m_normal;
    QLabel* m_newLink;
    QLabel* m_visitedLink;
    QLabel* m_activeLink;
};
