#pragma once

#include "colour/Rgb.h"

#include <QImage>
#include <QScrollBar>
#include <functional>
#include <optional>

// A chooser bar that can paint its track with the colours moving it would give, hatched where they lie
// outside sRGB and were mapped (the OKLCH bars). Without a track it is the plain scroll bar it always was.
class TrackBar : public QScrollBar {
    Q_OBJECT
public:
    struct Stop {
        Rgb colour;
        bool mapped = false;
    };
    // The colour the bar would give at a value.
    using Track = std::function<Stop(int value)>;

    using QScrollBar::QScrollBar;

    // An empty track paints the plain bar.
    void setTrack(Track track);
    // The colours along the track are no longer the ones painted: they are worked out again at the next paint.
    void trackChanged();
    // A tick on the track at a value (the lightness that meets the contrast target), or none.
    void setMarker(std::optional<int> value);
    std::optional<int> marker() const { return m_marker; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage paintedTrack(const QSize& size, int sliderLength) const;

    Track m_track;
    QImage m_painted;
    int m_paintedSlider = -1;
    std::optional<int> m_marker;
};
