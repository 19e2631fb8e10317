#pragma once

#include <QGroupBox>
#include <array>

class QLabel;

// The sample page: a frame in the page background with a title and four lines of text, each line in
// the colour of one slot. Colours go through palettes, which repaint without re-polishing. The page
// is painted flat, without the style's frame or shading, so every pixel but the text's is exactly
// the background colour.
class SampleArea : public QGroupBox {
    Q_OBJECT
public:
    explicit SampleArea(QWidget* parent = nullptr);

    // Applies one slot's colour to its part of the sample.
    void recolour(int slot, const QColor& colour);

    QLabel* title() const { return m_title; }
    // The sample line coloured by `slot` (the title and the normal line share the text slot).
    QLabel* line(int slot) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* m_title;
    QLabel* m_normal;
    QLabel* m_newLink;
    QLabel* m_visitedLink;
    QLabel* m_activeLink;
};
