#include "Artwork.h"

#include "Fonts.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>
#include <functional>
#include <iterator>

namespace Artwork {

namespace {

// Colours of the classic sixteen-colour window palette.
namespace Vga {
const QColor Black(0, 0, 0);
const QColor Maroon(128, 0, 0);
const QColor Navy(0, 0, 128);
const QColor Teal(0, 128, 128);
const QColor Yellow(255, 255, 0);
const QColor White(255, 255, 255);
} // namespace Vga

using Drawing = std::function<void(QPainter&, qreal unit)>;

// Draws `drawing` on a 16-unit grid at `size` pixels, without smoothing, as icons of the time.
QPixmap pixmapFrom(const Drawing& drawing, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::NoPen);
    drawing(painter, size / 16.0);
    return pixmap;
}

// The drawing at every size a window icon is shown in.
QIcon iconFrom(const Drawing& drawing)
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addPixmap(pixmapFrom(drawing, size));
    return icon;
}

void block(QPainter& painter, qreal unit, qreal x, qreal y, qreal w, qreal h, const QColor& colour)
{
    painter.fillRect(QRectF(x * unit, y * unit, w * unit, h * unit), colour);
}

// A page with a frame, the ground every icon stands on.
void page(QPainter& painter, qreal unit, const QColor& ground)
{
    block(painter, unit, 1, 1, 14, 14, Vga::Black);
    block(painter, unit, 2, 2, 12, 12, ground);
}

void glyph(QPainter& painter, qreal unit, const QString& text, const QColor& colour)
{
    QFont font = Fonts::sansSerif(8.25);
    font.setPixelSize(qRound(11 * unit));
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(QRectF(2 * unit, 2 * unit, 12 * unit, 12 * unit), Qt::AlignCenter, text);
}

} // namespace

namespace {

// The program's icon, rendered at build time at each of these sizes. A size is decoded only when it is
// asked for, and not kept: the window system takes its copy once.
constexpr int RenderedSizes[] = {16, 24, 32, 48, 64, 128, 256, 512};

class RenderedIconEngine final : public QIconEngine {
public:
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        const int side = std::min({size.width(), size.height(), rendering(size)});
        return {side, side};
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        // Read as an image: a pixmap read by file name would stay in the pixmap cache.
        QPixmap pixmap = QPixmap::fromImage(QImage(QStringLiteral(":/artwork/icon-%1.png").arg(rendering(size))));
        const QSize fitted = actualSize(size, mode, state);
        if (pixmap.size() != fitted)
            pixmap = pixmap.scaled(fitted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (mode != QIcon::Normal && !pixmap.isNull()) {
            QStyleOption option;
            option.palette = QApplication::palette();
            pixmap = QApplication::style()->generatedIconPixmap(mode, pixmap, &option);
        }
        return pixmap;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap picture = pixmap(rect.size() * ratio, mode, state);
        picture.setDevicePixelRatio(ratio);
        const QSize shown = picture.deviceIndependentSize().toSize();
        painter->drawPixmap(
            QRect(rect.topLeft() + QPoint((rect.width() - shown.width()) / 2, (rect.height() - shown.height()) / 2),
                shown),
            picture);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (const int side : RenderedSizes)
            sizes << QSize(side, side);
        return sizes;
    }

    QIconEngine* clone() const override { return new RenderedIconEngine; }
    QString key() const override { return QStringLiteral("hueloom-rendered"); }

private:
    // The smallest rendering that covers `size`, or the largest there is.
    static int rendering(const QSize& size)
    {
        const int wanted = std::max(size.width(), size.height());
        for (const int side : RenderedSizes) {
            if (side >= wanted)
                return side;
        }
        return RenderedSizes[std::size(RenderedSizes) - 1];
    }
};

} // namespace

QIcon mainIcon()
{
    return QIcon(new RenderedIconEngine);
}

QIcon helpIcon()
{
    return iconFrom([](QPainter& painter, qreal unit) {
        page(painter, unit, Vga::Yellow);
        glyph(painter, unit, QStringLiteral("?"), Vga::Navy);
    });
}

QIcon troubleIcon()
{
    return iconFrom([](QPainter& painter, qreal unit) {
        QPainterPath triangle;
        triangle.moveTo(8 * unit, 1 * unit);
        triangle.lineTo(15 * unit, 15 * unit);
        triangle.lineTo(1 * unit, 15 * unit);
        triangle.closeSubpath();
        painter.fillPath(triangle, Vga::Maroon);
        painter.fillRect(QRectF(7 * unit, 5 * unit, 2 * unit, 6 * unit), Vga::Yellow);
        painter.fillRect(QRectF(7 * unit, 12 * unit, 2 * unit, 2 * unit), Vga::Yellow);
    });
}

QIcon aboutIcon()
{
    return iconFrom([](QPainter& painter, qreal unit) {
        page(painter, unit, Vga::Teal);
        glyph(painter, unit, QStringLiteral("i"), Vga::White);
    });
}

QPixmap aboutPicture(qreal devicePixelRatio)
{
    const bool doubled = devicePixelRatio > 1;
    QPixmap picture(doubled ? QStringLiteral(":/artwork/about@2x.png") : QStringLiteral(":/artwork/about.png"));
    picture.setDevicePixelRatio(doubled ? 2 : 1);
    return picture;
}

} // namespace Artwork
