#include "TrackBar.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

void TrackBar::setTrack(Track track)
{
    m_track = std::move(track);
    trackChanged();
}

void TrackBar::trackChanged()
{
    m_painted = {};
    update();
}

void TrackBar::setMarker(std::optional<int> value)
{
    if (value == m_marker)
        return;
    m_marker = value;
    update();
}

void TrackBar::paintEvent(QPaintEvent* event)
{
    QScrollBar::paintEvent(event);
    if (!m_track)
        return;
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove = style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarGroove, this);
    const QRect slider = style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    if (groove.isEmpty())
        return;
    if (m_painted.size() != groove.size() || m_paintedSlider != slider.width()) {
        m_painted = paintedTrack(groove.size(), slider.width());
        m_paintedSlider = slider.width();
    }
    // Everything but the thumb, which stays as the style drew it.
    QPainter painter(this);
    painter.setClipRegion(QRegion(groove).subtracted(QRegion(slider)));
    painter.drawImage(groove.topLeft(), m_painted);
    if (!m_marker)
        return;
    // A dark line edged in white, so that it shows on any colour of the track.
    const int span = std::max(1, groove.width() - slider.width());
    const int x
        = groove.left() + slider.width() / 2 + QStyle::sliderPositionFromValue(minimum(), maximum(), *m_marker, span);
    painter.fillRect(x - 1, groove.top(), 3, groove.height(), Qt::white);
    painter.fillRect(x, groove.top(), 1, groove.height(), Qt::black);
}

QImage TrackBar::paintedTrack(const QSize& size, int sliderLength) const
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    // Each column shows the value the thumb's middle would stand at there.
    const int span = std::max(1, size.width() - sliderLength);
    for (int x = 0; x < size.width(); ++x) {
        const int along = std::clamp(x - sliderLength / 2, 0, span);
        const Stop stop = m_track(QStyle::sliderValueFromPosition(minimum(), maximum(), along, span));
        painter.fillRect(x, 0, 1, size.height(), QColor(stop.colour));
        if (!stop.mapped)
            continue;
        // Hatched in black on a light colour, white on a dark one.
        const bool light = stop.colour.red() * 2 + stop.colour.green() * 5 + stop.colour.blue() > 8 * 128;
        painter.fillRect(x, 0, 1, size.height(),
            QBrush(light ? QColor(0, 0, 0, 110) : QColor(255, 255, 255, 110), Qt::BDiagPattern));
    }
    return image;
}
