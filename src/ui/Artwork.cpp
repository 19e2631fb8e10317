#include "Artwork.h"

#include "Fonts.h"

#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace Artwork {

namespace {

// The sixteen colours of the classic window palette.
namespace Vga {
const QColor Black(0, 0, 0);
const QColor Maroon(128, 0, 0);
const QColor Green(0, 128, 0);
const QColor Navy(0, 0, 128);
const QColor Teal(0, 128, 128);
const QColor Grey(128, 128, 128);
const QColor Silver(192, 192, 192);
const QColor Red(255, 0, 0);
const QColor Lime(0, 255, 0);
const QColor Yellow(255, 255, 0);
const QColor Blue(0, 0, 255);
const QColor Aqua(0, 255, 255);
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

// The drawing at 32 x 32 and 16 x 16.
QIcon iconFrom(const Drawing& drawing)
{
    QIcon icon;
    for (int size : {32, 16})
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

// Warp threads in red, green and blue, woven through by a white weft (data/org.hueloom.Hueloom.svg is
// the same drawing).
void drawLoom(QPainter& painter, qreal unit)
{
    page(painter, unit, Vga::Silver);
    const QColor warp[] = {Vga::Red, Vga::Lime, Vga::Blue, Vga::Red, Vga::Lime, Vga::Blue};
    for (int i = 0; i < 6; ++i)
        block(painter, unit, 2 + 2 * i, 2, 2, 12, warp[i]);
    for (int row = 0; row < 6; ++row)
        for (int i = row % 2; i < 6; i += 2)
            block(painter, unit, 2 + 2 * i, 2 + 2 * row, 2, 1, Vga::White);
}

} // namespace

QIcon mainIcon()
{
    return iconFrom(drawLoom);
}

QPixmap mainIconPixmap(int size)
{
    return pixmapFrom(drawLoom, size);
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

QPixmap aboutPicture()
{
    QPixmap pixmap(135, 216);
    pixmap.fill(QColor(0xCE, 0xCE, 0xFF));
    QPainter painter(&pixmap);
    // Warp: vertical threads in the five default colours.
    const QColor warp[]
        = {QColor(0, 0x55, 0xAA), QColor(0, 0x7C, 0), QColor(0, 0x3C, 0), QColor(0, 0xB5, 0), Vga::Maroon};
    constexpr int Thread = 9;
    for (int x = 0, i = 0; x < 135; x += Thread, ++i)
        painter.fillRect(x + 1, 0, Thread - 2, 176, warp[i % 5]);
    // Weft: horizontal threads crossing over and under.
    for (int y = 0, row = 0; y < 176; y += Thread, ++row) {
        const QColor weft = QColor::fromHsv((row * 23) % 360, 160, 235);
        for (int x = (row % 2) * Thread, col = 0; x < 135; x += 2 * Thread, ++col)
            painter.fillRect(x, y + 1, Thread, Thread - 2, weft);
    }
    // The name under the cloth.
    painter.fillRect(0, 176, 135, 40, Vga::Silver);
    painter.setPen(Vga::Black);
    QFont font = Fonts::serif(9);
    font.setPixelSize(22);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(0, 176, 135, 40), Qt::AlignCenter, QStringLiteral("Hueloom"));
    painter.setPen(Vga::Grey);
    painter.drawLine(0, 176, 134, 176);
    return pixmap;
}

} // namespace Artwork
